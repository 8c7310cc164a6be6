"""Answers to the windows of a run: rules read from an answers file, and the
choice of what to do in a window that windriver has read.

An answers file holds one block per rule, tried in order; the first rule whose
caption and text match a window, and whose boxes and button the window has,
answers it:

    # The missing file on the medium: go on without it.
    [answer]
    caption = 警告
    text = *MISSING.DAT*
    press = いいえ

caption and text are patterns (* and ?, case ignored; text is the window's
message), and so is class, the window's class, when given. press names a
button as shown, with or without its access key ("いいえ", "いいえ(N)" and
"いいえ(&N)" are one button), or by its control id (#115); without press the
window's default button is pressed. type puts a text into the window's first
edit box; tick and untick (one box each, as often as needed) set check boxes
by their captions. A window that no rule matches gets its default button.
"""

import fnmatch
import re
from dataclasses import dataclass, field

KEYS = ("caption", "class", "text", "press", "type", "tick", "untick")
REPEATABLE = ("tick", "untick")
PUSH_KINDS = ("push", "default")


class AnswersError(ValueError):
    pass


@dataclass
class Rule:
    origin: str            # file:line of the block
    caption: str
    window_class: str | None = None
    text: str | None = None
    press: str | None = None
    type: str | None = None
    tick: list = field(default_factory=list)
    untick: list = field(default_factory=list)


@dataclass(frozen=True)
class Action:
    verb: str        # "settext", "check" or "press"
    control: int     # the control's id
    value: str = ""  # the text, or "0"/"1" for a check box


@dataclass
class Answer:
    actions: list
    rule: Rule | None
    button: str      # the button pressed, as shown
    near_miss: str = ""  # a rule whose caption and text fitted, and why it did not answer


def parse_answers(text, origin="answers"):
    rules = []
    current = None
    for number, raw in enumerate(text.splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith(("#", ";")):
            continue
        if line.lower() == "[answer]":
            current = Rule(f"{origin}:{number}", "")
            rules.append(current)
            continue
        key, equals, value = line.partition("=")
        key, value = key.strip().lower(), value.strip()
        if not equals or key not in KEYS:
            raise AnswersError(f"{origin}:{number}: expected one of {', '.join(KEYS)} = ..., found {raw.strip()!r}")
        if current is None:
            raise AnswersError(f"{origin}:{number}: {key} outside an [answer] block")
        field_name = "window_class" if key == "class" else key
        if key in REPEATABLE:
            getattr(current, field_name).append(value)
        elif getattr(current, field_name):
            raise AnswersError(f"{origin}:{number}: {key} given twice in the block of {current.origin}")
        else:
            setattr(current, field_name, value)
    for rule in rules:
        if not rule.caption:
            raise AnswersError(f"{rule.origin}: the block names no caption")
    return rules


# ---------------------------------------------------------------- windows

def shown_caption(text):
    """A control's caption as shown: "はい(&Y)" is "はい(Y)", "&&" one ampersand."""
    return re.sub(r"&(.)", r"\1", text)


def names_button(wanted, caption):
    """True when `wanted` names the control captioned `caption`, with or without its access key."""
    wanted, shown = shown_caption(wanted).casefold(), shown_caption(caption).casefold()
    return wanted == shown or re.sub(r"\(.\)$", "", shown) == wanted


def matches(pattern, text):
    return fnmatch.fnmatchcase(text.casefold(), pattern.casefold())


def usable(control):
    return control.get("visible") and control.get("enabled")


def push_buttons(window):
    return [c for c in window["controls"] if c.get("button") in PUSH_KINDS and usable(c)]


def fully_read(window):
    """True when every control answered windriver's read: the text of one that did
    not (flagged "answered": false) is the caption the system keeps, which may not
    be what the control shows, so the window is read again rather than answered."""
    return not window.get("busy") and all(c.get("answered", True) for c in window["controls"])


def window_text(window):
    """What the window says: its labels (a message box's text) in order."""
    texts = [c["text"] for c in window["controls"] if c["class"].lower() == "static" and c.get("visible") and c["text"]]
    return "\n".join(texts).replace("\r\n", "\n").replace("\r", "\n")


def default_button(window):
    buttons = push_buttons(window)
    preferred = [b for b in buttons if b.get("button") == "default"]
    return (preferred or buttons or [None])[0]


def _find(window, kinds, name):
    """A usable button of those kinds named by its caption, or by its control id as "#115"."""
    by_id = re.fullmatch(r"#(\d+)", name)
    for control in window["controls"]:
        if control.get("button") not in kinds or not usable(control):
            continue
        named = control["id"] == int(by_id.group(1)) if by_id else names_button(name, control["text"])
        if named:
            return control
    return None


def _first_edit(window):
    for control in window["controls"]:
        if control["class"].lower() == "edit" and usable(control) and not control.get("readonly"):
            return control
    return None


def _answer_by(rule, window):
    """(the rule's answer to the window, "") or (None, why it does not fit)."""
    if not matches(rule.caption, window["caption"]):
        return None, ""
    if rule.window_class is not None and not matches(rule.window_class, window["class"]):
        return None, ""
    if rule.text is not None and not matches(rule.text, window_text(window)):
        return None, ""
    actions = []
    if rule.type is not None:
        edit = _first_edit(window)
        if edit is None:
            return None, "the window has no edit box to type into"
        actions.append(Action("settext", edit["id"], rule.type))
    for names, state in ((rule.tick, "1"), (rule.untick, "0")):
        for name in names:
            box = _find(window, ("check", "radio"), name)
            if box is None:
                return None, f"no usable box {name!r}"
            actions.append(Action("check", box["id"], state))
    button = _find(window, PUSH_KINDS, rule.press) if rule.press else default_button(window)
    if button is None:
        return None, f"no usable button {rule.press!r}" if rule.press else "no button to press"
    actions.append(Action("press", button["id"]))
    return Answer(actions, rule, shown_caption(button["text"])), ""


def choose_answer(window, rules, fallback_rules=()):
    """The first fitting rule's answer, else the first fitting fallback rule's, else
    the default button; None when the window has no button to press."""
    near_miss = ""
    for rule in [*rules, *fallback_rules]:
        answer, why = _answer_by(rule, window)
        if answer:
            answer.near_miss = near_miss
            return answer
        if why and not near_miss and rule in rules:
            near_miss = f"rule {rule.origin} fits the caption but {why}"
    button = default_button(window)
    if button is None:
        return None
    return Answer([Action("press", button["id"])], None, shown_caption(button["text"]), near_miss)
