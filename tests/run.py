#!/usr/bin/env python3
"""Runs the three test levels and ends with one line: N passed, N failed.

native: the host build's GoogleTest executables (sanitizers on).
wine:   the win32 build's GoogleTest executables, each in a fresh prefix.
e2e:    pytest over tests/e2e, whole programs under Wine and Xvfb.
"""

import argparse
import os
import subprocess
import sys
import xml.etree.ElementTree as ElementTree
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests"))

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


def run_native(build, results, tally):
    for executable in sorted((build / "host" / "tests" / "native").glob("*_tests")):
        report = results / f"native-{executable.name}.xml"
        report.unlink(missing_ok=True)
        log = results / f"native-{executable.name}.log"
        with open(log, "wb") as out:
            subprocess.run([str(executable), f"--gtest_output=xml:{report}"], stdout=out, stderr=subprocess.STDOUT,
                           timeout=600)
        tally.add_report("native", executable.name, report)


def run_wine(build, results, environment, tally):
    for executable in sorted((build / "win32" / "tests").glob("*_tests.exe")):
        report = results / f"wine-{executable.stem}.xml"
        report.unlink(missing_ok=True)
        prefix = environment.new_prefix(executable.stem)
        try:
            prefix.run([executable, f"--gtest_output=xml:{winenv.windows_path(report)}"],
                       results / f"wine-{executable.stem}.log", timeout=600)
        except subprocess.TimeoutExpired:
            pass
        finally:
            prefix.remove()
        tally.add_report("wine", executable.stem, report)


def run_e2e(environment, results, tally):
    report = results / "e2e.xml"
    report.unlink(missing_ok=True)
    env = dict(os.environ, TESSERA_WINE_TEMPLATE=str(environment.template),
               TESSERA_DISPLAY=environment.display.name, TESSERA_RESULTS=str(results))
    with open(results / "e2e.log", "wb") as out:
        code = subprocess.run([sys.executable, "-m", "pytest", "-q", "-p", "no:cacheprovider", str(ROOT / "tests" / "e2e"),
                               f"--junitxml={report}"], env=env, stdout=out, stderr=subprocess.STDOUT,
                              cwd=ROOT, timeout=3000).returncode
    if code == 5:  # pytest: no tests collected
        print("[e2e] no tests collected")
        tally.failed += 1
        return
    tally.add_report("e2e", "pytest", report)


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=str(ROOT / "build"))
    parser.add_argument("--levels", default="native,wine,e2e")
    args = parser.parse_args()
    build = Path(args.build)
    levels = args.levels.split(",")
    results = build / "results"
    results.mkdir(parents=True, exist_ok=True)

    tally = Tally()
    if "native" in levels:
        run_native(build, results, tally)
    if "wine" in levels or "e2e" in levels:
        environment = winenv.WineEnvironment(build / f"prefixes-{os.getpid()}")
        try:
            if "wine" in levels:
                run_wine(build, results, environment, tally)
            if "e2e" in levels:
                run_e2e(environment, results, tally)
        finally:
            environment.close()
    print(f"Logs and screenshots: {results}")
    print(f"{tally.passed} passed, {tally.failed} failed")
    return 1 if tally.failed or tally.passed == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
