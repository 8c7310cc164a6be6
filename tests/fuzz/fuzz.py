#!/usr/bin/env python3
"""Builds the fuzzers with clang and libFuzzer (under AddressSanitizer and
UndefinedBehaviorSanitizer) and runs each of them, growing the corpora kept in
tests/fuzz/corpus/ and keeping every failing input in tests/fuzz/crashes/.

clang knows only UTF-8 for text literals, and ours must be code page 932 bytes
as the product has them; so the tree is built from copies of the sources turned
into code page 932 (build/fuzz/src), whose literals clang takes byte for byte.
"""

import argparse
import re
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent.parent
FUZZ = ROOT / "tests" / "fuzz"
SOURCE_FOLDERS = ["cmake", "support", "log", "app", "install", "uninstall", "tests/fuzz"]


def mirror_sources(target):
    """Copies what the fuzz tree builds, C++ files in code page 932; a copy is
    rewritten only when it changed, so that the build stays incremental."""
    files = [ROOT / "CMakeLists.txt"]
    for folder in SOURCE_FOLDERS:
        files += [path for path in (ROOT / folder).rglob("*") if path.is_file()
                  and "corpus" not in path.parts and "crashes" not in path.parts]
    for path in files:
        copy = target / path.relative_to(ROOT)
        data = path.read_bytes()
        if path.suffix in (".cpp", ".h"):
            data = subprocess.run(["iconv", "-f", "UTF-8", "-t", "CP932"], input=data, capture_output=True,
                                  check=True).stdout
        if not copy.exists() or copy.read_bytes() != data:
            copy.parent.mkdir(parents=True, exist_ok=True)
            copy.write_bytes(data)


def build(work):
    mirror_sources(work / "src")
    tree = work / "tree"
    subprocess.run(["cmake", "-S", str(work / "src"), "-B", str(tree), "-G", "Ninja", "-DTESSERA_FUZZ=ON",
                    "-DCMAKE_CXX_COMPILER=clang++", "-DCMAKE_BUILD_TYPE=RelWithDebInfo"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(tree), "-j2"], check=True, stdout=subprocess.DEVNULL)
    return sorted((tree / "tests" / "fuzz").glob("*Fuzzer"))


def last_number(pattern, text):
    found = re.findall(pattern, text)
    return int(found[-1]) if found else 0


def run_fuzzer(program, work, seconds, runs, max_len):
    """One fuzzer for the time or the number of runs given; its findings, executions
    and the edges it covered."""
    name = program.name
    corpus, crashes = FUZZ / "corpus" / name, FUZZ / "crashes" / name
    corpus.mkdir(parents=True, exist_ok=True)
    crashes.mkdir(parents=True, exist_ok=True)
    grown = work / "grown" / name
    shutil.rmtree(grown, ignore_errors=True)
    grown.mkdir(parents=True)
    before = set(crashes.iterdir())
    limits = [f"-runs={runs}"] if runs else [f"-max_total_time={seconds}"]
    started = time.monotonic()
    finished = subprocess.run([str(program), *limits, "-print_final_stats=1", f"-max_len={max_len}",
                               f"-artifact_prefix={crashes}/", "-rss_limit_mb=2048", str(grown), str(corpus)],
                              capture_output=True, text=True, errors="replace")
    elapsed = time.monotonic() - started
    (work / f"{name}.log").write_text(finished.stdout + finished.stderr)
    output = finished.stderr
    # Keep only what covers something new.
    subprocess.run([str(program), "-merge=1", str(corpus), str(grown)], capture_output=True)
    findings = sorted(set(crashes.iterdir()) - before)
    executions = last_number(r"stat::number_of_executed_units: (\d+)", output) or last_number(r"#(\d+)", output)
    return {"name": name, "executions": executions, "seconds": round(elapsed),
            "edges": last_number(r"cov: (\d+)", output), "features": last_number(r"ft: (\d+)", output),
            "corpus": len(list(corpus.iterdir())), "findings": [path.name for path in findings]}


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("seconds", nargs="?", type=int, default=60, help="time for each fuzzer (default 60)")
    parser.add_argument("--runs", type=int, help="a number of executions for each fuzzer instead of a time")
    parser.add_argument("--only", help="the fuzzers whose names contain this (several: comma between)")
    # Inputs past a kilobyte find little more here and cost much; the end-to-end
    # tests give the program its huge files.
    parser.add_argument("--max-len", type=int, default=1024, help="the longest input in bytes (default 1024)")
    parser.add_argument("--build", type=Path, default=ROOT / "build")
    args = parser.parse_args()

    work = args.build.resolve() / "fuzz"
    print("fuzz: building the fuzzers with clang", file=sys.stderr)
    wanted = args.only.split(",") if args.only else [""]
    programs = [p for p in build(work) if any(name in p.name for name in wanted)]
    rows = []
    for program in programs:
        limit = f"{args.runs:,} runs" if args.runs else f"{args.seconds} s"
        print(f"fuzz: {program.name} for {limit}", file=sys.stderr, flush=True)
        row = run_fuzzer(program, work, args.seconds, args.runs, args.max_len)
        rows.append(row)
        print(f"  {row['executions']:,} executions in {row['seconds']} s, {row['edges']} edges, "
              f"corpus {row['corpus']}, findings {len(row['findings'])}", flush=True)
        for finding in row["findings"]:
            print(f"    tests/fuzz/crashes/{row['name']}/{finding}")
    table = ["| fuzzer | executions | seconds | edges covered | features | corpus | findings |", "|---|---|---|---|---|---|---|"]
    table += [f"| {r['name']} | {r['executions']:,} | {r['seconds']} | {r['edges']} | {r['features']} | {r['corpus']} | "
              f"{len(r['findings'])} |" for r in rows]
    (args.build / "results").mkdir(parents=True, exist_ok=True)
    (args.build / "results" / "fuzz.md").write_text("\n".join(table) + "\n")
    print("\n".join(table))
    return 1 if any(r["findings"] for r in rows) else 0


if __name__ == "__main__":
    sys.exit(main())
