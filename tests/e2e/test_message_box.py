"""windriver reads and answers a real message box shown by the program's MsgBox."""

import pytest

from conftest import BUILD


@pytest.mark.parametrize("button, pressed", [("いいえ(N)", 7), ("はい(Y)", 6)], ids=["no", "yes"])
def test_windriver_answers_a_japanese_message_box(prefix, windriver, screenshot, tmp_path, button, pressed):
    program = prefix.start([BUILD / "tests" / "showbox.exe"], tmp_path / "showbox.out")
    try:
        [box] = windriver("msgbox", "Tessera Setup 確認", "--timeout", "30000")
        assert box["text"] == "セットアップを開始します．\rよろしいですか？"
        assert [b.replace("&", "") for b in box["buttons"]] == ["はい(Y)", "いいえ(N)"]
        shot = screenshot("box")
        assert shot.stat().st_size > 0

        windriver("press", "Tessera Setup 確認", button)
        assert program.wait(60) == pressed
    finally:
        if program.poll() is None:
            program.kill()
