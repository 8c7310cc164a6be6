"""The uninstall log is replaced whole: a writer killed at any moment leaves the
whole old log or the whole new one, never neither and never a mixture."""

import random
import time

from conftest import BUILD

WRITER = BUILD / "tests" / "logwriter.exe"


def test_killed_writer_leaves_a_whole_log(prefix, tmp_path):
    folder = prefix.drive_c / "app"
    folder.mkdir()
    assert prefix.run([WRITER, r"C:\app", "refs"], tmp_path / "refs.out", timeout=120) == 0
    whole = {"A": (folder / "A.REF").read_bytes(), "B": (folder / "B.REF").read_bytes()}
    assert whole["A"] != whole["B"] and len(whole["A"]) > 100_000
    log = folder / "UNSETUP.INI"

    chance = random.Random(20240531)
    seen = []
    for kill in range(20):
        output = tmp_path / f"loop{kill}.out"
        writer = prefix.start([WRITER, r"C:\app", "loop"], output)
        try:
            # Wait for the first finished write, then kill somewhere in the next ones.
            deadline = time.monotonic() + 60
            while not output.read_bytes().strip() and writer.poll() is None and time.monotonic() < deadline:
                time.sleep(0.01)
            assert writer.poll() is None, f"the writer ended by itself: {output.read_bytes()[-200:]!r}"
            time.sleep(chance.uniform(0, 0.25))
        finally:
            writer.kill()
            writer.wait(30)
        content = log.read_bytes() if log.exists() else b"<no log>"
        matches = [name for name, text in whole.items() if content == text]
        assert matches, f"kill {kill}: the log is neither whole log ({len(content)} bytes)"
        seen.append((matches[0], len(output.read_bytes().split()), (folder / "UNSETUP.NEW").exists()))
    print("log left after each kill (log, writes finished, new file left):", seen)
