#include "tools/tessauto/Driver.h"

#include <algorithm>
#include <map>
#include <optional>
#include <utility>

#include "support/Handles.h"
#include "tools/tessauto/BuiltInAnswers.h"
#include "tools/tessauto/MainWindow.h"
#include "tools/tessauto/Text.h"
#include "tools/windriver/WinAuto.h"

namespace tessauto {

namespace {

// The longest time between two looks at the windows, for a change that no
// window event announces (Wine sends none when a window's texts change). Each
// look asks the system about the program's windows, and the program waits for
// the same system meanwhile: rare looks leave it its speed.
constexpr DWORD kPollMs = 250;
// After an answer the next look comes this soon, then ever later up to kPollMs.
constexpr DWORD kFirstFollowUpMs = 5;
// Time a window gets to react to an answer before it is answered again.
constexpr ULONGLONG kReactionMs = 3000;
// A window that stays as it was after this many answers is stuck.
constexpr int kMaxAnswersPerState = 3;
constexpr DWORD kEndWaitMs = 10000;
// Windows that never wait for an answer: the backdrop, the progress window
// (whose one button aborts the run), the input method's.
constexpr const char* kSilentClasses[] = {"tfrmback", "tfrmstatus", "ime", "tooltips_class32"};

bool isSilent(HWND hwnd)
{
    const std::string name = Lowered(winauto::ToUtf8(winauto::ClassName(hwnd)));
    for (const char* silent : kSilentClasses)
        if (name == silent) return true;
    return false;
}

BOOL CALLBACK collectWindow(HWND hwnd, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

// The program's windows that may wait for an answer: those of its one thread
// (asking for every window of the system would cost more).
std::vector<HWND> waitingWindows(DWORD threadId)
{
    std::vector<HWND> windows, found;
    EnumThreadWindows(threadId, collectWindow, reinterpret_cast<LPARAM>(&windows));
    for (HWND hwnd : windows) {
        if (!IsWindowVisible(hwnd) || !IsWindowEnabled(hwnd) || isSilent(hwnd)) continue;
        RECT rect = {};
        if (!GetWindowRect(hwnd, &rect) || rect.right <= rect.left) continue;
        found.push_back(hwnd);
    }
    return found;
}

// Set by the event hook: a window of the program was made, shown or focused.
bool windowEvent = false;

void CALLBACK onWindowEvent(HWINEVENTHOOK, DWORD, HWND, LONG, LONG, DWORD, DWORD) { windowEvent = true; }

using UniqueEventHook = UniqueHandleOf<HWINEVENTHOOK, UnhookWinEvent>;

// Everything a read tells of a window and its controls, to compare two reads.
std::string snapshotOf(const winauto::WindowInfo& window)
{
    std::string snapshot = window.caption + (window.visible ? "+" : "-") + (window.enabled ? "+" : "-");
    for (const winauto::ControlInfo& control : window.controls)
        snapshot += "\n" + std::to_string(control.handle) + (control.visible ? "+" : "-") +
                    (control.enabled ? "+" : "-") + std::to_string(control.checked.value_or(-1)) + control.text;
    return snapshot;
}

// A window read while its thread waits between our questions: read twice, the
// same both times. A read taken while the window changes (a click posted earlier
// handled between two of its questions) mixes two states and reads differently.
std::optional<winauto::WindowInfo> readSteady(HWND hwnd)
{
    const winauto::WindowInfo first = winauto::DescribeWithControls(hwnd);
    if (!WaitsForAnswer(first)) return std::nullopt;
    winauto::WindowInfo second = winauto::DescribeWithControls(hwnd);
    if (!WaitsForAnswer(second) || snapshotOf(first) != snapshotOf(second)) return std::nullopt;
    return second;
}

// What a person would see change: the window, its labels and buttons.
std::string stateOf(const winauto::WindowInfo& window)
{
    std::string state = std::to_string(window.handle) + "\n" + window.caption;
    for (const winauto::ControlInfo& control : window.controls) {
        const std::string kind = Lowered(control.className);
        if (!control.visible || (kind != "button" && kind != "static")) continue;
        state += "\n" + std::to_string(control.id) + (control.enabled ? "+" : "-") +
                 std::to_string(control.checked.value_or(-1)) + control.text;
    }
    return state;
}

std::string oneLine(std::string text)
{
    for (char& c : text)
        if (c == '\n' || c == '\r') c = '/';
    return text;
}

std::string describe(const winauto::WindowInfo& window)
{
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

void perform(HWND top, const Action& action)
{
    const std::wstring selector = L"#" + std::to_wstring(action.control);
    HWND control = winauto::FindControl(top, selector);
    winauto::RequireUsable(top, control, selector);
    switch (action.verb) {
    case Action::Verb::SetText: winauto::SetText(control, winauto::FromUtf8(action.value), selector); break;
    case Action::Verb::Check: winauto::SetCheck(control, action.value == "1", selector); break;
    case Action::Verb::Press: winauto::Press(control); break;
    }
}

std::string actionText(const Action& action)
{
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
    bool startedUp(DWORD waitMs);
    bool answer(HWND hwnd); // true when it acted
    void halt(const std::string& why);

    const DriveSettings& settings_;
    RunLog& log_;
    UniqueKernelHandle process_;
    DWORD pid_ = 0, threadId_ = 0;
    UniqueEventHook events_;
    bool startedUp_ = false;
    RunFacts facts_;
    std::map<std::string, std::pair<int, ULONGLONG>> answered_; // state -> times, time of the last
    bool settingsApplied_ = false;
};

bool DrivenSetup::start()
{
    std::wstring commandLine = settings_.commandLine;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started = {};
    const wchar_t* folder = settings_.workingFolder.empty() ? nullptr : settings_.workingFolder.c_str();
    // Started suspended, so that the event hook is there before its first window.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder,
                        &startup, &started)) {
        log_.Progress("could not start " + winauto::ToUtf8(settings_.commandLine) + " (error " +
                      std::to_string(GetLastError()) + ")");
        return false;
    }
    UniqueKernelHandle thread(started.hThread);
    process_.reset(started.hProcess);
    pid_ = started.dwProcessId;
    threadId_ = started.dwThreadId;
    events_.reset(SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_FOCUS, nullptr, onWindowEvent, pid_, 0,
                                  WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS));
    ResumeThread(thread.get());
    log_.Progress("started " + winauto::ToUtf8(settings_.commandLine) + " (process " + std::to_string(pid_) + ")");
    return true;
}

void DrivenSetup::halt(const std::string& why)
{
    facts_.halted = why;
    log_.Progress("stopping the run: " + why);
    TerminateProcess(process_.get(), kFailed);
    WaitForSingleObject(process_.get(), kEndWaitMs);
}

// The program has set itself up: its thread has waited for input with none
// pending once. Until then its main window may show before its first
// activation has filled it (that activation is a message of its own).
bool DrivenSetup::startedUp(DWORD waitMs)
{
    // WAIT_FAILED: a program without windows, nothing to wait for.
    if (!startedUp_) startedUp_ = WaitForInputIdle(process_.get(), waitMs) != WAIT_TIMEOUT;
    return startedUp_;
}

bool DrivenSetup::answer(HWND hwnd)
{
    // A busy window, one with a control that did not answer in time (a caption
    // the system keeps may not be what it shows), one hidden or disabled since
    // it was found, or one that changes while it is read, is read again at the
    // next look.
    const std::optional<winauto::WindowInfo> steady = readSteady(hwnd);
    if (!steady) return false;
    const winauto::WindowInfo& window = *steady;
    const std::string state = stateOf(window);
    auto& [times, last] = answered_[state];
    if (times > 0 && GetTickCount64() - last < kReactionMs) return false;
    if (times == 0) {
        const Sign sign = ReadSign(window);
        facts_.Note(sign, "「" + window.caption + "」 " + oneLine(WindowText(window)));
        log_.Detail(describe(window) + (sign == Sign::None ? "" : std::string("\n  sign: ") + SignName(sign)));
    } else if (times >= kMaxAnswersPerState) {
        halt("the window 「" + window.caption + "」 stays as it is after " + std::to_string(times) + " answers");
        return false;
    }

    std::vector<Action> actions;
    const bool appliesSettings = settings_.install && !settingsApplied_ && IsInstallStartPage(window);
    if (appliesSettings) {
        const Settings asked = SettingsFor(window, settings_.folder, settings_.options);
        if (!asked.problem.empty()) {
            halt(asked.problem);
            return false;
        }
        actions = asked.actions;
    }
    const Choice choice = ChooseAnswer(window, settings_.rules, BuiltInAnswers());
    if (!choice.answer) {
        std::string why = "no rule answers the window 「" + window.caption + "」";
        if (!choice.nearMiss.empty()) why += " (" + choice.nearMiss + ")";
        halt(why);
        return false;
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
        return false;
    }
    settingsApplied_ = settingsApplied_ || appliesSettings;
    ++times;
    last = GetTickCount64();
    const Rule& rule = *choice.answer->rule;
    log_.Progress("「" + window.caption + "」 → " + choice.answer->button + "  (rule " + rule.origin + ")");
    log_.Detail("  did: " + done);
    return true;
}

RunFacts DrivenSetup::Go()
{
    if (!start()) return facts_;
    const ULONGLONG deadline = GetTickCount64() + settings_.timeoutMs;
    DWORD lookAfterMs = kPollMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now > deadline) {
            halt("no end after " + std::to_string(settings_.timeoutMs / 1000) + " s (/timeout)");
            break;
        }
        const DWORD waitMs = static_cast<DWORD>(std::min<ULONGLONG>(lookAfterMs, deadline - now));
        HANDLE process = process_.get();
        if (!startedUp_) {
            // Its windows are looked at as soon as it has set itself up.
            const bool ready = startedUp(waitMs);
            if (WaitForSingleObject(process, 0) != WAIT_TIMEOUT) break;
            if (!ready) continue;
        } else if (!windowEvent &&
                   MsgWaitForMultipleObjects(1, &process, FALSE, waitMs, QS_ALLINPUT) == WAIT_OBJECT_0) {
            break; // woken by the program's end; else by a window event or the time for a look
        }
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message); // the hook's calls
        windowEvent = false;
        bool acted = false;
        for (HWND hwnd : waitingWindows(threadId_)) {
            acted = answer(hwnd) || acted;
            if (!facts_.halted.empty()) break;
        }
        if (!facts_.halted.empty()) break;
        lookAfterMs = acted ? kFirstFollowUpMs : std::min<DWORD>(lookAfterMs * 2, kPollMs);
    }
    DWORD code = 0;
    if (GetExitCodeProcess(process_.get(), &code)) facts_.programExit = code;
    log_.Progress("the program ended with " + std::to_string(code));
    return facts_;
}

} // namespace

RunFacts Drive(const DriveSettings& settings, RunLog& log) { return DrivenSetup(settings, log).Go(); }

} // namespace tessauto
