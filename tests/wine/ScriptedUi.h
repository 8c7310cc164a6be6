#pragma once
// A user interface for in-process tests: answers message boxes from a queue and
// keeps every text shown.

#include <deque>
#include <string>
#include <vector>

#include "support/UserInterface.h"

struct ShownMessage {
    std::string text;
    std::string caption;
    unsigned style;
};

class ScriptedUi : public UserInterface {
public:
    ScriptedUi() = default;
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // The next message box is answered with this button id. A box with an OK
    // button alone needs no answer; any other unanswered box fails the test.
    void Answer(int buttonId) { answers_.push_back(buttonId); }
    void RequestAbort() { abort_ = true; }

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    const std::vector<std::string>& Statuses() const { return statuses_; }
    // The status last shown each time the run had waiting changes put on the screen.
    const std::vector<std::string>& WaitingShown() const { return waitingShown_; }

    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void ShowStatus(const std::string& text) override;
    bool AbortRequested() override { return abort_; }
    void Pause(unsigned) override {}
    void ProcessMessages() override {}
    void ShowWaitingChanges() override { waitingShown_.push_back(statuses_.empty() ? "" : statuses_.back()); }
    void ShowProgressFrame(bool visible) override { progressFrameShown_ = visible; }
    int SetProgress(int percent, int done, int total) override;
    void EnableAbort(bool enabled) override { abortEnabled_ = enabled; }
    void BeginRun(unsigned) override { events_.push_back("begin"); }
    void EndRun() override { events_.push_back("end"); }
    void ShowFailureReport(const std::string& report, const std::string& title) override
    {
        failureReports_.push_back(report);
        failureReportTitles_.push_back(title);
    }
    // Answers the shared-file questions from a queue (each counts as asked).
    void AnswerSharedFile(SharedFileAnswer answer) { sharedAnswers_.push_back(answer); }
    SharedFileAnswer AskAboutSharedFile(const std::string& text) override;
    const std::vector<std::string>& SharedFileQuestions() const { return sharedQuestions_; }
    const std::vector<std::string>& FailureReportTitles() const { return failureReportTitles_; }

    // Every progress label shown ("25%(1/4)"), the abort button's state, and
    // the run's begin, end and failure reports.
    const std::vector<std::string>& ProgressLabels() const { return progressLabels_; }
    const std::vector<int>& ProgressPositions() const { return progressPositions_; }
    bool ProgressFrameShown() const { return progressFrameShown_; }
    bool AbortEnabled() const { return abortEnabled_; }
    const std::vector<std::string>& Events() const { return events_; }
    const std::vector<std::string>& FailureReports() const { return failureReports_; }
    // Confirms an abort as soon as the status text starting with `prefix` is shown.
    void AbortAtStatus(const std::string& prefix) { abortAtStatus_ = prefix; }

private:
    std::deque<int> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> statuses_;
    std::vector<std::string> waitingShown_;
    bool abort_ = false;
    std::string abortAtStatus_;
    std::vector<std::string> progressLabels_;
    std::vector<int> progressPositions_;
    bool progressFrameShown_ = false;
    bool abortEnabled_ = false;
    std::vector<std::string> events_;
    std::vector<std::string> failureReports_;
    std::vector<std::string> failureReportTitles_;
    std::deque<SharedFileAnswer> sharedAnswers_;
    std::vector<std::string> sharedQuestions_;
};
