#pragma once
// A user interface for in-process tests: answers message boxes from a queue and
// keeps every text shown. Installed for its lifetime.

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
    ScriptedUi();
    ~ScriptedUi() override;
    ScriptedUi(const ScriptedUi&) = delete;
    ScriptedUi& operator=(const ScriptedUi&) = delete;

    // The next message box is answered with this button id. A box with an OK
    // button alone needs no answer; any other unanswered box fails the test.
    void Answer(int buttonId) { answers_.push_back(buttonId); }
    void RequestAbort() { abort_ = true; }

    const std::vector<ShownMessage>& Messages() const { return messages_; }
    const std::vector<std::string>& Statuses() const { return statuses_; }

    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;
    void ShowStatus(const std::string& text) override { statuses_.push_back(text); }
    bool AbortRequested() override { return abort_; }
    void Pause(unsigned) override {}
    void ProcessMessages() override {}

private:
    UserInterface* previous_;
    std::deque<int> answers_;
    std::vector<ShownMessage> messages_;
    std::vector<std::string> statuses_;
    bool abort_ = false;
};
