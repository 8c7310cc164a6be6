"""The progress window during a copy: whatever it holds back to keep pace with
quick copies, the screen shows the percentage label whenever someone looks,
both between quick small files and through the script's longer step delays.

A look reads the window's controls, and a read waits while the program sleeps
out a step delay: the copies are many times longer than the looks need, and
the run is ended by the abort once they are taken, not waited out."""

import subprocess
import time

import pytest

from conftest import EXIT_CANCELLED, abort_the_copy, make_distribution, wine_status

PROGRESS = "進行状況"
STATUS_FRAME, STATUS_LABEL = 102, 104  # the progress window's control ids
LOOKS = 3  # screenshots taken well inside the copy


def distribution(prefix, files, speed):
    entries = "".join(f"File{n}=(App)\\F{n}.DAT\n" for n in range(1, files + 1))
    script = (f"[Title]\nSetup=Paint\n[Extend]\nSetupSpeed={speed}\n[DefaultFolder]\nFolder=C:\\PAINT\n"
              f"[CopyFile]\n{entries}")
    return make_distribution(prefix, script, {f"F{n}.DAT": bytes(100) for n in range(1, files + 1)})


def copy_state(windriver):
    """(frame shown, files done, files in all) as the window's controls hold them."""
    controls = {c["id"]: c for c in windriver("controls", PROGRESS)}
    label = controls[STATUS_LABEL]["text"]  # "40%(4/10)"
    done, total = label[label.index("(") + 1:-1].split("/") if "(" in label else (0, 0)
    return controls[STATUS_FRAME]["visible"], int(done), int(total), controls[STATUS_LABEL]


def dark_pixels(shot, window, label):
    """Dark pixels in the label's column of the progress window, from the label's
    top down past its bottom by more than the window's caption and border: the
    label's text is the only black there (the bar and the frames are not)."""
    left, top = window["left"] + label["left"], window["top"] + label["top"]
    crop = f"{label['width'] + 12}x{label['height'] + 40}+{left}+{top}"
    result = subprocess.run(["convert", str(shot), "-crop", crop, "+repage", "-colorspace", "gray",
                             "-threshold", "25%", "-negate", "-format", "%[fx:mean*w*h]", "info:"],
                            capture_output=True, text=True, check=True)
    return float(result.stdout)


@pytest.mark.parametrize("files, speed", [(8000, 1), (600, 200)], ids=["quick-files", "step-delays"])
def test_the_percentage_is_on_the_screen_during_the_copy(prefix, windriver, setup_program, screenshot, files,
                                                          speed):
    (prefix.drive_c / "PAINT").mkdir()  # no question about creating it
    program = setup_program(distribution(prefix, files, speed), wait_for="Paint")
    windriver("press", "Paint", "#115")
    [window] = windriver("wait", PROGRESS, "--timeout", "60000")
    seen, began, deadline = [], False, time.monotonic() + 300
    while len(seen) < LOOKS:
        assert time.monotonic() < deadline and program.poll() is None, seen
        shown, done, total, _ = copy_state(windriver)
        assert not (began and (not shown or done >= total)), f"the copy ended after {len(seen)} looks"
        began = began or shown
        if not shown or done < total // 10:
            continue
        shot = screenshot(f"copy-{len(seen)}")
        after_shown, after_done, _, label = copy_state(windriver)
        if not after_shown or after_done >= total:
            continue  # the copy may have ended under the screenshot
        seen.append((label["text"], dark_pixels(shot, window, label)))
    abort_the_copy(windriver)
    assert program.wait(120) == wine_status(EXIT_CANCELLED)
    # "40%(4/10)" at the label's font is a few hundred dark pixels; none is a blank label.
    assert all(pixels > 40 for _, pixels in seen), seen
