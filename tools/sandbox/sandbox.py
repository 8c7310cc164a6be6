#!/usr/bin/env python3
"""Runs a distribution's install and its uninstall in a fresh Windows under
Wine and reports what they did to the machine.

    sandbox.py DIST [--answers FILE] [--windows 98|xp|10] [--out DIR] [--json]

DIST is a distribution folder, or a single file (NAME.EXE) that carries its medium.

The machine is read before the install, after it and after the uninstall
(started through the UninstallString of its Uninstall key). Every window that
waits for the user is answered from the answers file (or with its default
button) and photographed into DIR. Exit status 0 only when the install
completed and the uninstall left nothing that it should have removed.
"""

import argparse
import json
import os
import shutil
import struct
import sys
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE))

import winenv  # noqa: E402

sys.path.insert(0, str(ROOT / "tools" / "pack"))
import singlefile  # noqa: E402
import schema  # noqa: E402
from answers import AnswersError, parse_answers  # noqa: E402
from changes import (REMOVED, changes, classify_leftovers, ini_sections, ini_targets, keep_rules,  # noqa: E402
                     numbered, parse_noise, split_noise, uninstall_entries)
from machine import take_snapshot  # noqa: E402
from report import build_report, render_text  # noqa: E402
from watcher import RunTimeout, Watcher  # noqa: E402

NOISE_LIST = HERE / "wine-noise.txt"
DEFAULT_ANSWERS = HERE / "default-answers.txt"
# The folder of 64-bit stand-ins in a distribution, for hosts that run no 32-bit programs.
TWINS = "x64"
WINE_VERSIONS = {("98", "win32"): "win98", ("98", "win64"): "win98", ("xp", "win32"): "winxp",
                 ("xp", "win64"): "winxp64", ("10", "win32"): "win10", ("10", "win64"): "win10"}
WINDOWS_NAMES = {"98": "Windows 98", "xp": "Windows XP", "10": "Windows 10"}
RUN_TIMEOUT = 600
MACHINE_I386, MACHINE_AMD64 = 0x14C, 0x8664
SHARED_FILE_QUESTION = "ファイル削除の確認"
KEEP_ONE, KEEP_ALL = "いいえ(N)", "すべて保存(A)"


def progress(message):
    print(f"sandbox: {message}", file=sys.stderr, flush=True)


def pe_machine(path):
    """The machine of a Windows executable or DLL, None for other files."""
    try:
        with open(path, "rb") as file:
            head = file.read(4096)
        if head[:2] != b"MZ":
            return None
        offset = struct.unpack_from("<I", head, 0x3C)[0]
        if head[offset:offset + 4] != b"PE\0\0":
            return None
        return struct.unpack_from("<H", head, offset + 4)[0]
    except (OSError, struct.error):
        return None


def prepare_medium(dist, medium, setup, wide):
    """Copies the distribution to the folder that becomes drive D:. In a 64-bit pass
    the x86_64 SETUP.EXE and the 64-bit twins (DIST\\x64\\<same path>) stand in
    for the 32-bit files; returns the 32-bit programs left without a twin."""
    shutil.copytree(dist, medium)
    shutil.copyfile(setup, medium / schema.PROGRAM_NAME)
    if not wide:
        return []
    not_checked = []
    for path in sorted(medium.rglob("*")):
        relative = path.relative_to(medium)
        if relative.parts[0].lower() == TWINS or not path.is_file() or relative == Path(schema.PROGRAM_NAME):
            continue
        if pe_machine(path) != MACHINE_I386:
            continue
        twin = medium / TWINS / relative
        if twin.is_file() and pe_machine(twin) == MACHINE_AMD64:
            shutil.copyfile(twin, path)
        else:
            not_checked.append(f"{relative}: a 32-bit program or component without a 64-bit twin in {TWINS}\\; "
                               "a 64-bit setup cannot load or start it, so what it does was not seen")
    return not_checked


def single_file_stand_in(program, medium, setup, twins, out):
    """A single file for a 64-bit pass: its medium with the x86_64 SETUP.EXE and the
    64-bit twins (from `twins`, the distribution's x64 folder) in place of the
    32-bit files, on the x86_64 SETUP.EXE as the stub. Returns the 32-bit
    programs left without a twin."""
    singlefile.extract(program, medium)
    if twins.is_dir():
        shutil.copytree(twins, medium / TWINS)
    flat = medium.with_name(medium.name + "-64")
    not_checked = prepare_medium(medium, flat, setup, True)
    shutil.rmtree(flat / TWINS, ignore_errors=True)
    singlefile.build(setup, flat, out)
    return not_checked


def read_log(snapshot, install_items):
    """The uninstall log the install wrote ({section: {key: value}}) and its path."""
    for item in install_items:
        if item.kind == "file" and item.change != REMOVED and item.name.lower().endswith("\\unsetup.ini"):
            content = snapshot.files[item.name].content
            if content is not None:
                return ini_sections(content), item.name
    return {}, None


def uninstall_command(snapshot, install_items):
    for key in uninstall_entries(install_items):
        values = snapshot.registry[key.lower()].values
        if "uninstallstring" in values:
            return values["uninstallstring"].data
    return None


def kept_by_answers(dialogs, shared_files):
    """The shared files kept by a "no" to their question, and whether "keep all" was answered."""
    kept, keep_all = set(), False
    for dialog in dialogs:
        if dialog.caption != SHARED_FILE_QUESTION:
            continue
        if dialog.answer == KEEP_ALL:
            keep_all = True
        elif dialog.answer == KEEP_ONE:
            kept.update(path for path in shared_files if path.lower() in dialog.text.lower())
    return kept, keep_all


class Sandbox:
    def __init__(self, args):
        self.args = args
        self.dist = Path(args.dist).resolve()
        # A single file: the folder it lies in is the distribution, the file its program.
        self.single = self.dist if self.dist.is_file() else None
        if self.single:
            self.dist = self.single.parent
        self.build = Path(args.build).resolve()
        self.out = Path(args.out).resolve() if args.out else self.build / "sandbox"
        runs_32bit, why = winenv.host_runs_32bit_programs()
        self.arch = "win32" if runs_32bit else "win64"
        self.notes, self.not_checked = [], []
        windows = WINDOWS_NAMES[args.windows]
        program = self.single.name if self.single else schema.PROGRAM_NAME
        if runs_32bit:
            self.setup = self.single or self.dist / schema.PROGRAM_NAME
            self.first_line = (f"Sandbox pass: the distribution's own {program} (32-bit) in a 32-bit {windows} "
                               "under Wine.")
        else:
            self.setup = self.build / "win64" / schema.PROGRAM_NAME
            rebuilt = (f"{program} rebuilt on it, its medium's programs replaced by their x86_64 builds and 64-bit "
                       f"twins, ") if self.single else ""
            self.first_line = (f"Sandbox pass on the x86_64 build of the same sources ({self.setup}) in place of "
                               f"the distribution's SETUP.EXE, {rebuilt}in a 64-bit {windows} under Wine: this host "
                               f"cannot run 32-bit programs ({why}).")
        if args.windows == "98":
            self.notes.append("Windows 98 here is Wine reporting that version to the programs; the folders keep "
                              "the NT layout (C:\\users\\..., the Start menu under the user's profile), a Wine limit.")
        self.windriver = self.build / self.arch / "windriver.exe"
        self.rules = []
        if args.answers:
            self.rules = parse_answers(Path(args.answers).read_text(encoding="utf-8"), Path(args.answers).name)
        self.fallback_rules = parse_answers(DEFAULT_ANSWERS.read_text(encoding="utf-8"), DEFAULT_ANSWERS.name)
        self.noise = parse_noise(NOISE_LIST.read_text(encoding="utf-8"), NOISE_LIST.name)
        self.dialogs = []

    def check_inputs(self):
        if self.single:
            try:
                if singlefile.trailer_of(self.single.read_bytes()) is None:
                    raise SystemExit(f"sandbox: {self.single} carries no medium (and is not a folder)")
            except singlefile.SingleFileError as error:
                raise SystemExit(f"sandbox: {self.single}: {error}")
        script = () if self.single else ((self.dist / schema.SETUP_SCRIPT_NAME, "the setup script"),)
        for path, what in (*script, (self.setup, schema.PROGRAM_NAME),
                           (self.windriver, "windriver.exe (run ./tessera build)")):
            if not path.is_file():
                raise SystemExit(f"sandbox: {what} is missing: {path}")

    def run(self):
        self.check_inputs()
        if self.out.exists():
            shutil.rmtree(self.out)
        self.out.mkdir(parents=True)
        work = self.build / f"sandbox-work-{os.getpid()}"
        shutil.rmtree(work, ignore_errors=True)
        display = None
        if self.args.interactive:
            display = winenv.SharedDisplay(os.environ["DISPLAY"])
        elif os.environ.get("TESSERA_DISPLAY"):
            display = winenv.SharedDisplay(os.environ["TESSERA_DISPLAY"])
        started = time.monotonic()
        progress(f"making a fresh {WINDOWS_NAMES[self.args.windows]} ({self.arch}) under Wine")
        environment = winenv.WineEnvironment(work / "prefixes", self.arch, display=display)
        try:
            return self._run_in(environment, work, started)
        finally:
            environment.close()
            shutil.rmtree(work, ignore_errors=True)

    def _run_in(self, environment, work, started):
        prefix = environment.new_prefix("sandbox")
        version = WINE_VERSIONS[(self.args.windows, self.arch)]
        prefix.run(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"], work / "version.out")
        medium = work / "medium"
        if self.single:
            # The script is read from the payload; the file alone goes on drive D:.
            self.script_folder = work / "payload"
            singlefile.extract(self.single, self.script_folder)
            medium.mkdir()
            if self.arch == "win64":
                self.not_checked = single_file_stand_in(self.single, work / "payload-64", self.setup,
                                                        self.dist / TWINS, medium / self.single.name)
            else:
                shutil.copyfile(self.single, medium / self.single.name)
        else:
            self.script_folder = self.dist
            self.not_checked = prepare_medium(self.dist, medium, self.setup, self.arch == "win64")
        drive_d = prefix.path / "dosdevices" / "d:"
        if drive_d.is_symlink() or drive_d.exists():
            drive_d.unlink()
        drive_d.symlink_to(medium)

        progress("reading the machine before the install")
        prefix.stop_server()
        before = take_snapshot(prefix.path)

        program = self.single.name if self.single else schema.PROGRAM_NAME
        progress(f"installing (D:\\{program})")
        prefix.start_server()
        setup = prefix.start([f"D:\\{program}"], work / "setup.out", cwd=medium)
        install_code, install_summary = self._watch(prefix, environment.display, setup, "install")
        progress("reading the machine after the install")
        prefix.stop_server()
        installed = take_snapshot(prefix.path)
        script = ini_sections((self.script_folder / schema.SETUP_SCRIPT_NAME).read_bytes())
        ini_names = ini_targets(script)
        install_items, install_noise = split_noise(changes(before, installed, ini_names), self.noise)
        log, log_path = read_log(installed, install_items)
        command = uninstall_command(installed, install_items)
        completed = install_code == 0 and command is not None
        if install_code == 0 and command is None:
            install_summary = "the setup ended but wrote no uninstall entry"
        install = {"completed": completed, "exit_code": install_code, "summary": install_summary,
                   "log": log_path}

        uninstall = {"ran": False, "command": command, "exit_code": None,
                     "summary": "not run: the install wrote no uninstall entry"}
        final = installed
        if command:
            progress(f"uninstalling ({command})")
            prefix.start_server()
            runner = prefix.start([self.windriver, "run", command], work / "uninstall.out")
            code, summary = self._watch(prefix, environment.display, runner, "uninstall")
            exit_code = self._exit_code(work / "uninstall.out")
            uninstall.update(ran=code is not None, exit_code=exit_code,
                             summary=f"{command} ended with {exit_code}" if code is not None else summary)
            progress("reading the machine after the uninstall")
            prefix.stop_server()
            final = take_snapshot(prefix.path)

        shared = [path for path, _, tail in (entry.partition(",") for entry in numbered(log, *schema.LOG_DELETE_FILE))
                  if "/S" in tail[:5].upper()]
        kept, keep_all = kept_by_answers(self.dialogs, shared)
        rules = keep_rules(script, log, r"C:\windows", kept, keep_all)
        left = classify_leftovers(changes(before, final, ini_names), rules, self.noise)
        report = build_report(
            first_line=self.first_line, notes=self.notes, distribution=self.dist,
            windows=f"{WINDOWS_NAMES[self.args.windows]} (Wine version \"{version}\", {self.arch} prefix)",
            screenshots=None if self.args.interactive else self.out, install=install, installed=install_items,
            install_noise=len(install_noise), uninstall=uninstall, left=left, dialogs=self.dialogs,
            not_checked=self.not_checked)
        (self.out / "report.json").write_text(json.dumps(report, ensure_ascii=False, indent=1), encoding="utf-8")
        (self.out / "report.txt").write_text(render_text(report), encoding="utf-8")
        progress(f"done in {time.monotonic() - started:.0f} s; report in {self.out}")
        return report

    def _watch(self, prefix, display, process, phase):
        watcher = Watcher(prefix, self.windriver, self.rules, self.fallback_rules, self.out, phase, progress,
                          self.args.interactive)
        watcher.dialogs = self.dialogs  # one numbering over both runs
        try:
            code = watcher.watch(process, display, RUN_TIMEOUT)
            program = self.single.name if self.single else schema.PROGRAM_NAME
            return code, f"{program} ended with {code}" if phase == "install" else ""
        except RunTimeout as stuck:
            progress(f"{phase}: {stuck}")
            display.screenshot(self.out / f"{phase}-stuck.png")
            process.kill()
            return None, f"{stuck} (see {phase}-stuck.png)"

    @staticmethod
    def _exit_code(output):
        for line in output.read_text(encoding="utf-8", errors="replace").splitlines():
            if line.startswith('{"exit"'):
                return json.loads(line)["exit"]
        return None


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dist", help="the distribution folder (SETUP.EXE, SETUP.INI and the files), or a single "
                                     "file NAME.EXE that carries them")
    parser.add_argument("--answers", help="rules for answering the windows (see answers.py)")
    parser.add_argument("--windows", choices=sorted(WINDOWS_NAMES), default="10")
    parser.add_argument("--out", help="folder for the screenshots and the report (default build/sandbox)")
    parser.add_argument("--json", action="store_true", help="print the report as JSON")
    parser.add_argument("--interactive", action="store_true", help="a person answers the windows on $DISPLAY")
    parser.add_argument("--build", default=str(ROOT / "build"))
    args = parser.parse_args(argv)
    if args.interactive and not os.environ.get("DISPLAY"):
        parser.error("--interactive needs a display (DISPLAY is not set)")
    try:
        sandbox = Sandbox(args)
    except (AnswersError, ValueError, OSError) as error:
        print(f"sandbox: {error}", file=sys.stderr)
        return 2
    report = sandbox.run()
    sys.stdout.write(json.dumps(report, ensure_ascii=False, indent=1) + "\n" if args.json else render_text(report))
    return 0 if report["ok"] else 1


if __name__ == "__main__":
    sys.exit(main())
