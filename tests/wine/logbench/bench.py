#!/usr/bin/env python3
"""./tessera bench: the uninstall log written and read in memory against the
same work done one profile call per key, timed under Wine in a fresh prefix."""

import argparse
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[3]
sys.path.insert(0, str(ROOT / "tests"))

import winenv  # noqa: E402


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--build", default=str(ROOT / "build"))
    build = Path(parser.parse_args().build).resolve()
    # The shipped width where the host can run it, else the x86_64 test build.
    arch = "win32" if winenv.host_runs_32bit_programs()[0] else "win64"
    bench = build / arch / "tests" / "logbench.exe"
    results = build / "results"
    results.mkdir(parents=True, exist_ok=True)
    output = results / "bench.txt"

    environment = winenv.WineEnvironment(build / "prefixes-bench", arch)
    try:
        prefix = environment.new_prefix("bench")
        try:
            code = prefix.run([bench, r"C:\bench"], output, timeout=1800)
        finally:
            prefix.remove()
    finally:
        environment.close()
    print(f"{bench.relative_to(build)} in a {arch} prefix")
    print(output.read_text(encoding="cp932", errors="replace"), end="")
    return code


if __name__ == "__main__":
    sys.exit(main())
