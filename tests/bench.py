#!/usr/bin/env python3
"""./tessera bench, timed under Wine in fresh prefixes:

1. the uninstall log written and read in memory against the same work done one
   profile call per key, and the parse of a 10,000-entry setup script;
2. whole installs of 2,000 and 10,000 files of 1 KB with SetupSpeed=1, from the
   start button to the completion box, against floorloop: CopyFileA over the
   same files with the same mandated pauses, started the same way;
3. the uninstall of 10,000 recorded files, from the start button to the
   completion box, against floorloop deleting the same files with the shell's
   file operation (as the uninstall does), and with DeleteFileA.
"""

import argparse
import json
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import winenv  # noqa: E402

START_BUTTON = "#115"  # btnEvent: the main window numbers its controls from 100
STEP_DELAY = 1


def windriver(prefix, windows, work, *args):
    output = work / "windriver.out"
    code = prefix.run([windows / "windriver.exe", *args], output, timeout=1200)
    lines = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
             if line.startswith("{")]
    if code != 0:
        raise RuntimeError(f"windriver {' '.join(args)} failed ({code}): {lines}")
    return lines


def run_to_completion(prefix, windows, work, program):
    """Presses the start button of the program's "Bench" window and waits for its
    completion box: the seconds in between, and the box."""
    try:
        windriver(prefix, windows, work, "wait", "Bench", "--timeout", "60000")
        started = time.monotonic()
        windriver(prefix, windows, work, "press", "Bench", START_BUTTON)
        [done] = windriver(prefix, windows, work, "msgbox", "完了", "--timeout", "1200000")
        seconds = time.monotonic() - started
        windriver(prefix, windows, work, "press", "完了", "OK")
        program.wait(120)
        return seconds, done
    finally:
        if program.poll() is None:
            program.kill()


def make_files(folder, count):
    folder.mkdir(parents=True, exist_ok=True)
    for n in range(1, count + 1):
        (folder / f"F{n}.DAT").write_bytes(bytes([n % 256]) * 1024)


def time_install(environment, windows, work, count):
    """Seconds from the start button to the completion box, for `count` files."""
    prefix = environment.new_prefix(f"install-{count}")
    try:
        dist = prefix.drive_c / "dist"
        make_files(dist, count)
        (dist / "SETUP.EXE").write_bytes((windows / "SETUP.EXE").read_bytes())
        entries = "".join(f"File{n}=(App)\\F{n}.DAT\r\n" for n in range(1, count + 1))
        script = (f"[Title]\r\nSetup=Bench\r\nUnSetupKey=TesseraBench\r\n[Extend]\r\nSetupSpeed={STEP_DELAY}\r\n"
                  f"[DefaultFolder]\r\nFolder=C:\\BENCH\r\n[CopyFile]\r\n{entries}")
        (dist / "SETUP.INI").write_bytes(script.encode("cp932"))
        (prefix.drive_c / "BENCH").mkdir()  # no question about creating it
        program = prefix.start([dist / "SETUP.EXE"], work / f"setup-{count}.out", cwd=dist)
        seconds, done = run_to_completion(prefix, windows, work, program)
        copied = sum(1 for _ in (prefix.drive_c / "BENCH").glob("F*.DAT"))
        if copied != count or not done["text"].startswith("インストールが完了しました"):
            raise RuntimeError(f"the install copied {copied} of {count} files: {done}")
        return seconds
    finally:
        prefix.remove()


def time_floor_loop(environment, windows, work, mode, count):
    """Seconds for floorloop (copy, shell or delete) over `count` files, started as a whole process."""
    prefix = environment.new_prefix(f"floor-{mode}-{count}")
    try:
        make_files(prefix.drive_c / "src", count)
        args = [r"C:\src", r"C:\dst", str(count), str(STEP_DELAY)] if mode == "copy" else [r"C:\src", str(count)]
        started = time.monotonic()
        code = prefix.run([windows / "tests" / "floorloop.exe", mode, *args], work / f"floor-{mode}.out", timeout=1200)
        seconds = time.monotonic() - started
        if code != 0:
            raise RuntimeError(f"floorloop {mode} failed ({code})")
        return seconds
    finally:
        prefix.remove()


def time_uninstall(environment, windows, work, count):
    """Seconds from the start button to the completion box, for a log of `count` files."""
    prefix = environment.new_prefix(f"uninstall-{count}")
    try:
        folder = prefix.drive_c / "BENCHU"
        make_files(folder, count)
        entries = "".join(f"File{n}=C:\\BENCHU\\F{n}.DAT\r\n" for n in range(1, count + 1))
        log = (f"[Title]\r\nUnSetup=Bench\r\n[SetupFolder]\r\nFolder=C:\\BENCHU\\\r\n"
               f"[DeleteFile]\r\n{entries}File{count + 1}=C:\\BENCHU\\UNSETUP.INI\r\n")
        (folder / "UNSETUP.INI").write_bytes(log.encode("cp932"))
        program_folder = prefix.drive_c / "prog"
        program_folder.mkdir()
        (program_folder / "SETUP.EXE").write_bytes((windows / "SETUP.EXE").read_bytes())
        program = prefix.start([program_folder / "SETUP.EXE", r"C:\BENCHU\UNSETUP.INI"], work / "uninstall.out")
        seconds, done = run_to_completion(prefix, windows, work, program)
        left = sum(1 for _ in folder.glob("*")) if folder.exists() else 0
        if left or done["text"] != "アンインストールを完了しました．":
            raise RuntimeError(f"the uninstall left {left} files: {done}")
        return seconds
    finally:
        prefix.remove()


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build"))
    build = Path(parser.parse_args().build).resolve()
    # The shipped width where the host can run it, else the x86_64 test build.
    arch = "win32" if winenv.host_runs_32bit_programs()[0] else "win64"
    windows = build / arch
    results = build / "results"
    results.mkdir(parents=True, exist_ok=True)
    output = results / "bench.txt"
    lines = [f"{arch} build in {arch} prefixes"]

    environment = winenv.WineEnvironment(build / "prefixes-bench", arch)
    try:
        prefix = environment.new_prefix("log")
        try:
            code = prefix.run([windows / "tests" / "logbench.exe", r"C:\bench"], results / "logbench.txt",
                              timeout=1800)
        finally:
            prefix.remove()
        lines += (results / "logbench.txt").read_text(encoding="cp932", errors="replace").splitlines()
        print("\n".join(lines), flush=True)

        lines.append(f"{'install, start button to completion box':42} {'files':>6} {'install':>9} "
                     f"{'CopyFileA':>9} {'ratio':>6}")
        print(lines[-1], flush=True)
        for count in (2000, 10000):
            install = time_install(environment, windows, results, count)
            floor = time_floor_loop(environment, windows, results, "copy", count)
            lines.append(f"{'  1 KB files, SetupSpeed=1':42} {count:6d} {install:8.2f}s {floor:8.2f}s "
                         f"{install / floor:6.2f}")
            print(lines[-1], flush=True)
        lines.append(f"{'uninstall, start button to completion box':42} {'files':>6} {'uninst.':>9} "
                     f"{'floor':>9} {'ratio':>6}")
        print(lines[-1], flush=True)
        count = 10000
        uninstall = time_uninstall(environment, windows, results, count)
        for mode, what in (("shell", "  against the shell's deletion per file"), ("delete", "  against DeleteFileA")):
            floor = time_floor_loop(environment, windows, results, mode, count)
            lines.append(f"{what:42} {count:6d} {uninstall:8.2f}s {floor:8.2f}s {uninstall / floor:6.2f}")
            print(lines[-1], flush=True)
    finally:
        environment.close()
    output.write_text("\n".join(lines) + "\n", encoding="utf-8")
    return code


if __name__ == "__main__":
    sys.exit(main())
