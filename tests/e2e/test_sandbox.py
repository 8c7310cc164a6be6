"""The sandbox as a vendor runs it: the sample's report against the one we
expect, and a distribution whose program leaves a file that no log knows."""

import json
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

from conftest import BUILD, ROOT, write_cp932

sys.path.insert(0, str(ROOT / "tools" / "sandbox"))

import demo  # noqa: E402

SANDBOX = ROOT / "tools" / "sandbox" / "sandbox.py"
EXPECTED = Path(__file__).with_name("sandbox-sample.expected.txt")
BUILD_ROOT = BUILD.parent  # the sandbox picks the build of the Windows it makes

pytestmark = pytest.mark.single_pass  # the sandbox makes its own Windows, of the kind the host runs


def run_sandbox(dist, out, *args, env=None):
    completed = subprocess.run([sys.executable, str(SANDBOX), str(dist), "--out", str(out), "--build", str(BUILD_ROOT),
                                *args], capture_output=True, timeout=900, env=dict(os.environ, **(env or {})))
    return completed.returncode, completed.stdout.decode("utf-8"), completed.stderr.decode("utf-8")


def comparable(report):
    """The report without what differs from host to host: the pass and paths of this
    run, file sizes (each build has its own), the user's name, Wine's own changes, and
    the progress windows (when the watcher first sees one, before or after the question
    that comes up at once, is a matter of timing), so also the windows' numbers, the
    log's digest, and the installed size in the Uninstall key (each build's files)."""
    lines, skipping, progress = [], False, 0
    for line in report.splitlines()[1:]:
        if line.startswith(("Distribution:", "Windows:", "Screenshots:")) or line.startswith("  (left out:"):
            continue
        if line.startswith("  Wine's own"):
            skipping = True
        elif line.startswith("  Leaks"):
            skipping = False
        if line.endswith(" TfrmStatus"):
            progress = 2  # its text and its answer
            continue
        if progress and line.startswith("      "):
            progress -= 1
            continue
        progress = 0
        if not skipping:
            line = re.sub(r"^ +\d+\. ", "   N. ", line)
            line = re.sub(r"\[\d+-", "[NN-", line)
            lines.append(re.sub(r" \([\d,]+ bytes(, was [\d,]+ bytes)?\)", "", line))
    text = re.sub(r"\\users\\[^\\]+\\", r"\\users\\<user>\\", "\n".join(lines)) + "\n"
    text = re.sub(r"EstimatedSize = 0x[0-9a-f]+ ", "EstimatedSize = <KB> ", text)
    # The log's digest follows from its paths, the user's name among them.
    return re.sub(r"TesseraLogDigest = [0-9a-f]{64} ", "TesseraLogDigest = <digest> ", text)


def test_the_sample_installs_and_uninstalls_as_expected(tmp_path):
    dist = demo.assemble(BUILD_ROOT, tmp_path / "dist")
    code, report, progress = run_sandbox(dist, tmp_path / "report", "--answers", str(demo.ANSWERS))
    assert code == 0, progress + report
    assert comparable(report) == EXPECTED.read_text(encoding="utf-8")
    # Every window of the product, photographed: the two pages of the main window, the progress
    # window, the boxes, the shared-file question.
    shots = sorted(re.sub(r"^\d+-", "", path.name) for path in (tmp_path / "report").glob("*.png"))
    assert shots == sorted([
        "install-TfrmMain.png", "install-TfrmMain.png", "install-TfrmStatus.png", "install-message.png",
        "install-message.png", "install-message.png", "install-message.png", "uninstall-TfrmMain.png",
        "uninstall-TfrmCustomDlg.png", "uninstall-TfrmStatus.png", "uninstall-message.png"])
    assert report.count(" TfrmStatus\n") == 2  # the progress window of each run
    assert "sandbox: install: 「フォルダ作成」 → はい(Y) (rule sample-answers.txt:" in progress


LEAKING_SCRIPT = """\
[Title]
Setup=漏れる製品
UnSetupKey=TesseraLeak
[Extend]
SetupSpeed=1
[DefaultFolder]
Folder=(Prg)\\Leak\\
[CopyFile]
File1=(App)\\APP.TXT
[ExecuteFile]
File=(Sys)\\cmd.exe,/c echo made by the program> C:\\LEAK.TXT
"""


def test_a_file_that_no_log_knows_fails_the_run_and_is_named(tmp_path):
    dist = tmp_path / "dist"
    write_cp932(dist / "SETUP.INI", LEAKING_SCRIPT)
    (dist / "APP.TXT").write_bytes(b"app\r\n")
    (dist / "SETUP.EXE").write_bytes((BUILD_ROOT / "win32" / "SETUP.EXE").read_bytes())
    # The 64-bit pass and the 9x version, whatever the host can do: what every host can run.
    code, output, progress = run_sandbox(dist, tmp_path / "report", "--json", "--windows", "98",
                                         env={"TESSERA_NO_32BIT": "1"})
    assert code == 1, progress
    report = json.loads(output)
    assert report["install"]["completed"] and report["uninstall"]["ran"]
    left = {item["name"]: item["klass"] for item in report["left"]}
    assert [name for name, klass in left.items() if klass == "leak"] == ["C:\\LEAK.TXT"]
    assert left["C:\\windows\\UNTESSR.EXE"] == "kept"
    assert report["leaks"] == 1 and not report["ok"]
    assert report["pass"].startswith("Sandbox pass on the x86_64 build of the same sources")
    assert "NT layout" in report["notes"][0]
    # No answers file: every window got the usual answer, and the report says which.
    assert report["dialogs_without_rule"] == len([d for d in report["dialogs"] if d["actions"]]) > 0
    text = (tmp_path / "report" / "report.txt").read_text(encoding="utf-8")
    assert "FAILED: the uninstall left 1 thing(s) behind" in text and "+ C:\\LEAK.TXT" in text
