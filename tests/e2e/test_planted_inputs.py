"""What a user without rights can prepare for SETUP.EXE, which runs as an
administrator or as the System account: DLLs beside it in a download folder,
and folders, files and links in the temporary folder, where every user may
make folders (the Windows folder's Temp, for the System account)."""

import shutil
import time

from conftest import BUILD, MAIN_IDS, make_distribution, temp_folder, write_cp932
from test_install_run import FOLDER, PROGRAM_FILES, START, compressed, install_folder

# The DLLs SETUP.EXE imported that are no KnownDLLs. version.dll is one too, but
# Wine's own user32 imports it, so the import table's test holds that one; Wine's
# user32 also loads uxtheme.dll as the process starts, before any code of ours.
PLANTED = ("lz32", "winmm", "comctl32")
SCRIPT = """\
[Title]
Setup=テスト製品
[Extend]
SetupSpeed=1
[CopyFile]
File1=(App)\\HELP.TX_
"""
HELP = "ヘルプの本文です．\r\n".encode("cp932") * 20


def loaded(dist):
    return sorted(marker.name for marker in dist.glob("*.loaded"))


def test_dlls_planted_beside_the_program_are_never_loaded(prefix, windriver, setup_program, tmp_path):
    dist = make_distribution(prefix, SCRIPT, {"HELP.TX_": compressed(tmp_path / "HELP.TX_", HELP, "T")})
    for name in PLANTED:
        shutil.copyfile(BUILD / "tests" / "planted" / f"{name}.dll", dist / f"{name}.dll")
    # Wine, like Windows for a DLL that is no KnownDLL, then takes these from the program's folder.
    overrides = f"{prefix.env['WINEDLLOVERRIDES']};{','.join(PLANTED)}=n,b"
    program = setup_program(dist, wait_for="テスト製品", extra_env={"WINEDLLOVERRIDES": overrides})
    assert loaded(dist) == [], "loaded as the program started"

    # The install loads the LZ functions and the timer's at run time.
    windriver("settext", "テスト製品", "#%d" % MAIN_IDS["txtFolder"], PROGRAM_FILES + FOLDER)
    windriver("press", "テスト製品", START)
    windriver("msgbox", "フォルダ作成", "--timeout", "30000")
    windriver("press", "フォルダ作成", "はい(Y)")
    windriver("msgbox", "完了", "--timeout", "60000")
    windriver("press", "完了", "OK")
    assert program.wait(60) == 0
    assert loaded(dist) == [], "loaded during the install"
    assert (install_folder(prefix) / "HELP.TXT").read_bytes() == HELP  # expanded by the system's own lz32


def holding(prefix, tmp_path, *paths):
    """Another program that holds the files open against writing and deleting."""
    output = tmp_path / "holdfiles.out"
    holder = prefix.start([BUILD / "tests" / "holdfiles.exe", *[f"C:\\{p.relative_to(prefix.drive_c)}".replace("/", "\\")
                                                      for p in paths]], output)
    deadline = time.monotonic() + 60
    while "held" not in (output.read_text(errors="replace") if output.exists() else ""):
        assert holder.poll() is None, output.read_text(errors="replace")
        assert time.monotonic() < deadline, "the files were not held"
        time.sleep(0.2)
    return holder


def test_work_folder_is_the_runs_own_and_its_clean_up_follows_no_link(prefix, windriver, setup_program, tmp_path):
    temp = temp_folder(prefix)
    numbered = {f"TSTMP{n}" for n in range(1, 100)}
    for name in numbered:
        (temp / name).mkdir()
    # Someone else's script and program in the last one, held open so that no copy replaces them.
    other = temp / "TSTMP99"
    write_cp932(other / "SETUP.INI", "[Title]\nSetup=他人の製品\n")
    (other / "SETUPT.EXE").write_bytes(b"MZ someone else's program")
    # Links to a user's folders, as a leftover work folder and inside one.
    victims = [prefix.drive_c / "victim1", prefix.drive_c / "victim2"]
    for victim in victims:
        victim.mkdir()
        (victim / "keep.txt").write_text("the user's")
    (temp / "TSTMP50").rmdir()
    (temp / "TSTMP50").symlink_to(victims[0])
    (temp / "TSTMP60" / "sub").symlink_to(victims[1])
    holder = holding(prefix, tmp_path, other / "SETUP.INI", other / "SETUPT.EXE")
    try:
        dist = make_distribution(prefix, SCRIPT)
        program = setup_program(dist, wait_for="テスト製品")
        [work] = [folder for folder in temp.iterdir() if folder.name.startswith("TSTMP") and folder.name not in numbered]
        assert (work / "SETUP.INI").read_bytes() == (dist / "SETUP.INI").read_bytes()
        assert (work / "SETUPT.EXE").read_bytes() == (dist / "SETUP.EXE").read_bytes()

        windriver("press", "テスト製品", "#%d" % MAIN_IDS["btnEnd"])
        windriver("press", "終了確認", "はい(Y)", "--timeout", "20000")
        assert program.wait(30) == 0
        assert not work.exists()
        assert (other / "SETUPT.EXE").read_bytes() == b"MZ someone else's program"
    finally:
        holder.kill()
        holder.wait(30)
    for victim in victims:
        assert (victim / "keep.txt").read_text() == "the user's", victim
    # The leftover folders without links are gone.
    assert not [name for name in numbered - {"TSTMP50", "TSTMP60", "TSTMP99"} if (temp / name).exists()]
