"""SETUP.EXE's own exit code, read whole as a deployment system reads it
(GetExitCodeProcess through `windriver run`): done, ended by the user, a fatal
stop or failed steps, another copy running, a restart asked for and declined."""

import pytest

from conftest import (EXIT_ANOTHER_COPY, EXIT_CANCELLED, EXIT_DONE, EXIT_FAILED, EXIT_RESTART_NEEDED, MAIN_IDS, answer,
                      make_distribution, start_for_exit_code, whole_exit_code)

TITLE = "終了コード"
EVENT = "#%d" % MAIN_IDS["btnEvent"]
END = "#%d" % MAIN_IDS["btnEnd"]


def script(copy="File1=(App)\\ONE.TXT", execute=""):
    return f"""\
[Title]
Setup={TITLE}
UnSetupKey=ExitCodeTest
[Extend]
SetupSpeed=1
[DefaultFolder]
Folder=C:\\ExitCode\\
[CopyFile]
{copy}
[ExecuteFile]
File={execute}
"""


def start(prefix, tmp_path, dist, name):
    return start_for_exit_code(prefix, tmp_path, f"C:\\{dist.name}\\SETUP.EXE", name)


def install_to_the_end(windriver):
    windriver("press", TITLE, EVENT)
    answer(windriver, "フォルダ作成", "はい(Y)")


def completed(windriver):
    install_to_the_end(windriver)
    answer(windriver, "完了", "OK")


def closed_before_the_run(windriver):
    windriver("press", TITLE, END)
    answer(windriver, "終了確認", "はい(Y)")


def folder_declined(windriver):
    windriver("press", TITLE, EVENT)
    answer(windriver, "フォルダ作成", "いいえ(N)")
    answer(windriver, "インストール中止", "OK")


def steps_failed(windriver):
    install_to_the_end(windriver)
    answer(windriver, "警告", "いいえ(N)")  # the report of the missing source, not shown
    answer(windriver, "完了", "OK")


def restart_declined(windriver):
    install_to_the_end(windriver)
    # Wine's restart offer, whose answer is 0 whatever is pressed: the program
    # shows no warning after it, and takes the restart as not started.
    answer(windriver, "再起動", "いいえ(N)")


def fatal_state(windriver):
    windriver("wait", "Tessera Setup", "--timeout", "30000")
    windriver("press", "Tessera Setup", END)


# (the script, or None for none; the files; how the run goes; the code)
CASES = {
    "done": (script(), {"ONE.TXT": "1"}, completed, EXIT_DONE),
    "closed before the run": (script(), {}, closed_before_the_run, EXIT_CANCELLED),
    "the folder declined": (script(), {}, folder_declined, EXIT_CANCELLED),
    "a source missing": (script(copy="File1=(App)\\ONE.TXT\nFile2=(App)\\MISSING.TXT"), {"ONE.TXT": "1"},
                         steps_failed, EXIT_FAILED),
    "no script": (None, {}, fatal_state, EXIT_FAILED),
    "a restart declined": (script(execute="WINDOWS_REBOOT"), {"ONE.TXT": "1"}, restart_declined, EXIT_RESTART_NEEDED),
}


@pytest.mark.parametrize("case", list(CASES))
def test_exit_code(case, prefix, windriver, tmp_path):
    text, files, run, code = CASES[case]
    dist = make_distribution(prefix, text, files)
    program = start(prefix, tmp_path, dist, "setup")
    if text is not None:
        windriver("wait", TITLE, "--timeout", "30000")
    run(windriver)
    assert whole_exit_code(program) == code


def test_a_second_copy_ends_with_1618(prefix, windriver, tmp_path):
    dist = make_distribution(prefix, script(), {})
    first = start(prefix, tmp_path, dist, "first")
    windriver("wait", TITLE, "--timeout", "30000")
    assert whole_exit_code(start(prefix, tmp_path, dist, "second")) == EXIT_ANOTHER_COPY
    closed_before_the_run(windriver)
    assert whole_exit_code(first) == EXIT_CANCELLED
