"""The script checker as a Windows console program: written to a file, its
lines for people are code page 932 and its JSON is UTF-8; a path on its
command line is code page 932 and is quoted as the characters it names."""

import json

from conftest import BUILD, write_cp932

CHECKER = BUILD / "checker.exe"


def test_lines_in_code_page_932_and_json_in_utf8(prefix, tmp_path):
    write_cp932(prefix.drive_c / "製品" / "SETUP.INI", "[表示]\nX=1\n[Extend]\nSetupSpeed=速い\n")
    script = "C:\\製品\\SETUP.INI"
    text, as_json = tmp_path / "text.out", tmp_path / "json.out"

    assert prefix.run([CHECKER, script], text, timeout=120) == 1
    assert text.read_bytes().decode("cp932").splitlines() == [
        f"{script}:1: warning: [表示]: unknown section: never read",
        f"{script}:4: error: [Extend] SetupSpeed: '速い' is not an integer: the program stops with a fatal error "
        "at start",
    ]

    assert prefix.run([CHECKER, "--json", script], as_json, timeout=120) == 1
    findings = json.loads(as_json.read_bytes().decode("utf-8"))
    assert [(f["file"], f["line"], f["section"]) for f in findings] == [(script, 1, "表示"), (script, 4, "Extend")]
    assert findings[1]["message"].startswith("'速い' is not an integer")
