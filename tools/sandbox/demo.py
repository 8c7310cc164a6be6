#!/usr/bin/env python3
"""The demo: the sample product of examples/sample/ put together with the
programs of the build, installed and uninstalled in the sandbox.

    demo.py [--interactive] [--json] [--windows 98|xp|10]
"""

import argparse
import shutil
import sys
from pathlib import Path

HERE = Path(__file__).resolve().parent
ROOT = HERE.parents[1]
sys.path.insert(0, str(HERE))

import sandbox  # noqa: E402

SAMPLE = ROOT / "examples" / "sample"
ANSWERS = ROOT / "examples" / "sample-answers.txt"


def assemble(build, dist):
    """The sample's distribution: the script and files of examples/sample/, SETUP.EXE as
    shipped, the sample's program and component, and their 64-bit twins in x64\\."""
    shutil.rmtree(dist, ignore_errors=True)
    shutil.copytree(SAMPLE, dist)
    shutil.copyfile(build / "win32" / "SETUP.EXE", dist / "SETUP.EXE")
    (dist / sandbox.TWINS).mkdir()
    for name in ("SAMPLE.EXE", "SMPLCOM.DLL"):
        shutil.copyfile(build / "win32" / "sample" / name, dist / name)
        shutil.copyfile(build / "win64" / "sample" / name, dist / sandbox.TWINS / name)
    return dist


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--interactive", action="store_true", help="click through the real windows on $DISPLAY")
    parser.add_argument("--json", action="store_true")
    parser.add_argument("--windows", choices=sorted(sandbox.WINDOWS_NAMES), default="10")
    parser.add_argument("--build", default=str(ROOT / "build"))
    args = parser.parse_args(argv)
    build = Path(args.build).resolve()
    dist = assemble(build, build / "demo" / "dist")
    forwarded = [str(dist), "--answers", str(ANSWERS), "--out", str(build / "demo" / "report"),
                 "--windows", args.windows, "--build", str(build)]
    forwarded += ["--interactive"] * args.interactive + ["--json"] * args.json
    return sandbox.main(forwarded)


if __name__ == "__main__":
    sys.exit(main())
