#!/usr/bin/env python3
"""./tessera bench, timed under Wine in fresh prefixes:

1. the uninstall log written and read in memory against the same work done one
   profile call per key, and the parse of a 10,000-entry setup script;
2. at 200, 2,000 and 10,000 files of 1 KB, all in one prefix per size and round,
   every install (each into a folder of its own) before every uninstall:
   - by hand: our install (SetupSpeed=1) and its uninstall, each from the start
     button to the completion box by the program's own clock (tests/clock/SETUP.EXE,
     which also counts the time it slept in the pauses the script mandates);
   - unattended: `TESSAUTO install` and `TESSAUTO uninstall` of the same, as
     whole processes, with the moments the clock build noted (its phase table);
   - a peer installer of the same files built with makensis (zlib), its install
     run silent (/S) and its uninstaller (/S _?=DIR), as whole processes;
   - the floor: an empty process, and a bare loop copying (deleting) the same files.
"""

import argparse
import json
import os
import platform
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
OURS_KEY, HAND_FOLDER = "TesseraBench", "C:\\BENCH"
AUTO_KEY, AUTO_FOLDER = "TesseraAuto", "C:\\AUTOBENCH"
PEER_KEY = "PeerBench"
# Every install of a round writes into a folder of its own and comes before any
# uninstall, after the file system has settled: ext4 without a journal (this
# host's) keeps a deleted inode from reuse for 30 s, and each new file is then
# placed by searching past them, so files made soon after many were deleted (the
# last round's prefix, an uninstall) cost far more than they do otherwise.
SETTLE_SECONDS = 31
UNINSTALL = r"HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall"
# The peer's build for each kind of Windows: its 64-bit one where 32-bit programs cannot run.
PEER_TARGETS = {"win32": "x86-unicode", "win64": "amd64-unicode"}
# The phases of an unattended run, between the moments the clock build notes
# ("launch": TESSAUTO's own start; "exit": its end, seen from outside).
INSTALL_PHASES = (
    ("TESSAUTO start -> SETUP.EXE started", "launch", "created"),
    ("process start -> main window ready", "created", "ready"),
    ("main window -> start button pressed", "ready", "start"),
    ("start button -> first copy", "start", "copying"),
    ("the copies", "copying", "copied"),
    ("last copy -> completion box asked", "copied", "box"),
    ("completion box asked -> shown", "box", "shown"),
    ("completion box shown -> answered", "shown", "answered"),
    ("completion box answered -> clean-up", "answered", "closing"),
    ("clean-up (work folders deleted)", "closing", "closed"),
    ("clean-up -> program's end", "closed", "end"),
    ("program's end -> TESSAUTO's end", "end", "exit"),
    ("completion box answered -> TESSAUTO's end", "answered", "exit"),
)
UNINSTALL_PHASES = (INSTALL_PHASES[:3] + (("start button -> completion box asked", "start", "box"),) +
                    INSTALL_PHASES[6:])
# TESSAUTO's own waiting: from a window being ready to its answer.
WAITING = (("ready", "start"), ("shown", "answered"))


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


def read_clock(path):
    """The clock build's notes: {name: seconds}."""
    notes = {}
    for line in path.read_text().splitlines():
        name, value = line.split()
        notes.setdefault(name, float(value))
    return notes


def clock_env(clock):
    clock.unlink(missing_ok=True)
    return {"TESSERA_RUN_CLOCK": winenv.windows_path(clock)}


def clocked_run(prefix, windows, work, args, name, cwd=None):
    """Starts the clock build, presses the start button of its "Bench" window, answers
    the completion box: the clock's notes and the box's text."""
    clock = work / f"{name}.clock"
    program = prefix.start(args, work / f"{name}.out", cwd=cwd, extra_env=clock_env(clock))
    try:
        windriver(prefix, windows, work, "wait", "Bench", "--timeout", "60000")
        windriver(prefix, windows, work, "press", "Bench", START_BUTTON)
        [done] = windriver(prefix, windows, work, "msgbox", "完了", "--timeout", "1200000")
        windriver(prefix, windows, work, "press", "完了", "OK")
        program.wait(120)
    finally:
        if program.poll() is None:
            program.kill()
    return read_clock(clock), done["text"]


def unattended_run(prefix, windows, work, args, name):
    """TESSAUTO as a whole process: the clock build's notes, with its start ("launch")
    and end ("exit") as seen from here."""
    clock = work / f"{name}.clock"
    launch = time.time()
    program = prefix.start([windows / "TESSAUTO.EXE", *args, "/log", f"C:\\{name}.log"], work / f"{name}.out",
                           extra_env=clock_env(clock))
    try:
        code = program.wait(1800)
    finally:
        if program.poll() is None:
            program.kill()
    ended = time.time()
    if code != 0:
        raise RuntimeError(f"TESSAUTO {' '.join(args)} ended with {code}: "
                           f"{(prefix.drive_c / f'{name}.log').read_text(errors='replace')}")
    return dict(read_clock(clock), launch=launch, exit=ended)


def registry_value(prefix, work, key, value):
    output = work / "reg.out"
    prefix.run(["reg", "query", key, "/v", value], output, timeout=120)
    for line in output.read_text(encoding="utf-8", errors="replace").splitlines():
        if line.strip().startswith(value):
            return line.split("REG_SZ", 1)[1].strip()
    return None


def make_distribution(prefix, windows, count, name, key, target):
    """C:\\<name> with the clock build and a script installing `count` files to `target` under `key`."""
    dist = prefix.drive_c / name
    make_files(dist, count)
    shutil.copyfile(windows / "tests" / "clock" / "SETUP.EXE", dist / "SETUP.EXE")
    entries = "".join(f"File{n}=(App)\\{file_name(n)}\r\n" for n in range(1, count + 1))
    script = (f"[Title]\r\nSetup=Bench\r\nUnSetupKey={key}\r\n[Extend]\r\nSetupSpeed={STEP_DELAY}\r\n"
              f"[DefaultFolder]\r\nFolder={target}\r\n[CopyFile]\r\n{entries}")
    (dist / "SETUP.INI").write_bytes(script.encode("cp932"))
    (prefix.drive_c / target[3:]).mkdir()  # no question about creating it
    return dist


def count_files(folder):
    return sum(1 for _ in folder.glob("*")) if folder.exists() else 0


def check(done, expected, what):
    if done != expected:
        raise RuntimeError(f"{what}: {done} files where {expected} were to be")


def install_by_hand(prefix, windows, work, dist, count):
    notes, text = clocked_run(prefix, windows, work, [dist / "SETUP.EXE"], "install", cwd=dist)
    check(count_files(prefix.drive_c / HAND_FOLDER[3:]) - 1, count, "our install")  # and its log
    if not text.startswith("インストールが完了しました"):
        raise RuntimeError(f"our install ended with: {text}")
    return notes


def uninstall_by_hand(prefix, windows, work):
    command = registry_value(prefix, work, f"{UNINSTALL}\\{OURS_KEY}", "UninstallString")
    uninstaller, log = command.split(" ", 1)
    notes, text = clocked_run(prefix, windows, work, [uninstaller, log.strip('"')], "uninstall")
    check(count_files(prefix.drive_c / HAND_FOLDER[3:]), 0, "our uninstall")
    if not text.endswith("を完了しました．"):
        raise RuntimeError(f"our uninstall ended with: {text}")
    return notes


def peer_script(count, arch):
    """The peer's script for the same files: each copied, an uninstaller and its
    Uninstall entry written; the uninstaller deletes each file, itself and the key."""
    files = "".join(f'  File "{file_name(n)}"\n' for n in range(1, count + 1))
    deletes = "".join(f'  Delete "$INSTDIR\\{file_name(n)}"\n' for n in range(1, count + 1))
    key = f"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\{PEER_KEY}"
    return f"""Unicode true
Target {PEER_TARGETS[arch]}
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


def build_peer(count, arch, work):
    with tempfile.TemporaryDirectory(dir=work) as folder:
        folder = Path(folder)
        make_files(folder, count)
        (folder / "peer.nsi").write_text(peer_script(count, arch), encoding="utf-8")
        subprocess.run(["makensis", "-V1", "peer.nsi"], cwd=folder, check=True, timeout=1800)
        shutil.move(folder / "PEER.EXE", work / f"PEER-{count}.EXE")
    return work / f"PEER-{count}.EXE"


def whole_process(prefix, args, output):
    """Seconds from starting a Windows program to its end, and its exit code."""
    started = time.time()
    code = prefix.run(args, output, timeout=1800)
    return time.time() - started, code


def peer_install(prefix, work, installer, count):
    local = prefix.drive_c / "PEER.EXE"
    shutil.copyfile(installer, local)
    seconds, code = whole_process(prefix, [local, "/S"], work / "peer-install.out")
    check(len(list((prefix.drive_c / "PEERBENCH").glob("F*.DAT"))), count, f"the peer's install (exit {code})")
    return seconds


def peer_uninstall(prefix, work):
    seconds, code = whole_process(prefix, [prefix.drive_c / "PEERBENCH" / "uninst.exe", "/S", "_?=C:\\PEERBENCH"],
                                  work / "peer-uninstall.out")
    check(len(list((prefix.drive_c / "PEERBENCH").glob("F*.DAT"))), 0, f"the peer's uninstall (exit {code})")
    return seconds


def floor_run(prefix, windows, work, *args):
    seconds, code = whole_process(prefix, [windows / "tests" / "clock" / "FLOOR.EXE", *args], work / "floor.out")
    if code:
        raise RuntimeError(f"FLOOR.EXE {' '.join(args)} ended with {code}")
    return seconds


def phase_times(notes, phases):
    return {name: notes[end] - notes[begin] for name, begin, end in phases}


def flatten(prefix, values):
    return {f"{prefix} {key}": value for key, value in values.items()}


def measure_round(prefix, windows, product, work, count, installer):
    """One round in a fresh prefix: every install, then every uninstall, of the
    clock build and TESSAUTO in `product` (the tools come from `windows`)."""
    hand_dist = make_distribution(prefix, product, count, "dist", OURS_KEY, HAND_FOLDER)
    make_distribution(prefix, product, count, "dist2", AUTO_KEY, AUTO_FOLDER)
    (prefix.drive_c / "FLOOR").mkdir()
    time.sleep(SETTLE_SECONDS)
    row = {}
    hand = install_by_hand(prefix, windows, work, hand_dist, count)
    auto = unattended_run(prefix, product, work, ["install", "C:\\dist2"], "auto-install")
    check(count_files(prefix.drive_c / AUTO_FOLDER[3:]) - 1, count, "TESSAUTO install")
    if installer:
        row["peer install"] = peer_install(prefix, work, installer, count)
    row["floor empty"] = floor_run(prefix, windows, work)
    row["floor copy"] = floor_run(prefix, windows, work, "copy", "C:\\dist", "C:\\FLOOR", str(count))

    unhand = uninstall_by_hand(prefix, windows, work)
    unauto = unattended_run(prefix, product, work, ["uninstall", AUTO_KEY], "auto-uninstall")
    check(count_files(prefix.drive_c / AUTO_FOLDER[3:]), 0, "TESSAUTO uninstall")
    if installer:
        row["peer uninstall"] = peer_uninstall(prefix, work)
    row["floor delete"] = floor_run(prefix, windows, work, "delete", "C:\\FLOOR", str(count))

    row.update({"hand install": hand["run"], "hand install pauses": hand["slept"], "hand uninstall": unhand["run"],
                "auto install": auto["exit"] - auto["launch"], "auto install pauses": auto["slept"],
                "auto install clock": auto["run"], "auto uninstall": unauto["exit"] - unauto["launch"],
                "auto uninstall clock": unauto["run"]})
    for run, notes, phases in (("install", auto, INSTALL_PHASES), ("uninstall", unauto, UNINSTALL_PHASES)):
        row.update(flatten(f"{run} phase", phase_times(notes, phases)))
        row[f"{run} waiting"] = sum(notes[end] - notes[begin] for begin, end in WAITING)
    return row


def measure(environment, windows, products, arch, work, count, repeat, with_peer):
    """For each build in `products` ({label: folder}), the medians of `repeat`
    rounds, each in a fresh prefix. The builds take turns, in an order that
    alternates from round to round, so that a change of the machine's load
    falls on all of them alike."""
    installer = build_peer(count, arch, work) if with_peer else None
    rounds = {label: [] for label in products}
    for n in range(repeat):
        for label in (list(products) if n % 2 == 0 else list(products)[::-1]):
            prefix = environment.new_prefix(f"bench-{count}-{n}-{label}")
            try:
                rounds[label].append(measure_round(prefix, windows, products[label], work, count, installer))
            finally:
                prefix.remove()
    return {label: {key: statistics.median(r[key] for r in done) for key in done[0]}
            for label, done in rounds.items()}


def ratio(ours, peer):
    return f"{ours / peer:6.2f}"


def result_line(count, row, label=""):
    """The main table's line for one size (of the build `label`); with the goals it misses, if any."""
    hand = row["hand install"] - row["hand install pauses"]
    auto = row["auto install"] - row["auto install pauses"]
    line = (f"{label:7}{count:6d} {row['hand install']:8.2f}s {hand:7.2f}s {row['hand uninstall']:7.2f}s "
            f"{row['auto install']:8.2f}s {auto:7.2f}s {row['auto uninstall']:7.2f}s")
    if "peer install" not in row:
        return line + "   (no peer: see above)", []
    ours = {"by hand, install": hand, "by hand, uninstall": row["hand uninstall"],
            "unattended install": auto, "unattended uninstall": row["auto uninstall"]}
    peers = {"by hand, install": row["peer install"], "by hand, uninstall": row["peer uninstall"],
             "unattended install": row["peer install"], "unattended uninstall": row["peer uninstall"]}
    line += f" {row['peer install']:8.2f}s {row['peer uninstall']:7.2f}s  " + " ".join(
        ratio(ours[goal], peers[goal]) for goal in ours)
    return line, [goal for goal in ours if ours[goal] > peers[goal]]


def phase_lines(columns):
    """The phase table, a column per (heading, row)."""
    width = max(9, *(len(heading) + 2 for heading, _ in columns))

    def line(name, value):
        return f"  {name:42}" + "".join(f"{value(row):{width}.3f}" for _, row in columns)

    lines = []
    for run, phases in (("install", INSTALL_PHASES), ("uninstall", UNINSTALL_PHASES)):
        lines.append(f"{'unattended ' + run + ', phases (s)':44}" +
                     "".join(f"{heading:>{width}}" for heading, _ in columns))
        for name, _, _ in phases:
            lines.append(line(name, lambda row: row[f"{run} phase {name}"]))
        lines.append(line("of it TESSAUTO waiting on a ready window", lambda row: row[f"{run} waiting"]))
        lines.append(line("the whole process", lambda row: row[f"auto {run}"]))
    lines.append(line("mandated pauses (slept) of the install", lambda row: row["auto install pauses"]))
    lines.append("the program's own clock, start button to completion box, by hand / under TESSAUTO:")
    for run in ("install", "uninstall"):
        lines.append(f"  {run:42}" + "".join(
            f"{row[f'hand {run}']:.2f}/{row[f'auto {run} clock']:.2f}".rjust(width) for _, row in columns))
    return lines


def host_lines(arch, runs_32bit, why):
    cpu = next((line.split(":", 1)[1].strip() for line in Path("/proc/cpuinfo").read_text().splitlines()
                if line.startswith("model name")), platform.processor() or "unknown")
    wine = subprocess.run([winenv.LOADERS[arch], "--version"], capture_output=True, text=True).stdout.strip()
    load = " ".join(f"{value:.2f}" for value in os.getloadavg())
    return [f"host: {cpu}, {os.cpu_count()} cores, load {load} (1, 5, 15 min); "
            f"{'runs 32-bit programs' if runs_32bit else 'runs no 32-bit program (' + why + ')'}",
            f"prefixes: {arch} ({wine}), a virtual desktop of {winenv.SCREEN.rsplit('x', 1)[0]}, "
            f"the Japanese locale, WINEDEBUG=-all; one fresh prefix per size and round, its installs "
            f"{SETTLE_SECONDS} s after the last files were deleted",
            f"our {arch} build; the peer: makensis, Target {PEER_TARGETS[arch]}"]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--sizes", default=",".join(map(str, SIZES)), help="file counts, comma-separated")
    parser.add_argument("--repeat", type=int, default=1, help="rounds per size; the medians are shown")
    parser.add_argument("--no-log-bench", action="store_true", help="only the installs beside the peer")
    parser.add_argument("--before", help="another build folder (the code before a change): its clock build and "
                        "TESSAUTO are timed too, in rounds that take turns with this build's")
    options = parser.parse_args()
    build = Path(options.build).resolve()
    # The shipped width where the host can run it, else the x86_64 test build.
    runs_32bit, why = winenv.host_runs_32bit_programs()
    arch = "win32" if runs_32bit else "win64"
    windows = build / arch
    products = {"": windows}
    if options.before:
        products = {"before": Path(options.before).resolve() / arch, "after": windows}
    results = build / "results"
    work = results / "bench"
    shutil.rmtree(work, ignore_errors=True)
    work.mkdir(parents=True)
    lines = host_lines(arch, runs_32bit, why)
    print("\n".join(lines), flush=True)
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
            bench = (work / "logbench.txt").read_text(encoding="cp932", errors="replace").splitlines()
            print("\n".join(bench), flush=True)
            lines += bench

        with_peer = shutil.which("makensis") is not None
        first = len(lines)
        if not with_peer:
            lines.append("makensis is not installed: only our own times")
        lines += ["1 KB files, SetupSpeed=1. By hand: from the start button to the completion box, by the program's",
                  "own clock. Unattended: TESSAUTO install / uninstall, whole processes. The peer: silent, whole",
                  "processes. 'less': less the pauses the script mandates (the time the program slept).",
                  "Ratios, ours / the peer's: by hand install (less), uninstall; unattended install (less), uninstall.",
                  f"{' ' * 7 if options.before else ''}{'files':>6} {'by hand':>9} {'less':>8} {'uninst.':>8} {'TESSAUTO':>9} {'less':>8} "
                  f"{'uninst.':>8} {'peer ins':>9} {'uninst.':>8}  {'hand x':>13} {'auto x':>13}"]
        print("\n".join(lines[first:]), flush=True)
        sizes = list(map(int, options.sizes.split(",")))
        rows, missed = {}, {}
        for count in sizes:
            measured = measure(environment, windows, products, arch, work, count, options.repeat, with_peer)
            load = " ".join(f"{value:.2f}" for value in os.getloadavg())
            for label, row in measured.items():
                rows[label, count] = row
                line, missed[label, count] = result_line(count, row, label)
                lines.append(f"{line}  load {load}")
                print(lines[-1], flush=True)
    finally:
        environment.close()
    tail = [f"load after: {' '.join(f'{value:.2f}' for value in os.getloadavg())}"]
    tail += phase_lines([(f"{label} {count}".strip(), row) for (label, count), row in rows.items()])
    for (label, count), row in rows.items():
        if missed[label, count]:
            tail.append(f"{label + ': ' if label else ''}{count} files, slower than the peer: {', '.join(missed[label, count])}. The floor: an empty "
                        f"process {row['floor empty']:.2f}s, a bare loop copying the files {row['floor copy']:.2f}s, "
                        f"deleting them {row['floor delete']:.2f}s (whole processes)")
    print("\n".join(tail), flush=True)
    lines += tail
    (results / "bench.txt").write_text("\n".join(lines) + "\n", encoding="utf-8")
    return code


if __name__ == "__main__":
    sys.exit(main())
