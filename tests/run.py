#!/usr/bin/env python3
"""Runs the three test levels and ends with one line: N passed, N failed.

native: the host build's GoogleTest executables (sanitizers on), and pytest
        over tests/tools (the decisions of the Python tools).
wine:   a Windows build's GoogleTest executables, each in a fresh prefix.
e2e:    pytest over tests/e2e, whole programs under Wine and Xvfb.

The wine and e2e levels run against the x86_64 build in 64-bit prefixes on
every host, then against the i686 build as shipped in 32-bit prefixes where the
host can run 32-bit programs.
"""

import argparse
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
FUZZ = ROOT / "tests" / "fuzz"
FAILURE_TAIL_LINES = 15
sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import winenv  # noqa: E402


class Tally:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def add_report(self, level, name, report):
        """Adds a GoogleTest or JUnit XML report; a missing one counts as a failure."""
        if not report.exists():
            print(f"[{level}] {name}: no report (crashed or timed out)")
            self.failed += 1
            return
        # Failure messages may hold code page 932 bytes that are not UTF-8.
        text = report.read_bytes().decode("utf-8", errors="replace")
        root = ElementTree.fromstring(text.encode("utf-8"))
        suites = [root] if root.tag == "testsuite" else list(root.iter("testsuite"))
        total = sum(int(s.get("tests", 0)) for s in suites)
        failed = sum(int(s.get("failures", 0)) + int(s.get("errors", 0)) for s in suites)
        skipped = sum(int(s.get("skipped", 0)) + int(s.get("disabled", 0)) for s in suites)
        self.passed += total - failed - skipped
        self.failed += failed
        print(f"[{level}] {name}: {total - failed - skipped} passed, {failed} failed")
        for case in root.iter("testcase"):
            for failure in list(case.iter("failure")) + list(case.iter("error")):
                message = (failure.get("message") or failure.text or "").strip().splitlines()
                print(f"    FAILED {case.get('classname')}.{case.get('name')}: {message[0] if message else ''}")
                # A long message (a run's log) ends with what decided it: the console
                # may be all that is left of a run on another machine.
                for line in message[1:][-FAILURE_TAIL_LINES:]:
                    print(f"        {line.rstrip()[:200]}")


def replay_fuzz_inputs(build, results, tally):
    """Every fuzzer's kept corpus and every input that once failed, through its
    target under the host tree's sanitizers: one case per fuzzer."""
    passed = failed = 0
    for program in sorted((build / "host" / "tests" / "fuzz").glob("*Fuzzer")):
        inputs = [FUZZ / "corpus" / program.name, FUZZ / "crashes" / program.name]
        with open(results / f"native-fuzz-{program.name}.log", "wb") as out:
            code = subprocess.run([str(program), *map(str, inputs)], stdout=out, stderr=subprocess.STDOUT,
                                  timeout=600).returncode
        if code == 0:
            passed += 1
        else:
            failed += 1
            print(f"    FAILED fuzz replay {program.name}: see native-fuzz-{program.name}.log")
    tally.passed += passed
    tally.failed += failed
    print(f"[native] fuzz replay: {passed} passed, {failed} failed")


def run_native(build, results, tally):
    for executable in sorted((build / "host" / "tests" / "native").glob("*_tests")):
        report = results / f"native-{executable.name}.xml"
        report.unlink(missing_ok=True)
        log = results / f"native-{executable.name}.log"
        with open(log, "wb") as out:
            subprocess.run([str(executable), f"--gtest_output=xml:{report}"], stdout=out, stderr=subprocess.STDOUT,
                           timeout=600)
        tally.add_report("native", executable.name, report)
    report = results / "native-tools.xml"
    report.unlink(missing_ok=True)
    with open(results / "native-tools.log", "wb") as out:
        subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", str(ROOT / "tests" / "tools"),
                        f"--junitxml={report}"], stdout=out, stderr=subprocess.STDOUT, cwd=ROOT, timeout=600)
    tally.add_report("native", "tools (pytest)", report)
    replay_fuzz_inputs(build, results, tally)


def run_wine(windows, results, environment, tally):
    level = f"wine {environment.arch}"
    for executable in sorted((windows / "tests").glob("*_tests.exe")):
        name = f"wine-{environment.arch}-{executable.stem}"
        report = results / f"{name}.xml"
        report.unlink(missing_ok=True)
        prefix = environment.new_prefix(executable.stem)
        try:
            prefix.run([executable, f"--gtest_output=xml:{winenv.windows_path(report)}"], results / f"{name}.log",
                       timeout=600)
        except subprocess.TimeoutExpired:
            pass
        finally:
            prefix.remove()
        tally.add_report(level, executable.stem, report)


def run_e2e(windows, results, environment, tally, single_pass):
    """pytest over tests/e2e with this build's programs; the tests that only read
    files (marked single_pass) run in the first pass of the two."""
    name = f"e2e-{environment.arch}"
    report = results / f"{name}.xml"
    report.unlink(missing_ok=True)
    env = dict(os.environ, TESSERA_WINE_TEMPLATE=str(environment.template), TESSERA_WINE_ARCH=environment.arch,
               TESSERA_WINDOWS_BUILD=str(windows), TESSERA_DISPLAY=environment.display.name,
               TESSERA_RESULTS=str(results))
    select = [] if single_pass else ["-m", "not single_pass"]
    with open(results / f"{name}.log", "wb") as out:
        code = subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", *select,
                               str(ROOT / "tests" / "e2e"), f"--junitxml={report}"], env=env, stdout=out,
                              stderr=subprocess.STDOUT, cwd=ROOT, timeout=3000).returncode
    if code == 5:  # pytest: no tests collected
        print(f"[{name}] no tests collected")
        tally.failed += 1
        return
    tally.add_report(f"e2e {environment.arch}", "pytest", report)


def windows_passes(build, requested):
    """The (kind of Windows, build folder) pairs to run: win64 always, win32 where
    the host runs 32-bit programs. Says so when the win32 pass cannot run."""
    passes = []
    if "win64" in requested:
        passes.append(("win64", build / "win64"))
    if "win32" in requested:
        runs_32bit, why = winenv.host_runs_32bit_programs()
        if runs_32bit:
            passes.append(("win32", build / "win32"))
        else:
            print(f"[win32] not run: this host cannot run 32-bit programs ({why}); "
                  "the wine and e2e levels run on the x86_64 build only")
    return passes


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--levels", default="native,wine,e2e")
    parser.add_argument("--windows", default="win64,win32",
                        help="the Windows builds that the wine and e2e levels run against")
    args = parser.parse_args()
    build = Path(args.build).resolve()
    levels = args.levels.split(",")
    results = build / "results"
    results.mkdir(parents=True, exist_ok=True)

    tally = Tally()
    if "native" in levels:
        run_native(build, results, tally)
    if "wine" in levels or "e2e" in levels:
        for number, (arch, windows) in enumerate(windows_passes(build, args.windows.split(","))):
            environment = winenv.WineEnvironment(build / f"prefixes-{os.getpid()}-{arch}", arch)
            try:
                if "wine" in levels:
                    run_wine(windows, results, environment, tally)
                if "e2e" in levels:
                    run_e2e(windows, results, environment, tally, single_pass=number == 0)
            finally:
                environment.close()
    print(f"Logs and screenshots: {results}")
    print(f"{tally.passed} passed, {tally.failed} failed")
    return 1 if tally.failed or tally.passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
