"""The sandbox's report: one dictionary (the --json form) and its text for people."""

from dataclasses import asdict

from changes import ADDED, CHANGED, KEPT, LEAK, NOISE, REMOVED

KIND_TITLES = (("folder", "Folders"), ("file", "Files"), ("shortcut", "Shortcuts"), ("key", "Registry keys"),
               ("value", "Registry values"), ("ini", "INI entries"))
CLASS_TITLES = ((KEPT, "Kept by rule"), (NOISE, "Wine's own"), (LEAK, "Leaks"))
SIGNS = {ADDED: "+", CHANGED: "~", REMOVED: "-"}


def build_report(*, first_line, notes, distribution, windows, screenshots, install, installed, install_noise,
                 uninstall, left, dialogs, not_checked):
    leaks = [item for item in left if item.klass == LEAK]
    return {
        "pass": first_line,
        "notes": notes,
        "distribution": str(distribution),
        "windows": windows,
        "screenshots": str(screenshots) if screenshots else None,
        "install": install,
        "installed": [asdict(item) for item in installed],
        "install_wine_noise": install_noise,
        "uninstall": uninstall,
        "left": [asdict(item) for item in left],
        "dialogs": [asdict(dialog) for dialog in dialogs],
        "dialogs_without_rule": sum(1 for d in dialogs if not d.rule and d.actions),
        "not_checked": not_checked,
        "leaks": len(leaks),
        "ok": bool(install["completed"]) and uninstall["ran"] and not leaks,
    }


def _item_line(item):
    sign = SIGNS[item["change"]]
    if item["kind"] == "shortcut":
        return f"{sign} {item['name']} → {item['detail']}"
    if item["kind"] in ("value", "ini"):
        if item["change"] == REMOVED:
            return f"{sign} {item['name']} (was {item['before']})"
        was = f" (was {item['before']})" if item["change"] == CHANGED else ""
        return f"{sign} {item['name']} = {item['detail']}{was}"
    if item["kind"] == "file" and item["change"] != REMOVED:
        was = f", was {item['before']}" if item["change"] == CHANGED and item["before"] else ""
        return f"{sign} {item['name']} ({item['detail']}{was})"
    return f"{sign} {item['name']}"


def _one_line(text, width=76):
    text = " / ".join(line.strip() for line in text.splitlines() if line.strip())
    return text if len(text) <= width else text[:width - 1] + "…"


def render_text(report):
    lines = [report["pass"], *report["notes"], ""]
    if report["ok"]:
        verdict = "PASSED: the install completed and the uninstall left nothing behind that it should have removed."
    elif not report["install"]["completed"]:
        verdict = f"FAILED: the install did not complete ({report['install']['summary']})."
    elif not report["uninstall"]["ran"]:
        verdict = f"FAILED: the uninstall did not run ({report['uninstall']['summary']})."
    else:
        verdict = f"FAILED: the uninstall left {report['leaks']} thing(s) behind that it should have removed."
    lines += [verdict, f"Distribution: {report['distribution']}", f"Windows: {report['windows']}"]
    if report["screenshots"]:
        lines.append(f"Screenshots: {report['screenshots']}")

    lines += ["", f"Windows seen ({len(report['dialogs'])})"]
    for number, dialog in enumerate(report["dialogs"], 1):
        how = dialog["how"]
        lines.append(f"  {number:2}. {dialog['phase']:9} 「{dialog['caption']}」 {dialog['window_class']}")
        if dialog["text"]:
            lines.append(f"      {_one_line(dialog['text'])}")
        answer = f"      → {dialog['answer']}" + (f"  ({how})" if how else "")
        lines.append(answer + (f"  [{dialog['screenshot']}]" if dialog["screenshot"] else ""))
    unmatched = [d for d in report["dialogs"] if not d["rule"] and d["actions"]]
    if unmatched:
        lines += ["", f"Answered without a rule ({len(unmatched)}): add a rule to the answers file to choose otherwise"]
        for dialog in unmatched:
            lines.append(f"  「{dialog['caption']}」 {_one_line(dialog['text'], 56)} → {dialog['answer']}")

    lines += ["", f"What the install did: {report['install']['summary']}"]
    for kind, title in KIND_TITLES:
        items = [item for item in report["installed"] if item["kind"] == kind]
        if items:
            lines.append(f"  {title} ({len(items)})")
            lines += [f"    {_item_line(item)}" for item in items]
    if report["install_wine_noise"]:
        lines.append(f"  (left out: {report['install_wine_noise']} change(s) that Wine itself makes; see the noise list)")

    lines += ["", f"What the uninstall left: {report['uninstall']['summary']}"]
    for klass, title in CLASS_TITLES:
        items = [item for item in report["left"] if item["klass"] == klass]
        lines.append(f"  {title} ({len(items)})")
        for item in items:
            lines.append(f"    {_item_line(item)}")
            if item["why"]:
                lines.append(f"        {item['why']}")
    if report["not_checked"]:
        lines += ["", "Not checked in this pass"]
        lines += [f"  {text}" for text in report["not_checked"]]
    return "\n".join(lines) + "\n"
