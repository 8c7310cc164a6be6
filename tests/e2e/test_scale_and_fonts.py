"""The windows at 100 %, 150 % and 200 % (96, 144 and 192 DPI), under a
Japanese, an English and a Chinese system locale, with the Japanese fonts the
program asks for present, replaced and absent.

Every text fits its control: build/<arch>/tests/forms_tests.exe (with
SETUP.EXE's manifest) builds the windows in each of their states and measures
each control's text as the system draws it (see its header). The fonts are
"present" as the prefixes have them (the IPA fonts in their place),
"replaced" when the fixed-pitch IPA face, wider, takes the proportional one's
place, and "absent" with the replacements removed, so that the system has no
face of those names. Every measurement goes to
RESULTS/text-fits-<kind of Windows>-<locale>.txt.

SETUP.EXE's main window at 144 and 192 DPI: its controls where the layout
puts them at that DPI, and a screenshot of it."""

import pytest

import winenv
from conftest import ARCH, BUILD, RESULTS, Window, make_distribution

FORMS_TESTS = BUILD / "tests" / "forms_tests.exe"
DPIS = (96, 144, 192)
REPLACEMENTS = r"HKCU\Software\Wine\Fonts\Replacements"
JAPANESE_FACES = ("ＭＳ Ｐゴシック", "ＭＳ ゴシック", "ＭＳ Ｐ明朝", "ＭＳ 明朝")
# The main window's client area at 96 DPI.
MAIN_CLIENT = (489, 313)


def scaled(length, dpi):
    return (length * dpi + 48) // 96


def reg(prefix, tmp_path, *args):
    output = tmp_path / "reg.out"
    assert prefix.run(["reg", *args, "/f"], output, timeout=120) == 0, output.read_text(errors="replace")


def set_dpi(prefix, tmp_path, dpi):
    reg(prefix, tmp_path, "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi))


def set_fonts(prefix, tmp_path, fonts):
    if fonts == "replaced":
        reg(prefix, tmp_path, "add", REPLACEMENTS, "/v", "ＭＳ Ｐゴシック", "/t", "REG_SZ", "/d", "IPAGothic")
    elif fonts == "absent":
        for face in JAPANESE_FACES:
            reg(prefix, tmp_path, "delete", REPLACEMENTS, "/v", face)


def measure(prefix, tmp_path, dpi):
    set_dpi(prefix, tmp_path, dpi)
    output = tmp_path / f"forms-{dpi}.txt"
    code = prefix.run([FORMS_TESTS, "--gtest_filter=TextFits.*"], output, timeout=300)
    return code, [line.split("\t") for line in output.read_text(encoding="utf-8", errors="replace").splitlines()]


@pytest.mark.parametrize("prefix", [winenv.JAPANESE, "en_US.UTF-8", "zh_CN.UTF-8"], indirect=True)
def test_every_text_fits_its_control(prefix, tmp_path):
    report, cut = [], []
    for fonts in ("present", "replaced", "absent"):
        set_fonts(prefix, tmp_path, fonts)
        for dpi in DPIS:
            code, lines = measure(prefix, tmp_path, dpi)
            condition = f"{prefix.locale} {dpi} DPI, fonts {fonts}"
            measured = [line for line in lines if line[0] in ("fits", "CUT")]
            report.append(f"== {condition}: {len(measured)} texts, exit {code}")
            report += ["\t".join(line) for line in lines if line[0] in ("fits", "CUT", "font", "client")]
            cut += [f"{condition}: " + " ".join(line[1:]) for line in measured if line[0] == "CUT"]
            assert len(measured) > 60, f"{condition}: only {len(measured)} texts measured (exit {code})"
            # The layout is the program's at this DPI: as wide, and taller only
            # by the lines that a face larger than the layout's needs.
            client = next(line[2] for line in lines if line[:2] == ["client", "main-install"])
            width, height = map(int, client.split("x"))
            assert width == scaled(MAIN_CLIENT[0], dpi), f"{condition}: main window {client}"
            assert scaled(MAIN_CLIENT[1], dpi) <= height <= scaled(MAIN_CLIENT[1] + 48, dpi), f"{condition}: {client}"
            assert code == (1 if any(line[0] == "CUT" for line in measured) else 0), f"{condition}: exit {code}"
    locale = prefix.locale.split(".")[0]
    RESULTS.mkdir(parents=True, exist_ok=True)
    (RESULTS / f"text-fits-{ARCH}-{locale}.txt").write_text("\n".join(report) + "\n", encoding="utf-8")
    assert not cut, "texts cut off:\n" + "\n".join(cut)


# The install page's controls at 96 DPI: left and width in the main window's
# client area (tops move down where a face's lines are taller than the layout's).
MAIN_COLUMNS = {"grpMessage": (8, 473), "lblMessage": (16, 457), "grpSetupFolder": (8, 473), "txtFolder": (16, 401),
                "btnRefer": (424, 49), "grpOption": (8, 473), "chkOverWrite": (16, 457), "fraShortCut": (16, 457),
                "chkSCutDesktop": (24, 105), "chkSCutStartMenu": (136, 105), "chkSCutStartUp": (248, 105),
                "chkSCutSendTo": (360, 105), "btnEvent": (64, 161), "btnEnd": (264, 161)}
MAIN_SCRIPT = """\
[Title]
Setup=テスト製品
[DefaultFolder]
Folder=(Prg)\\テスト製品
[ShortCut]
Make1=(App)\\TEST.EXE
Name1=(Dsk)\\テスト
[TopMessage]
Message1=テスト製品をインストールします．
"""


@pytest.mark.parametrize("dpi", [144, 192])
def test_main_window_at_high_dpi(prefix, windriver, setup_program, screenshot, tmp_path, dpi):
    set_dpi(prefix, tmp_path, dpi)
    setup_program(make_distribution(prefix, MAIN_SCRIPT), wait_for="テスト製品")
    main = Window(windriver, "テスト製品")
    shot = screenshot(f"main-{dpi}dpi")
    for name, (left, width) in MAIN_COLUMNS.items():
        box = main[name]
        # Nested controls are placed within their frames: a pixel of rounding each.
        assert abs(box["left"] - scaled(left, dpi)) <= 1 and abs(box["width"] - scaled(width, dpi)) <= 1, (name, box)
    assert main["btnEvent"]["top"] >= scaled(280, dpi) and main["btnEvent"]["height"] == scaled(25, dpi)
    assert shot.stat().st_size > 0
