"""After an install and an uninstall of 2,000 files, every owner of a handle is
gone again. Wine keeps no count of a process's handles (GetGuiResources is a
stub that returns 0, GetProcessHandleCount stays 0), so the test build
tests/handles/SETUP.EXE writes the live owners of support/Handles.h, and all
that ever took a handle, into the file named by TESSERA_HANDLE_REPORT. The
counts seen go to RESULTS/handle-owners-<kind of Windows>.txt."""

import time

from conftest import ARCH, BUILD, MAIN_IDS, RESULTS
import winenv

FILES = 2000
START = "#%d" % MAIN_IDS["btnEvent"]


def start_counted(prefix, program, args, report, output, cwd=None):
    return prefix.start([program, *args], output, cwd=cwd,
                        extra_env={"TESSERA_HANDLE_REPORT": winenv.windows_path(report)})


def counts(report):
    """(live, taken) once the program has left them alone for half a second."""
    seen, since = None, time.monotonic()
    deadline = since + 30
    while time.monotonic() < deadline:
        fields = report.read_text().split() if report.exists() else []
        now = tuple(map(int, fields)) if len(fields) == 2 else None
        if now != seen:
            seen, since = now, time.monotonic()
        elif seen and time.monotonic() - since >= 0.5:
            return seen
        time.sleep(0.1)
    raise AssertionError(f"no settled counts in {report}: {seen}")


def run_counted(windriver, start, report):
    """Counts when the main window is ready, while the completion box is up, and
    after the process has ended, for one run started by `start`."""
    process = start()
    windriver("wait", "Bench", "--timeout", "60000")
    ready = counts(report)
    windriver("press", "Bench", START)
    windriver("msgbox", "完了", "--timeout", "300000")
    done = counts(report)
    windriver("press", "完了", "OK")
    assert process.wait(60) == 0
    return ready, done, counts(report)


def test_every_handle_owner_is_gone_after_an_install_and_uninstall(prefix, windriver, tmp_path):
    dist = prefix.drive_c / "dist"
    dist.mkdir()
    (dist / "SETUP.EXE").write_bytes((BUILD / "tests" / "handles" / "SETUP.EXE").read_bytes())
    for n in range(1, FILES + 1):
        (dist / f"F{n}.DAT").write_bytes(bytes([n % 256]) * 1024)
    entries = "".join(f"File{n}=(App)\\F{n}.DAT\r\n" for n in range(1, FILES + 1))
    (dist / "SETUP.INI").write_bytes((f"[Title]\r\nSetup=Bench\r\n[Extend]\r\nSetupSpeed=1\r\n"
                                      f"[DefaultFolder]\r\nFolder=C:\\BENCH\r\n[CopyFile]\r\n{entries}").encode("cp932"))
    target = prefix.drive_c / "BENCH"
    target.mkdir()

    install_report, uninstall_report = tmp_path / "install.txt", tmp_path / "uninstall.txt"
    install = run_counted(windriver, lambda: start_counted(prefix, dist / "SETUP.EXE", [], install_report,
                                                           tmp_path / "install.out", cwd=dist), install_report)
    assert len(list(target.glob("F*.DAT"))) == FILES
    uninstall = run_counted(windriver, lambda: start_counted(prefix, "C:\\windows\\UNTESSR.EXE", ["C:\\BENCH\\UNSETUP.INI"],
                                                             uninstall_report, tmp_path / "uninstall.out"),
                            uninstall_report)
    assert not target.exists()

    with open(RESULTS / f"handle-owners-{ARCH}.txt", "w", encoding="utf-8") as out:
        out.write(f"Live handle owners (and all that took a handle so far), {FILES} files, {ARCH}:\n")
        for name, (ready, done, ended) in (("install", install), ("uninstall", uninstall)):
            out.write(f"{name}: main window ready {ready[0]} ({ready[1]}), completion box up {done[0]} ({done[1]}), "
                      f"process ended {ended[0]} ({ended[1]})\n")

    (ready, done, ended) = install
    assert done[0] == ready[0], "the install run left owners open"
    # The count works: the main window holds owners and the run takes more (the
    # log's file, the registry keys). A file's facts take none.
    assert ready[0] > 0 and done[1] > ready[1], "the owners were counted"
    for name, (ready, done, ended) in (("install", install), ("uninstall", uninstall)):
        assert ended[0] == 0, f"{name}: {ended[0]} owners outlived the program"
