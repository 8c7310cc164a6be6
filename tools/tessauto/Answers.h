#pragma once
// The rules that answer a run's windows, in the format of the sandbox's answers
// files: one [answer] block per rule, tried in order, the first that fits wins.
//
//     [answer]
//     caption = 警告            (pattern: * ? [set], case ignored; required)
//     class = #32770            (pattern, optional)
//     text = *MISSING.DAT*      (pattern over the window's labels, optional)
//     press = いいえ             (a button as shown, with or without its access key, or #id;
//                                without press: the window's default button)
//     type = C:\App             (into the first edit box that takes typing)
//     tick = デスクトップ         (check boxes by caption; tick and untick may repeat)
//     untick = スタートメニュー
//
// Lines starting with # or ; are comments. Files are UTF-8; a byte order mark is skipped.

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/windriver/WindowInfo.h"

namespace tessauto {

struct AnswersError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Rule {
    std::string origin; // file:line of the block
    std::string caption;
    std::optional<std::string> windowClass, text, press, type;
    std::vector<std::string> tick, untick;
};

// Throws AnswersError naming the file and line of the first fault.
std::vector<Rule> ParseAnswers(std::string_view text, std::string_view origin);

struct Action {
    enum class Verb { SetText, Check, Press } verb;
    int control;       // the control's id
    std::string value; // the text, or "0"/"1" for a box
};

struct Answer {
    std::vector<Action> actions;
    const Rule* rule = nullptr;
    std::string button; // the button pressed, as shown
};

struct Choice {
    std::optional<Answer> answer; // none: no rule fits the window
    std::string nearMiss;         // a rule that fitted the caption, and why it did not answer
};

// What the window says: its visible labels in order, lines broken by "\n".
std::string WindowText(const winauto::WindowInfo& window);

// The window, as read, waits for an answer: shown and enabled, its thread
// answered at once, and every control answered its read. A window hidden or
// disabled between the look that found it and the read is not; its controls
// read as hidden then, and would look like a window with no buttons.
bool WaitsForAnswer(const winauto::WindowInfo& window);

// The first rule of `rules` that fits, then of `fallback`; no default button
// is pressed where no rule fits.
Choice ChooseAnswer(const winauto::WindowInfo& window, const std::vector<Rule>& rules,
                    const std::vector<Rule>& fallback = {});

} // namespace tessauto
