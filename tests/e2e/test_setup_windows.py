"""SETUP.EXE starts, reads its script and shows each of its window states."""

import time

import pytest

from conftest import (EXIT_ANOTHER_COPY, EXIT_CANCELLED, EXIT_FAILED, MAIN_IDS, Window,
                      make_distribution, temp_folder, wine_status, write_cp932)

BACKDROP_TITLE = "Tessera Setup Standard Version1.00(Build:0001)"

MAIN_SCRIPT = """\
[Title]
Setup=テスト製品
CopyRight1=Sample Vendor
CopyRight2=All rights reserved
[DefaultFolder]
Folder=(Prg)\\表
[ShortCut]
Make1=(App)\\TEST.EXE
Name1=(Dsk)\\テスト
Make2=(App)\\TEST.EXE
Name2=(C_Sta)\\テスト\\テスト
[TopMessage]
Message1=テスト製品をインストールします．
"""


def wait_until(condition, timeout=30, what="a condition"):
    deadline = time.monotonic() + timeout
    while not condition():
        assert time.monotonic() < deadline, f"timed out waiting for {what}"
        time.sleep(0.2)


def test_install_main_page(prefix, windriver, setup_program, screenshot):
    dist = make_distribution(prefix, MAIN_SCRIPT)
    setup_program(dist, wait_for="テスト製品")
    main = Window(windriver, "テスト製品")

    # 表 ends in the byte 0x5C, which is no separator: the folder still gets its backslash.
    assert main["txtFolder"]["text"] == "C:\\Program Files\\表\\"
    assert main["btnEvent"]["text"] == "インストール開始(&S)"
    assert main["btnEnd"]["text"] == "インストール終了(&E)"
    assert main["grpSetupFolder"]["text"] == "インストールフォルダ"
    assert main["grpOption"]["text"] == "インストールオプション"
    assert main["lblMessage"]["text"] == ("テスト製品をインストールします．\r\r\r\r\r\r"
                                          "※　処理を開始する前に，必ずすべてのプログラムを終了させてください．")
    assert main["grpMessage"]["visible"] and not main["fraReadme"]["visible"]
    # (Dsk) and (C_Sta) tick the desktop and Start menu boxes, enabled; the others stay off.
    for name, ticked in [("chkSCutDesktop", 1), ("chkSCutStartMenu", 1), ("chkSCutStartUp", 0),
                         ("chkSCutSendTo", 0)]:
        assert (main[name]["checked"], main[name]["enabled"]) == (ticked, bool(ticked)), name
    assert main["txtFolder"]["enabled"] and main["btnRefer"]["enabled"] and main["chkOverWrite"]["enabled"]

    windows = {w["class"]: w for w in windriver("list")}
    assert windows["TfrmBack"]["caption"] == BACKDROP_TITLE
    assert not windows["TfrmBack"]["enabled"]
    backdrop = {c["id"]: c["text"] for c in windriver("controls", BACKDROP_TITLE)}
    assert list(backdrop.values()) == ["テスト製品", "テスト製品", "Sample Vendor\r\nAll rights reserved",
                                       "Sample Vendor\r\nAll rights reserved"]
    screenshot("main-page")


def test_disabled_options_keep_their_ticks(prefix, windriver, setup_program):
    dist = make_distribution(prefix, MAIN_SCRIPT + "[Extend]\nEnabled=False\n")
    setup_program(dist, wait_for="テスト製品")
    main = Window(windriver, "テスト製品")
    for name in ("txtFolder", "btnRefer", "chkOverWrite", "chkSCutDesktop", "chkSCutStartMenu"):
        assert not main[name]["enabled"], name
    assert main["chkSCutDesktop"]["checked"] == 1 and main["chkSCutStartMenu"]["checked"] == 1


def test_readme_page_comes_first(prefix, windriver, setup_program, screenshot):
    script = MAIN_SCRIPT + "[Readme]\nFile=\\readme.txt\nTitle=お読みください\n"
    dist = make_distribution(prefix, script, {"readme.txt": "一行目\n二行目\n"})
    setup_program(dist, wait_for="テスト製品")
    main = Window(windriver, "テスト製品")
    assert main["fraReadme"]["visible"] and not main["grpMessage"]["visible"]
    assert main["fraReadme"]["text"] == "お読みください"
    assert main["txtReadme"]["text"] == "一行目\r\n二行目\r\n"
    assert main["btnEvent"]["text"] == "インストール続行(&C)"
    screenshot("readme")

    windriver("press", "テスト製品", f"#{MAIN_IDS['btnEvent']}")
    main.refresh()
    assert main["grpMessage"]["visible"] and not main["fraReadme"]["visible"]
    assert main["btnEvent"]["text"] == "インストール開始(&S)"


def test_fatal_state_without_a_script(prefix, windriver, setup_program, screenshot):
    dist = make_distribution(prefix, script=None)
    program = setup_program(dist, wait_for="Tessera Setup")
    main = Window(windriver, "Tessera Setup")
    assert main["lblMessage"]["text"] == "【致命的エラー  →  iniファイル読み込み失敗】\r\r\n処理は続行できません．"
    assert main["btnEvent"]["text"] == "処理開始(&S)" and not main["btnEvent"]["enabled"]
    assert main["btnEnd"]["text"] == "終了(&E)" and main["btnEnd"]["enabled"]
    screenshot("fatal")
    windriver("press", "Tessera Setup", "#%d" % MAIN_IDS["btnEnd"])
    assert program.wait(30) == wine_status(EXIT_FAILED)  # ends without asking


def test_setup_speed_that_is_no_number_is_a_fatal_error(prefix, windriver, setup_program):
    dist = make_distribution(prefix, MAIN_SCRIPT + "[Extend]\nSetupSpeed=fast\n")
    setup_program(dist, wait_for="Tessera Setup")
    main = Window(windriver, "Tessera Setup")
    assert "SetupSpeed=fast" in main["lblMessage"]["text"]
    assert main["btnEnd"]["text"] == "終了(&E)" and not main["btnEvent"]["enabled"]


UNINSTALL_LOG = """\
[Extend]
SetupString=インストール
UnSetupString=アンインストール
[Title]
Setup=テスト製品
[SetupFolder]
Folder=C:\\App\\
[UnSetupOption]
CheckBox={options}
"""


def start_uninstall(prefix, windriver, setup_program, options):
    log = prefix.drive_c / "App" / "UNSETUP.INI"
    write_cp932(log, UNINSTALL_LOG.format(options=options))
    dist = make_distribution(prefix, script=None, folder="windows_copy")
    setup_program(dist, "C:\\App\\UNSETUP.INI", wait_for="テスト製品")
    return Window(windriver, "テスト製品")


def test_uninstall_mode_delete_all(prefix, windriver, setup_program, screenshot):
    main = start_uninstall(prefix, windriver, setup_program, "DeleteAll")
    assert main["txtFolder"]["text"] == "C:\\App\\"
    assert main["btnEvent"]["text"] == "アンインストール開始(&S)"
    assert main["btnEnd"]["text"] == "アンインストール終了(&E)"
    assert main["fraShortCut"]["text"] == "ファイルの追加削除"
    assert not main["chkOverWrite"]["visible"]
    desktop = main["chkSCutDesktop"]
    assert desktop["text"] == "アンインストールフォルダ以下の全ファイル・フォルダ"
    assert (desktop["checked"], desktop["enabled"], desktop["width"]) == (1, True, 457 - 16)
    for name in ("chkSCutStartMenu", "chkSCutStartUp", "chkSCutSendTo"):
        assert not main[name]["visible"], name
    assert main["lblUnSetupInfo"]["visible"]
    screenshot("delete-all")


def test_uninstall_mode_option_ticks(prefix, windriver, setup_program, screenshot):
    main = start_uninstall(prefix, windriver, setup_program, "1,0,1,0")
    expected = {"chkSCutDesktop": ("*.INIファイル", 1, True), "chkSCutStartMenu": ("*.GIDファイル", 0, True),
                "chkSCutStartUp": ("", 1, False), "chkSCutSendTo": ("", 0, False)}
    for name, state in expected.items():
        assert (main[name]["text"], main[name]["checked"], main[name]["enabled"]) == state, name
    assert main["lblUnSetupInfo"]["text"].startswith("　アンインストールフォルダの中で，")
    screenshot("option-ticks")


def test_close_query_asks_and_no_keeps_the_window(prefix, windriver, setup_program):
    dist = make_distribution(prefix, MAIN_SCRIPT)
    program = setup_program(dist, wait_for="テスト製品")
    end = "#%d" % MAIN_IDS["btnEnd"]

    windriver("press", "テスト製品", end)
    [box] = windriver("msgbox", "終了確認", "--timeout", "20000")
    assert box["text"] == "インストール/アンインストールは終了していません．\r終了してもよろしいですか？"
    windriver("press", "終了確認", "いいえ(N)")
    windriver("waitgone", "終了確認")
    assert Window(windriver, "テスト製品")["btnEnd"]["enabled"]
    assert program.poll() is None

    windriver("press", "テスト製品", end)
    windriver("msgbox", "終了確認", "--timeout", "20000")
    windriver("press", "終了確認", "はい(Y)")
    assert program.wait(30) == wine_status(EXIT_CANCELLED)


def test_one_copy_at_a_time_and_work_folders(prefix, windriver, setup_program):
    temp = temp_folder(prefix)
    for n in (1, 2, 3):
        (temp / f"TSTMP{n}").mkdir()
        (temp / f"TSTMP{n}" / "left.txt").write_text("from an earlier run")
    dist = make_distribution(prefix, MAIN_SCRIPT)
    first = setup_program(dist, wait_for="テスト製品")
    assert (temp / "TSTMP4" / "SETUP.INI").is_file()
    assert (temp / "TSTMP4" / "SETUPT.EXE").is_file()

    second = setup_program(dist)
    assert second.wait(30) == wine_status(EXIT_ANOTHER_COPY)
    assert [w["class"] for w in windriver("list")].count("TfrmMain") == 1
    assert not (temp / "TSTMP5").exists()

    windriver("press", "テスト製品", "#%d" % MAIN_IDS["btnEnd"])
    windriver("press", "終了確認", "はい(Y)", "--timeout", "20000")
    assert first.wait(30) == wine_status(EXIT_CANCELLED)
    assert not any((temp / f"TSTMP{n}").exists() for n in (1, 2, 3, 4))


def test_browse_opens_the_folder_picker_and_cancel_changes_nothing(prefix, windriver, setup_program, screenshot):
    dist = make_distribution(prefix, MAIN_SCRIPT)
    setup_program(dist, wait_for="テスト製品")
    windriver("press", "テスト製品", "#%d" % MAIN_IDS["btnRefer"])

    def picker():
        return [w for w in windriver("list") if w["class"] == "#32770"]

    wait_until(lambda: picker(), what="the folder picker")
    [dialog] = picker()
    texts = [c["text"] for c in windriver("controls", dialog["caption"])]
    assert "セットアップフォルダを選択してください．" in texts
    screenshot("folder-picker")
    windriver("press", dialog["caption"], "#2")  # Cancel
    wait_until(lambda: not picker(), what="the picker to close")
    assert Window(windriver, "テスト製品")["txtFolder"]["text"] == "C:\\Program Files\\表\\"


def proposed_folder(prefix, windriver, setup_program, folder_value, folder):
    dist = make_distribution(prefix, f"[Title]\nSetup=版\n[DefaultFolder]\nFolder={folder_value}\n", folder=folder)
    program = setup_program(dist, wait_for="版")
    text = Window(windriver, "版")["txtFolder"]["text"]
    program.kill()
    program.wait(30)
    windriver("waitgone", "版")
    return text


@pytest.mark.parametrize("version", ["win98", "win10"])
def test_common_folders_follow_the_platform(prefix, windriver, setup_program, version, tmp_path):
    assert prefix.run(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"],
                      tmp_path / "reg.out", timeout=120) == 0
    common = proposed_folder(prefix, windriver, setup_program, "(C_Dsk)\\X", "a")
    own = proposed_folder(prefix, windriver, setup_program, "(Dsk)\\X", "b")
    assert own.endswith("\\Desktop\\X\\")
    if version == "win98":
        assert common == own  # the 9x family has no all-users folders
    else:
        assert common != own and common.endswith("\\Desktop\\X\\")
