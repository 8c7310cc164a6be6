#include "tools/tessauto/Outcome.h"

#include "tools/tessauto/Answers.h"
#include "tools/tessauto/Text.h"

namespace tessauto {

namespace {

constexpr char kMessageBoxClass[] = "#32770";
// The main window when the script or the machine keeps it from starting: its
// start button disabled, this caption on it.
constexpr char kCannotStart[] = "処理開始(&S)";

bool isMessageBox(const winauto::WindowInfo& window) { return window.className == kMessageBoxClass; }

bool cannotStart(const winauto::WindowInfo& window)
{
    if (Lowered(window.className) != "tfrmmain") return false;
    for (const winauto::ControlInfo& control : window.controls)
        if (control.buttonKind != "" && control.text == kCannotStart && !control.enabled) return true;
    return false;
}

} // namespace

Sign ReadSign(const winauto::WindowInfo& window)
{
    if (cannotStart(window)) return Sign::Stopped;
    if (!isMessageBox(window)) return Sign::None;
    const std::string& caption = window.caption;
    const std::string text = WindowText(window);
    if (caption == "完了") return Sign::Completed;
    // The shell's restart offer ("システム設定の変更" on Windows, "再起動" under Wine,
    // which answers no restart at all), and the program's warning when it is declined.
    if (caption == "システム設定の変更" || caption == "再起動" || MatchPattern("Windowsを再起動すると*", text))
        return Sign::RestartNeeded;
    if (caption == "致命的エラー" || MatchPattern("*中止", caption) || caption == "中断")
        return MatchPattern("*を続行できませんでした*", text) || caption == "中断" ? Sign::Cancelled : Sign::Stopped;
    if (MatchPattern("*一部の処理が失敗しました*", text) || MatchPattern("OCX/DLL登録エラー*", caption))
        return Sign::StepsFailed;
    return Sign::None;
}

const char* SignName(Sign sign)
{
    switch (sign) {
    case Sign::Completed: return "completed";
    case Sign::RestartNeeded: return "a restart is needed";
    case Sign::Cancelled: return "cancelled";
    case Sign::Stopped: return "stopped";
    case Sign::StepsFailed: return "some steps failed";
    case Sign::None: break;
    }
    return "";
}

void RunFacts::Note(Sign sign, const std::string& window)
{
    switch (sign) {
    case Sign::Completed: completed = true; break;
    case Sign::RestartNeeded: restartNeeded = true; break;
    case Sign::Cancelled:
        cancelled = true;
        if (stopWindow.empty()) stopWindow = window;
        break;
    case Sign::Stopped:
        stopped = true;
        if (stopWindow.empty()) stopWindow = window;
        break;
    case Sign::StepsFailed:
        stepsFailed = true;
        if (failedWindow.empty()) failedWindow = window;
        break;
    case Sign::None: break;
    }
}

// The worst thing seen wins: a run that failed anywhere did not install what it should.
Verdict VerdictOf(const RunFacts& facts)
{
    if (!facts.programExit) return {kFailed, "the program could not be started"};
    if (!facts.halted.empty()) return {kFailed, facts.halted};
    if (facts.stopped) return {kFailed, "the program stopped: " + facts.stopWindow};
    if (facts.stepsFailed) return {kFailed, "some steps failed: " + facts.failedWindow};
    if (facts.cancelled) return {kCancelled, "a question was answered no: " + facts.stopWindow};
    // The program's own code, where it says more than the windows did. (A
    // program of before these codes ends with 0 whatever happened.)
    switch (*facts.programExit) {
    case kDone: break;
    case kRestartNeeded: return {kRestartNeeded, {}}; // no completion box after a restart request
    case kRestartStarted: return {kRestartStarted, {}};
    case kCancelled: return {kCancelled, "the program says it was ended by the user"};
    case kAnotherRun: return {kAnotherRun, "the program says another copy is running"};
    default: return {kFailed, "the program ended with " + std::to_string(*facts.programExit)};
    }
    if (facts.restartNeeded) return {kRestartNeeded, {}};
    if (!facts.completed) return {kFailed, "the program ended without its completion box"};
    return {kDone, {}};
}

const char* ExitCodeName(unsigned long code)
{
    switch (code) {
    case kDone: return "done";
    case kNotInstalled: return "not installed";
    case kCancelled: return "cancelled";
    case kFailed: return "failed";
    case kAnotherRun: return "another install is running";
    case kBadCommandLine: return "bad command line";
    case kRestartNeeded: return "done, a restart is needed";
    case kRestartStarted: return "done, a restart was started";
    }
    return "unknown";
}

} // namespace tessauto
