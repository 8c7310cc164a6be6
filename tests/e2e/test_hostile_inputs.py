"""Inputs made to break the program, end to end: a script, a log, compressed
sources, a read-me, the folder field and the command line. Each case must end
in a clear message or a skip, with the process ending by itself with 0 and its
peak of memory under the case's bound. What each case showed and its peak go to
RESULTS/hostile-inputs-<kind of Windows>.txt.

The peak is the Linux VmHWM (peak resident set) of the Windows process: Wine's
loader keeps the process id of the program it starts, so the test reads
/proc/<pid>/status every 50 ms while the program runs."""

import hashlib
import random
import threading
import time

import pytest

from conftest import (ARCH, EXIT_CANCELLED, EXIT_DONE, EXIT_FAILED, MAIN_IDS,
                      RESULTS, Window, make_distribution, wine_status)
from test_install_run import compressed

EVENT, END = "#%d" % MAIN_IDS["btnEvent"], "#%d" % MAIN_IDS["btnEnd"]
MB = 1_000_000
LINE = MB  # the length of a hostile line
CUT_LINE = "……（長すぎるため，ここから先は表示していません．）"
NINE_X_MEMO = 65_536  # the bytes a 9x edit control holds, its closing zero included
NT_MEMO = 4 << 20  # what the NT family's edit control is given at most
READABLE_LINE = 400  # a longer line of a report or a box keeps its start and end only
REPORT = RESULTS / f"hostile-inputs-{ARCH}.txt"

SCRIPT_HEAD = "[Title]\r\nSetup=版\r\n[Extend]\r\nSetupSpeed=1\r\n[DefaultFolder]\r\nFolder=C:\\App\r\n"
LOG_HEAD = ("[Extend]\r\nSetupString=インストール\r\nUnSetupString=アンインストール\r\n[Title]\r\nUnSetup=版\r\n"
            "[SetupFolder]\r\nFolder=C:\\App\\\r\n")


def cp932(text):
    return text.encode("cp932")


class PeakMemory:
    """The largest VmHWM seen of a running process, in MB."""

    def __init__(self, pid):
        self.pid = pid
        self.kilobytes = 0
        self.thread = threading.Thread(target=self._sample, daemon=True)
        self.thread.start()

    def _sample(self):
        while True:
            try:
                with open(f"/proc/{self.pid}/status") as status:
                    for line in status:
                        if line.startswith("VmHWM:"):
                            self.kilobytes = max(self.kilobytes, int(line.split()[1]))
            except (OSError, ValueError):
                return  # the process is gone
            time.sleep(0.05)

    @property
    def megabytes(self):
        return self.kilobytes / 1024


class Case:
    """One program run of a case: started, driven through windriver, ended."""

    def __init__(self, prefix, windriver, tmp_path):
        self.prefix, self.windriver, self.tmp_path = prefix, windriver, tmp_path
        self.process = self.memory = None
        (prefix.drive_c / "App").mkdir()

    def start(self, program, *args, cwd=None):
        self.process = self.prefix.start([program, *args], self.tmp_path / "program.out", cwd=cwd)
        self.memory = PeakMemory(self.process.pid)

    def install(self, script, files=None, *args):
        dist = make_distribution(self.prefix, None, dict(files or {}, **{"SETUP.INI": script}))
        self.start(dist / "SETUP.EXE", *args, cwd=dist)
        return dist

    def uninstall(self, log):
        """The uninstaller started as its registration starts it, on C:\\App\\UNSETUP.INI,
        with the Uninstall key that vouches for the log as the install writes it."""
        (self.prefix.drive_c / "App" / "UNSETUP.INI").write_bytes(log)
        key = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TesseraHostile"
        for name, data in (("UninstallString", 'C:\\windows\\UNTESSR.EXE "C:\\App\\UNSETUP.INI"'),
                           ("TesseraLogDigest", hashlib.sha256(log).hexdigest())):
            assert self.prefix.run(["reg", "add", key, "/v", name, "/d", data, "/f"], self.tmp_path / "reg.out",
                                   timeout=120) == 0
        dist = make_distribution(self.prefix, None, folder="windows_copy")
        self.start(dist / "SETUP.EXE", "C:\\App\\UNSETUP.INI", cwd=dist)

    def main(self, caption, state=None):
        """The main window once its start button reads `state` (any caption when None)."""
        try:
            self.windriver("wait", caption, "--timeout", "60000")
        except AssertionError as error:
            ended = self.process.poll()
            raise AssertionError(f"{error}; the program {'runs' if ended is None else f'ended with {ended}'}") from None
        deadline = time.monotonic() + 60
        while True:
            window = Window(self.windriver, caption)
            if window["btnEvent"]["text"] and state in (None, window["btnEvent"]["text"]):
                return window
            assert time.monotonic() < deadline, f"the main window never reached {state}"
            time.sleep(0.3)

    def box(self, caption, press="OK", timeout=120):
        [box] = self.windriver("msgbox", caption, "--timeout", str(timeout * 1000))
        self.windriver("press", caption, press)
        return box["text"]

    def failure_report(self, caption="版"):
        """Answers Yes to the failure question, reads the report, goes on."""
        question = self.box("警告", "はい(Y)")
        assert "一部の処理が失敗しました" in question
        report = self.main(caption, "続行(&C)")
        while not report["btnEvent"]["enabled"]:
            report.refresh()
        self.windriver("press", caption, EVENT)
        return report["txtReadme"]["text"]

    def close(self, caption, asks=True):
        """The end button, and Yes to the close question (none in the fatal-error state)."""
        self.windriver("press", caption, END)
        if asks:
            self.windriver("press", "終了確認", "はい(Y)", "--timeout", "30000")

    def ended(self):
        # Ended by itself, with one of its own codes (closed, stopped, or steps failed).
        assert self.process.wait(120) in {wine_status(code) for code in (EXIT_DONE, EXIT_CANCELLED, EXIT_FAILED)}
        self.memory.thread.join(5)
        return self.memory.megabytes


def longest_line(text):
    return max(len(line) for line in text.split("\r\n"))


def fits_nine_x_memo(text):
    return len(cp932(text)) < NINE_X_MEMO and text.endswith(CUT_LINE)


def use_windows(case, version):
    assert case.prefix.run(["reg", "add", r"HKCU\Software\Wine", "/v", "Version", "/d", version, "/f"],
                           case.tmp_path / "version.out", timeout=120) == 0


# ---------------------------------------------------------------- the cases
# Each takes a Case and returns what the program showed, in a few words.

def script_of_100_mb(case):
    filler = b"".join(b"K%07d=%s\r\n" % (n, b"x" * 89) for n in range(1_000_000))  # 100 bytes a line
    case.install(cp932(SCRIPT_HEAD) + b"[Filler]\r\n" + filler)
    main = case.main("版", "インストール開始(&S)")
    assert main["txtFolder"]["text"] == "C:\\App\\"
    case.close("版")
    return "main page as the script's head says (the [Filler] section read and left alone)"


def script_of_random_bytes(case):
    case.install(random.Random(13).randbytes(4 * MB))
    main = case.main("Tessera Setup", "インストール開始(&S)")
    assert main["lblMessage"]["text"].startswith("インストールを行います．\r")
    case.close("Tessera Setup")
    return "main page with every default (nothing in the bytes is a key the program reads)"


def script_of_a_million_entries(case):
    """Parse, the counting pass over a million existing sources, then the abort."""
    entries = b"".join(b"File%d=(App)\\F%d.DAT\r\n" % (n, n % 10) for n in range(1, 1_000_001))
    case.install(cp932(SCRIPT_HEAD) + b"[CopyFile]\r\n" + entries, {f"F{n}.DAT": b"0123456789" for n in range(10)})
    case.main("版", "インストール開始(&S)")
    started = time.monotonic()
    case.windriver("press", "版", EVENT)
    case.windriver("wait", "進行状況", "--timeout", "60000")
    # A million attribute requests: 5 s here with both cores busy (a directory
    # search per source took 143 s). The bound leaves room for a slower machine.
    while not any(c["text"] == "中断(&A)" and c["enabled"] for c in case.windriver("controls", "進行状況")):
        assert time.monotonic() - started < 120, "the abort button was never enabled"
        time.sleep(0.3)
    counted = time.monotonic() - started
    case.windriver("press", "進行状況", "中断(&A)")
    case.box("中断の確認", "はい(Y)")
    stopped = case.box("中断")
    assert stopped == "セットアップを中断しました．"
    assert not (case.prefix.drive_c / "App" / "UNSETUP.INI").exists()
    return f"counting pass done {counted:.0f} s after the start button; aborted: 「{stopped}」, no log"


def script_with_lines_of_1_mb(case):
    script = (cp932(SCRIPT_HEAD + "[ProgramID]\r\nID=") + b"i" * LINE
              + b"\r\n[TopMessage]\r\nMessage1=" + b"m" * LINE
              + b"\r\n[MakeFolder]\r\nFolder1=(App)\\" + b"d" * LINE
              + b"\r\n[CopyFile]\r\nFile1=(App)\\" + b"f" * LINE
              + b"\r\nFile2=(App)\\OK.TXT\r\nFile3=(App)\\OK.TXT|" + b"g" * LINE
              + b"\r\n[ShortCut]\r\nMake1=(App)\\OK.TXT\r\nName1=(Dsk)\\" + b"s" * LINE
              + b"\r\n[Registry]\r\nKey1=(Cuser)Software\\TesseraHostile\r\nName1=Long\r\nValue1=" + b"w" * LINE
              + b"\r\n[IniFile]\r\nData1=S,K," + b"v" * LINE + b",(App)\\X.INI\r\nData2=S,K,v," + b"n" * LINE
              + b"\r\n[DeleteRegistry]\r\nKey1=" + b"r" * LINE
              + b"\r\n[AddDeleteFile]\r\nFile1=(App)\\" + b"a" * LINE + b"\r\n")
    case.install(script, {"OK.TXT": b"ok"})
    main = case.main("版", "インストール開始(&S)")
    message = main["lblMessage"]["text"]
    assert message.startswith("m" * 100) and longest_line(message.replace("\r", "\r\n")) <= READABLE_LINE
    case.windriver("press", "版", EVENT)
    report = case.failure_report()
    for start in ("<Folder> C:\\App\\ddd", "<File> C:\\dist\\fff", "<File> C:\\App\\ggg"):
        assert start in report
    assert longest_line(report) <= READABLE_LINE
    done = case.box("完了")
    assert done.startswith("インストールが完了しました．")
    log = (case.prefix.drive_c / "App" / "UNSETUP.INI").read_bytes()
    assert b"File1=C:\\App\\OK.TXT\r\n" in log and b"ID=" + b"i" * LINE + b"\r\n" in log
    return (f"failure report with the paths of 1 MB shortened in the middle ({len(report):,} characters); "
            "then 「インストールが完了しました．」 and a log")


def script_with_nul_bytes(case):
    case.install(cp932("[Ti\0tle]\r\nSetup=偽\r\n[Title]\r\nSe\0tup=偽\r\nSetup=版\0の続き\r\n"
                       "[TopMessage]\r\nMess\0age2=偽\r\nMessage1=m1\0m1b\r\n"))
    main = case.main("版", "インストール開始(&S)")
    assert main["lblMessage"]["text"] == "m1\r\r\r\r\r\r※　処理を開始する前に，必ずすべてのプログラムを終了させてください．"
    case.close("版")
    return "main page: names and values end at their zero byte"


def log_of_100_mb(case):
    filler = b"".join(b"K%07d=%s\r\n" % (n, b"x" * 89) for n in range(1_000_000))
    (case.prefix.drive_c / "App" / "A.TXT").write_bytes(b"a")
    case.uninstall(cp932(LOG_HEAD + "[DeleteFile]\r\nFile1=C:\\App\\A.TXT\r\nFile2=C:\\App\\UNSETUP.INI\r\n[Filler]\r\n")
                   + filler)
    case.main("版", "アンインストール開始(&S)")
    case.windriver("press", "版", EVENT)
    done = case.box("完了")
    assert done == "アンインストールを完了しました．"
    assert not (case.prefix.drive_c / "App").exists()
    return f"uninstall main page, then 「{done}」; the install folder removed"


def log_of_random_bytes(case):
    case.uninstall(random.Random(17).randbytes(4 * MB))
    main = case.main("Tessera Setup", "アンインストール開始(&S)")
    assert main["txtFolder"]["text"] == "\\"
    case.windriver("press", "Tessera Setup", EVENT)
    fatal = case.box("致命的エラー")
    assert fatal == "アンインストールフォルダが不明です．\r\nアンインストールは続行できません．"
    return f"uninstall main page without a folder; start: 「{fatal.splitlines()[0]}」"


def log_of_a_million_files(case):
    """A million wildcard entries: each is refused on its own, without a file
    operation, so that the run goes through them all in a few seconds."""
    entries = b"".join(b"File%d=C:\\App\\F%d.*\r\n" % (n, n) for n in range(1, 1_000_001))
    case.uninstall(cp932(LOG_HEAD) + b"[DeleteFile]\r\n" + entries)
    case.main("版", "アンインストール開始(&S)")
    started = time.monotonic()
    case.windriver("press", "版", EVENT)
    report = case.failure_report()
    assert report.startswith("<File> C:\\App\\F1.*\r\nワイルドカードを含むため，削除しませんでした．\r\n")
    assert report.endswith("……（失敗が多すぎるため，ここから先は省略しました．）\r\n")
    assert case.box("完了") == "アンインストールを完了しました．"
    return (f"failure report cut at 1 MB with a line that says so ({len(report):,} characters), "
            f"completion {time.monotonic() - started:.0f} s after the start button")


def log_with_lines_of_1_mb(case):
    (case.prefix.drive_c / "App" / "A.TXT").write_bytes(b"a")
    case.uninstall(cp932(LOG_HEAD) + b"[DeleteFile]\r\nFile1=C:\\App\\" + b"f" * LINE
                   + b"\r\nFile2=C:\\App\\A.TXT\r\n[AddDeleteFile]\r\nFile1=C:\\App\\" + b"a" * LINE
                   + b"\r\n[DeleteShortCut]\r\nFile1=C:\\App\\" + b"s" * LINE
                   + b".lnk\r\n[DeleteFolder]\r\nFolder1=C:\\App\\" + b"d" * LINE
                   + b"\\\r\n[DeleteRegistry]\r\nKey1=(Cuser)Software\\" + b"r" * LINE
                   + b"\r\n[RestoreRelate]\r\nKey1=" + b"e" * LINE + b",x\r\nKey2=abc," + b"v" * LINE
                   + b"\r\n[ProgramID]\r\nID=" + b"i" * LINE
                   + b"\r\n[UnSetupRegistryKey]\r\nKey=SOFTWARE\\" + b"k" * LINE
                   + b"\r\n[UnSetupOption]\r\nCheckBox=" + b"1," * (LINE // 2) + b"\r\n")
    case.main("版", "アンインストール開始(&S)")
    case.windriver("press", "版", EVENT)
    report = case.failure_report()
    assert "<File> C:\\App\\fff" in report and longest_line(report) <= READABLE_LINE
    assert case.box("完了") == "アンインストールを完了しました．"
    assert not (case.prefix.drive_c / "App" / "A.TXT").exists()
    return (f"failure report with the paths of 1 MB shortened in the middle ({len(report):,} characters); "
            "then 「アンインストールを完了しました．」")


def log_with_nul_bytes(case):
    app = case.prefix.drive_c / "App"
    (app / "A.TXT").write_bytes(b"a")
    (app / "B.TXT").write_bytes(b"b")
    case.uninstall(cp932(LOG_HEAD) + b"[Delete\0File]\r\nFile1=C:\\App\\B.TXT\r\n[DeleteFile]\r\n"
                   b"Fi\0le1=C:\\App\\B.TXT\r\nFile1=C:\\App\\A.TXT\0,/S\r\n")
    case.main("版", "アンインストール開始(&S)")
    case.windriver("press", "版", EVENT)
    case.box("警告", "いいえ(N)")  # the folder keeps B.TXT
    assert case.box("完了") == "アンインストールを完了しました．"
    assert not (app / "A.TXT").exists() and (app / "B.TXT").exists()
    return "names and values end at their zero byte: A.TXT removed, B.TXT kept"


def compressed_sources(case):
    packed = compressed(case.tmp_path / "ANY.TX_", "圧縮された本文です．\r\n".encode("cp932") * 200, "T")
    liar = bytearray(packed)
    liar[10:14] = (0xFFFFFFF0).to_bytes(4, "little")  # claims nearly 4 GB
    plain = b"not compressed, yet its name ends in _\r\n"
    case.install(cp932(SCRIPT_HEAD + "[CopyFile]\r\nFile1=(App)\\CUT.TX_\r\nFile2=(App)\\LIAR.TX_\r\nFile3=(App)\\PLAIN.TX_\r\n"),
                 {"CUT.TX_": packed[:len(packed) // 2], "LIAR.TX_": bytes(liar), "PLAIN.TX_": plain})
    case.main("版", "インストール開始(&S)")
    case.windriver("press", "版", EVENT)
    report = case.failure_report()
    blocks = [block for block in report.split("\r\n\r\n") if block]
    assert [block.split("\r\n")[0] for block in blocks] == ["<File> C:\\App\\CUT.TXT", "<File> C:\\App\\LIAR.TXT"]
    reason = blocks[0].split("\r\n")[1]
    assert reason and blocks[1].split("\r\n")[1] == reason
    case.box("完了")
    app = case.prefix.drive_c / "App"
    assert (app / "PLAIN.TX_").read_bytes() == plain
    assert not (app / "CUT.TXT").exists() and not (app / "LIAR.TXT").exists()
    return f"cut short and lying header: failure report 「{reason}」; the plain file copied as it is"


def readme_of_50_mb(version):
    def run(case):
        use_windows(case, version)
        line = cp932("お読みください．" * 4 + "ABCDEFGHIJ" * 3 + "\r\n")
        text = b"L" * LINE + b"\r\n" + line * (49 * MB // len(line) + 1)  # one line of 1 MB first
        case.install(cp932("[Title]\r\nSetup=版\r\n[Readme]\r\nFile=README.TXT\r\n"), {"README.TXT": text})
        main = case.main("版", "インストール続行(&C)")
        loading = time.monotonic()
        while not main["fraReadme"]["visible"]:  # the caption comes before the text
            assert time.monotonic() - loading < 60, "the read-me page was never shown"
            main.refresh()
        # Until the edit has laid out its megabytes it may not answer windriver's
        # read in time: windriver says so and the read is made again.
        readme = main["txtReadme"]["text"]
        limit = NINE_X_MEMO if version == "win98" else NT_MEMO
        assert len(cp932(readme)) < limit and readme.endswith(CUT_LINE)
        assert readme.startswith("L" * 1024 + "\r\n" + "L" * 1024 + "\r\n")
        case.windriver("press", "版", EVENT)
        case.main("版", "インストール開始(&S)")  # the window still answers
        case.close("版")
        return f"read-me page cut to {len(cp932(readme)):,} bytes, ending 「{CUT_LINE}」"
    run.__name__ = f"readme_of_50_mb_{version}"
    return run


def failure_report_past_64_kb_on_9x(case):
    use_windows(case, "win98")
    entries = "".join(f"File{n}=(App)\\{n:03d}{'m' * 200}.DAT\r\n" for n in range(1, 401))
    case.install(cp932(SCRIPT_HEAD + "[CopyFile]\r\n" + entries))
    case.main("版", "インストール開始(&S)")
    case.windriver("press", "版", EVENT)
    report = case.failure_report()
    assert fits_nine_x_memo(report) and report.startswith("<File> C:\\dist\\001m")
    case.box("完了")
    return f"report of 400 missing sources cut to {len(cp932(report)):,} bytes, ending 「{CUT_LINE}」"


def folder_field_of_10000_characters(case):
    case.install(cp932(SCRIPT_HEAD))
    case.main("版", "インストール開始(&S)")
    case.windriver("settext", "版", "#%d" % MAIN_IDS["txtFolder"], "C:\\" + "x" * 9997)
    case.windriver("press", "版", EVENT)
    problem = case.box("インストールフォルダ")
    assert problem.startswith("フォルダ名が長すぎます．")
    assert case.main("版")["btnEvent"]["enabled"]  # the user can correct it
    case.close("版")
    return f"「{problem}」, the window stays"


def argument_of_32000_characters(case):
    case.install(cp932(SCRIPT_HEAD), {}, "x" * 32_000)
    case.main("版", "インストール開始(&S)")
    case.close("版")
    return "install main page"


def log_argument_of_32000_characters(case):
    dist = make_distribution(case.prefix, None)
    case.start(dist / "SETUP.EXE", "C:\\" + "y" * 31_985 + "\\UNSETUP.INI", cwd=dist)
    main = case.main("Tessera Setup", "処理開始(&S)")
    message = main["lblMessage"]["text"]
    assert message == "【致命的エラー  →  iniファイル読み込み失敗】\r\r\n処理は続行できません．"
    case.close("Tessera Setup", asks=False)
    return f"fatal-error state: 「{message.splitlines()[0]}」"


# (what the input is, the case, the bound of the peak in MB, whether one pass is enough)
CASES = [
    ("SETUP.INI of 100 MB", script_of_100_mb, 400, True),
    ("SETUP.INI of 4 MB of random bytes", script_of_random_bytes, 150, False),
    ("SETUP.INI with 1,000,000 [CopyFile] entries", script_of_a_million_entries, 300, True),
    ("SETUP.INI with lines of 1 MB", script_with_lines_of_1_mb, 150, False),
    ("SETUP.INI with NUL bytes in names and values", script_with_nul_bytes, 100, False),
    ("UNSETUP.INI of 100 MB", log_of_100_mb, 400, True),
    ("UNSETUP.INI of 4 MB of random bytes", log_of_random_bytes, 150, False),
    ("UNSETUP.INI with 1,000,000 [DeleteFile] entries (wildcards)", log_of_a_million_files, 300, True),
    ("UNSETUP.INI with lines of 1 MB", log_with_lines_of_1_mb, 150, False),
    ("UNSETUP.INI with NUL bytes in names and values", log_with_nul_bytes, 100, False),
    ("compressed sources: cut short, lying header, not compressed", compressed_sources, 100, False),
    ("read-me of 50 MB, NT family", readme_of_50_mb("win10"), 150, False),
    ("read-me of 50 MB, 9x family", readme_of_50_mb("win98"), 100, False),
    ("failure report past 64 KB, 9x family", failure_report_past_64_kb_on_9x, 100, False),
    ("folder field of 10,000 characters", folder_field_of_10000_characters, 100, False),
    ("command-line argument of 32,000 characters", argument_of_32000_characters, 100, False),
    ("log path argument of 32,000 characters", log_argument_of_32000_characters, 100, False),
]


@pytest.fixture(scope="module")
def table():
    RESULTS.mkdir(parents=True, exist_ok=True)
    with open(REPORT, "w", encoding="utf-8") as out:
        out.write(f"Hostile inputs, {ARCH}: input | what the program showed | peak (VmHWM) | seconds\n")
    return REPORT


@pytest.mark.parametrize("name, drive, peak_limit", [
    pytest.param(name, drive, limit, id=drive.__name__, marks=[pytest.mark.single_pass] if one_pass else [])
    for name, drive, limit, one_pass in CASES])
def test_hostile_input(name, drive, peak_limit, prefix, windriver, tmp_path, table):
    case = Case(prefix, windriver, tmp_path)
    started = time.monotonic()
    shown = drive(case)
    peak = case.ended()
    with open(table, "a", encoding="utf-8") as out:
        out.write(f"{name} | {shown} | {peak:.0f} MB | {time.monotonic() - started:.0f} s\n")
    assert peak < peak_limit, f"peak of {peak:.0f} MB"
