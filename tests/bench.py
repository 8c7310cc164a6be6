#!/usr/bin/env python3
"""./tessera bench, timed under Wine in fresh prefixes:

1. the uninstall log written and read in memory against the same work done one
   profile call per key, and the parse of a 10,000-entry setup script;
2. at 200, 2,000 and 10,000 files of 1 KB, in one prefix per size: our install
   (SetupSpeed=1) and its uninstall, each from the start button to the
   completion box by the program's own clock (tests/clock/SETUP.EXE, which also
   counts the time it slept in the pauses the script mandates), beside a peer
   installer of the same files built with makensis (zlib), its install run
   silent (/S) and its uninstaller (/S _?=DIR) timed as whole processes.
"""

import argparse
import json
import shutil
import statistics
import subprocess
import sys
import tempfile
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import winenv  # noqa: E402

START_BUTTON = "#115"  # btnEvent: the main window numbers its controls from 100
STEP_DELAY = 1
SIZES = (200, 2000, 10000)
OURS_KEY = "TesseraBench"
PEER_KEY = "PeerBench"
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"


def windriver(prefix, windows, work, *args):
    output = work / "windriver.out"
    code = prefix.run([windows / "windriver.exe", *args], output, timeout=1200)
    lines = [json.loads(line) for line in output.read_text(encoding="utf-8", errors="replace").splitlines()
             if line.startswith("{")]
    if code != 0:
        raise RuntimeError(f"windriver {' '.join(args)} failed ({code}): {lines}")
    return lines


def file_name(n):
    return f"F{n}.DAT"


def make_files(folder, count):
    folder.mkdir(parents=True, exist_ok=True)
    for n in range(1, count + 1):
        (folder / file_name(n)).write_bytes(bytes([n % 256]) * 1024)


def clocked_run(prefix, windows, work, args, name, cwd=None):
    """Starts the clock build, presses the start button of its "Bench" window, answers
    the completion box: the run's seconds and the seconds of them it slept, by its clock."""
    clock = work / f"{name}.clock"
    clock.unlink(missing_ok=True)
    program = prefix.start(args, work / f"{name}.out", cwd=cwd,
                           extra_env={"TESSERA_RUN_CLOCK": winenv.windows_path(clock)})
    try:
        windriver(prefix, windows, work, "wait", "Bench", "--timeout", "60000")
        windriver(prefix, windows, work, "press", "Bench", START_BUTTON)
        [done] = windriver(prefix, windows, work, "msgbox", "完了", "--timeout", "1200000")
        windriver(prefix, windows, work, "press", "完了", "OK")
        program.wait(120)
    finally:
        if program.poll() is None:
            program.kill()
    seconds, paused = map(float, clock.read_text().split())
    return seconds, paused, done["text"]


def registry_value(prefix, work, key, value):
    output = work / "reg.out"
    prefix.run(["reg", "query", key, "/v", value], output, timeout=120)
    for line in output.read_text(encoding="utf-8", errors="replace").splitlines():
        if line.strip().startswith(value):
            return line.split("REG_SZ", 1)[1].strip()
    return None


def time_ours(prefix, windows, work, count):
    """Our install and uninstall of `count` files: {install, install pauses, uninstall, uninstall pauses}."""
    dist = prefix.drive_c / "dist"
    make_files(dist, count)
    shutil.copyfile(windows / "tests" / "clock" / "SETUP.EXE", dist / "SETUP.EXE")
    entries = "".join(f"File{n}=(App)\\{file_name(n)}\r\n" for n in range(1, count + 1))
    script = (f"[Title]\r\nSetup=Bench\r\nUnSetupKey={OURS_KEY}\r\n[Extend]\r\nSetupSpeed={STEP_DELAY}\r\n"
              f"[DefaultFolder]\r\nFolder=C:\\BENCH\r\n[CopyFile]\r\n{entries}")
    (dist / "SETUP.INI").write_bytes(script.encode("cp932"))
    target = prefix.drive_c / "BENCH"
    target.mkdir()  # no question about creating it
    install, install_paused, text = clocked_run(prefix, windows, work, [dist / "SETUP.EXE"], "install", cwd=dist)
    copied = sum(1 for _ in target.glob("F*.DAT"))
    if copied != count or not text.startswith("インストールが完了しました"):
        raise RuntimeError(f"our install copied {copied} of {count} files: {text}")

    command = registry_value(prefix, work, f"{UNINSTALL}\\{OURS_KEY}", "UninstallString")
    uninstaller, log = command.split(" ", 1)
    uninstall, uninstall_paused, text = clocked_run(prefix, windows, work, [uninstaller, log.strip('"')],
                                                    "uninstall")
    left = sum(1 for _ in target.glob("*")) if target.exists() else 0
    if left or not text.endswith("を完了しました．"):
        raise RuntimeError(f"our uninstall left {left} files: {text}")
    return {"install": install, "install pauses": install_paused,
            "uninstall": uninstall, "uninstall pauses": uninstall_paused}


def peer_script(count):
    """The peer's script for the same files: each copied, an uninstaller and its
    Uninstall entry written; the uninstaller deletes each file, itself and the key."""
    files = "".join(f'  File "{file_name(n)}"\n' for n in range(1, count + 1))
    deletes = "".join(f'  Delete "$INSTDIR\\{file_name(n)}"\n' for n in range(1, count + 1))
    key = f"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{PEER_KEY}"
    return f"""Unicode true
SetCompressor zlib
Name "Bench"
OutFile "PEER.EXE"
InstallDir "C:\\PEERBENCH"
RequestExecutionLevel admin
Section
  SetOutPath "$INSTDIR"
{files}  WriteUninstaller "$INSTDIR\\uninst.exe"
  WriteRegStr HKLM "{key}" "DisplayName" "Bench"
  WriteRegStr HKLM "{key}" "UninstallString" '"$INSTDIR\\uninst.exe"'
SectionEnd
Section "Uninstall"
{deletes}  Delete "$INSTDIR\\uninst.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "{key}"
SectionEnd
"""


def build_peer(count, work):
    with tempfile.TemporaryDirectory(dir=work) as folder:
        folder = Path(folder)
        make_files(folder, count)
        (folder / "peer.nsi").write_text(peer_script(count), encoding="utf-8")
        subprocess.run(["makensis", "-V1", "peer.nsi"], cwd=folder, check=True, timeout=1800)
        shutil.move(folder / "PEER.EXE", work / f"PEER-{count}.EXE")
    return work / f"PEER-{count}.EXE"


def time_peer(prefix, work, installer, count):
    """The peer's silent install and uninstall of `count` files, as whole processes."""
    local = prefix.drive_c / "PEER.EXE"
    shutil.copyfile(installer, local)
    target = prefix.drive_c / "PEERBENCH"
    started = time.monotonic()
    code = prefix.run([local, "/S"], work / "peer-install.out", timeout=1800)
    install = time.monotonic() - started
    copied = sum(1 for _ in target.glob("F*.DAT"))
    if code != 0 or copied != count:
        raise RuntimeError(f"the peer's install ended with {code} and copied {copied} of {count} files")
    started = time.monotonic()
    code = prefix.run([target / "uninst.exe", "/S", "_?=C:\\PEERBENCH"], work / "peer-uninstall.out", timeout=1800)
    uninstall = time.monotonic() - started
    left = sum(1 for _ in target.glob("F*.DAT"))
    if code != 0 or left:
        raise RuntimeError(f"the peer's uninstall ended with {code} and left {left} files")
    return {"install": install, "uninstall": uninstall}


def measure(environment, windows, work, count, repeat, with_peer):
    """The medians of `repeat` rounds, each in a fresh prefix: ours, then the peer's."""
    installer = build_peer(count, work) if with_peer else None
    rounds = []
    for n in range(repeat):
        prefix = environment.new_prefix(f"bench-{count}-{n}")
        try:
            row = {f"ours {k}": v for k, v in time_ours(prefix, windows, work, count).items()}
            if installer:
                row.update({f"peer {k}": v for k, v in time_peer(prefix, work, installer, count).items()})
            rounds.append(row)
        finally:
            prefix.remove()
    return {key: statistics.median(r[key] for r in rounds) for key in rounds[0]}


def table_lines(count, row):
    ours_install = row["ours install"] - row["ours install pauses"]
    ours_uninstall = row["ours uninstall"] - row["ours uninstall pauses"]
    line = (f"{count:6d} {row['ours install']:8.2f}s {row['ours install pauses']:7.2f}s {ours_install:8.2f}s "
            f"{row['ours uninstall']:8.2f}s {row['ours uninstall pauses']:7.2f}s")
    if "peer install" not in row:
        return line + "   (the peer was not measured: see above)"
    return (line + f" {row['peer install']:8.2f}s {row['peer uninstall']:8.2f}s "
            f"{ours_install / row['peer install']:6.2f} {row['ours uninstall'] / row['peer uninstall']:6.2f}")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--sizes", default=",".join(map(str, SIZES)), help="file counts, comma-separated")
    parser.add_argument("--repeat", type=int, default=1, help="rounds per size; the medians are shown")
    parser.add_argument("--no-log-bench", action="store_true", help="only the installs beside the peer")
    options = parser.parse_args()
    build = Path(options.build).resolve()
    # The shipped width where the host can run it, else the x86_64 test build.
    runs_32bit = winenv.host_runs_32bit_programs()[0]
    arch = "win32" if runs_32bit else "win64"
    windows = build / arch
    results = build / "results"
    work = results / "bench"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    lines = [f"{arch} build in {arch} prefixes"]
    code = 0

    environment = winenv.WineEnvironment(build / "prefixes-bench", arch)
    try:
        if not options.no_log_bench:
            prefix = environment.new_prefix("log")
            try:
                code = prefix.run([windows / "tests" / "logbench.exe", r"C:\bench"], work / "logbench.txt",
                                  timeout=1800)
            finally:
                prefix.remove()
            lines += (work / "logbench.txt").read_text(encoding="cp932", errors="replace").splitlines()
            print("\n".join(lines), flush=True)

        with_peer = runs_32bit and shutil.which("makensis") is not None
        first = len(lines)
        if not shutil.which("makensis"):
            lines.append("makensis is not installed: only our own times")
        elif not runs_32bit:
            lines.append("this host runs no 32-bit program: the peer's installers cannot be timed")
        lines += ["1 KB files, SetupSpeed=1; ours from the start button to the completion box, by its own clock;",
                  "the peer (makensis, zlib) silent, whole processes; ratios: ours less pauses / peer",
                  f"{'files':>6} {'install':>9} {'pauses':>8} {'less':>9} {'uninst.':>9} {'pauses':>8} "
                  f"{'peer ins':>9} {'peer uni':>9} {'ins x':>6} {'uni x':>6}"]
        print("\n".join(lines[first:]), flush=True)
        for count in map(int, options.sizes.split(",")):
            row = measure(environment, windows, work, count, options.repeat, with_peer)
            lines.append(table_lines(count, row))
            print(lines[-1], flush=True)
    finally:
        environment.close()
    (results / "bench.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")
    return code


if __name__ == "__main__":
    sys.exit(main())
