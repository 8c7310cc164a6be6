"""The Wine environment that the tests and the tools run programs in."""

import time
from pathlib import Path

from conftest import BUILD

SHARED_USER_DATA = 0x7FFE0000


def mappings(pid):
    """(start, end, name) of each mapping of a process."""
    result = []
    for line in Path(f"/proc/{pid}/maps").read_text().splitlines():
        fields = line.split()
        start, end = (int(part, 16) for part in fields[0].split("-"))
        result.append((start, end, fields[5] if len(fields) > 5 else ""))
    return result


def test_a_program_starts_with_its_heap_right_after_the_loader(prefix, tmp_path):
    """Wine maps the shared user data only once the loader's heap is in use;
    a randomised heap can lie across that address and end the start."""
    process = prefix.start([BUILD / "windriver.exe", "wait", "no such window", "--timeout", "120000"],
                           tmp_path / "windriver.out")
    try:
        deadline = time.monotonic() + 60
        while not any(start == SHARED_USER_DATA for start, _, _ in mappings(process.pid)):
            assert process.poll() is None, (tmp_path / "windriver.out").read_bytes()
            assert time.monotonic() < deadline, "the shared user data was never mapped"
            time.sleep(0.01)
        maps = mappings(process.pid)
    finally:
        process.kill()
        process.wait()
    loader_end = max(end for _, end, name in maps if name == prefix.loader)
    heap = [(start, end) for start, end, name in maps if name == "[heap]"]
    assert heap, "the loader has no heap"
    assert heap[0][0] == loader_end and heap[0][1] < SHARED_USER_DATA, (hex(loader_end), [hex(a) for a in heap[0]])
