#include "tools/tessauto/Driver.h"

#include <algorithm>
#include <map>
#include <utility>

#include "support/Handles.h"
#include "tools/tessauto/BuiltInAnswers.h"
#include "tools/tessauto/MainWindow.h"
#include "tools/tessauto/Text.h"
#include "tools/windriver/WinAuto.h"

namespace tessauto {

namespace {

constexpr DWORD kPollMs = 100;
constexpr ULONGLONG kSettleMs = 500;
// Time a window gets to react to an answer before it is answered again.
constexpr ULONGLONG kReactionMs = 3000;
// A window that stays as it was after this many answers is stuck.
constexpr int kMaxAnswersPerState = 3;
constexpr DWORD kEndWaitMs = 10000;
// Windows that never wait for an answer: the backdrop, the progress window
// (whose one button aborts the run), the input method's.
constexpr const char* kSilentClasses[] = {"tfrmback", "tfrmstatus", "ime", "tooltips_class32"};

bool isSilent(HWND hwnd) {
    const std::string name = Lowered(winauto::ToUtf8(winauto::ClassName(hwnd)));
    for (const char* silent : kSilentClasses)
        if (name == silent) return true;
    return false;
}

// The process's windows that may wait for an answer.
std::vector<HWND> waitingWindows(DWORD pid) {
    std::vector<HWND> found;
    for (HWND hwnd : winauto::TopLevelWindows()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        if (owner != pid || !IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || isSilent(hwnd)) continue;
        RECT rect = {};
        if (!GetWindowRect(hwnd, &rect) || rect.right <= rect.left) continue;
        found.push_back(hwnd);
    }
    return found;
}

// What a person would see change: the window, its labels and buttons.
std::string stateOf(const winauto::WindowInfo& window) {
    std::string state = std::to_string(window.handle) + "\n" + window.caption;
    for (const winauto::ControlInfo& control : window.controls) {
        const std::string kind = Lowered(control.className);
        if (!control.visible || (kind != "button" && kind != "static")) continue;
        state += "\n" + std::to_string(control.id) + (control.enabled ? "+" : "-") +
                 std::to_string(control.checked.value_or(-1)) + control.text;
    }
    return state;
}

std::string oneLine(std::string text) {
    for (char& c : text)
        if (c == '\n' || c == '\r') c = '/';
    return text;
}

std::string describe(const winauto::WindowInfo& window) {
    std::string buttons;
    for (const winauto::ControlInfo& control : window.controls)
        if ((control.buttonKind == "push" || control.buttonKind == "default") && control.visible)
            buttons += (buttons.empty() ? "" : ", ") + ShownCaption(control.text);
    std::string line = "window 「" + window.caption + "」 " + window.className;
    const std::string text = WindowText(window);
    if (!text.empty()) line += "\n  text: " + oneLine(text);
    if (!buttons.empty()) line += "\n  buttons: " + buttons;
    return line;
}

void perform(HWND top, const Action& action) {
    const std::wstring selector = L"#" + std::to_wstring(action.control);
    HWND control = winauto::FindControl(top, selector);
    winauto::RequireUsable(top, control, selector);
    switch (action.verb) {
    case Action::Verb::SetText: winauto::SetText(control, winauto::FromUtf8(action.value), selector); break;
    case Action::Verb::Check: winauto::SetCheck(control, action.value == "1", selector); break;
    case Action::Verb::Press: winauto::Press(control); break;
    }
}

std::string actionText(const Action& action) {
    switch (action.verb) {
    case Action::Verb::SetText: return "type '" + action.value + "' into #" + std::to_string(action.control);
    case Action::Verb::Check: return (action.value == "1" ? "tick #" : "untick #") + std::to_string(action.control);
    case Action::Verb::Press: return "press #" + std::to_string(action.control);
    }
    return {};
}

class DrivenSetup {
public:
    DrivenSetup(const DriveSettings& settings, RunLog& log) : settings_(settings), log_(log) {}

    RunFacts Go();

private:
    bool start();
    void answer(HWND hwnd);
    void halt(const std::string& why);

    const DriveSettings& settings_;
    RunLog& log_;
    UniqueKernelHandle process_;
    DWORD pid_ = 0;
    RunFacts facts_;
    std::map<std::string, std::pair<int, ULONGLONG>> answered_;  // state -> times, time of the last
    std::map<std::string, ULONGLONG> firstSeen_;                 // state -> when it was first seen
    bool settingsApplied_ = false;
};

bool DrivenSetup::start() {
    std::wstring commandLine = settings_.commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const wchar_t* folder = settings_.workingFolder.empty() ? nullptr : settings_.workingFolder.c_str();
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup,
                        &started)) {
        log_.Progress("could not start " + winauto::ToUtf8(settings_.commandLine) + " (error " +
                      std::to_string(GetLastError()) + ")");
        return false;
    }
    UniqueKernelHandle thread(started.hThread);
    process_.reset(started.hProcess);
    pid_ = started.dwProcessId;
    log_.Progress("started " + winauto::ToUtf8(settings_.commandLine) + " (process " + std::to_string(pid_) + ")");
    return true;
}

void DrivenSetup::halt(const std::string& why) {
    facts_.halted = why;
    log_.Progress("stopping the run: " + why);
    TerminateProcess(process_.get(), kFailed);
    WaitForSingleObject(process_.get(), kEndWaitMs);
}

void DrivenSetup::answer(HWND hwnd) {
    const winauto::WindowInfo window = winauto::DescribeWithControls(hwnd);
    // A busy window, or one with a control that did not answer in time, is read
    // again at the next look: a caption the system keeps may not be what it shows.
    const auto unanswered = [](const winauto::ControlInfo& control) { return !control.answered; };
    if (window.busy || std::any_of(window.controls.begin(), window.controls.end(), unanswered)) return;
    const std::string state = stateOf(window);
    // A window just shown may not have set itself up yet (the main window reads
    // its script after it first appears): it is answered once it has stayed as it is.
    const ULONGLONG firstSeen = firstSeen_.emplace(state, GetTickCount64()).first->second;
    if (GetTickCount64() - firstSeen < kSettleMs) return;
    auto& [times, last] = answered_[state];
    if (times > 0 && GetTickCount64() - last < kReactionMs) return;
    if (times == 0) {
        const Sign sign = ReadSign(window);
        facts_.Note(sign, "「" + window.caption + "」 " + oneLine(WindowText(window)));
        log_.Detail(describe(window) + (sign == Sign::None ? "" : std::string("\n  sign: ") + SignName(sign)));
    } else if (times >= kMaxAnswersPerState) {
        return halt("the window 「" + window.caption + "」 stays as it is after " + std::to_string(times) + " answers");
    }

    std::vector<Action> actions;
    const bool appliesSettings = settings_.install && !settingsApplied_ && IsInstallStartPage(window);
    if (appliesSettings) {
        const Settings asked = SettingsFor(window, settings_.folder, settings_.options);
        if (!asked.problem.empty()) return halt(asked.problem);
        actions = asked.actions;
    }
    const Choice choice = ChooseAnswer(window, settings_.rules, BuiltInAnswers());
    if (!choice.answer) {
        std::string why = "no rule answers the window 「" + window.caption + "」";
        if (!choice.nearMiss.empty()) why += " (" + choice.nearMiss + ")";
        return halt(why);
    }
    actions.insert(actions.end(), choice.answer->actions.begin(), choice.answer->actions.end());
    std::string done;
    try {
        for (const Action& action : actions) {
            perform(hwnd, action);
            done += (done.empty() ? "" : ", ") + actionText(action);
        }
    } catch (const winauto::Error& error) {
        log_.Detail("  the window changed meanwhile (" + std::string(error.what()) + "); looking again");
        return;
    }
    settingsApplied_ = settingsApplied_ || appliesSettings;
    ++times;
    last = GetTickCount64();
    const Rule& rule = *choice.answer->rule;
    log_.Progress("「" + window.caption + "」 → " + choice.answer->button + "  (rule " + rule.origin + ")");
    log_.Detail("  did: " + done);
}

RunFacts DrivenSetup::Go() {
    if (!start()) return facts_;
    const ULONGLONG deadline = GetTickCount64() + settings_.timeoutMs;
    while (WaitForSingleObject(process_.get(), kPollMs) == WAIT_TIMEOUT) {
        if (GetTickCount64() > deadline) {
            halt("no end after " + std::to_string(settings_.timeoutMs / 1000) + " s (/timeout)");
            break;
        }
        for (HWND hwnd : waitingWindows(pid_)) {
            answer(hwnd);
            if (!facts_.halted.empty()) break;
        }
        if (!facts_.halted.empty()) break;
    }
    DWORD code = 0;
    if (GetExitCodeProcess(process_.get(), &code)) facts_.programExit = code;
    log_.Progress("the program ended with " + std::to_string(code));
    return facts_;
}

}  // namespace

RunFacts Drive(const DriveSettings& settings, RunLog& log) { return DrivenSetup(settings, log).Go(); }

}  // namespace tessauto
