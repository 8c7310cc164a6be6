#pragma once
// The interfaces through which the program talks to the user. The program's
// windows implement them; tests put in a scripted one that answers from a queue.

#include <string>

// Message boxes: the text, the caption and the style (MB_YESNO | MB_ICONQUESTION, ...).
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the box and returns the pressed button's id (IDOK, IDYES, ...).
    virtual int ShowMessage(const std::string& text, const std::string& caption, unsigned style) = 0;
};

// The answers to the question about a shared file no program uses any more;
// the last two hold for every later such file of the run.
enum class SharedFileAnswer { Delete, Keep, DeleteAll, KeepAll };

// What a run needs of the user beside the boxes.
class UserInterface : public MessageBoxes {
public:
    // Replaces the progress window's message, then lets pending messages be processed.
    virtual void ShowStatus(const std::string& text) = 0;
    // True once the user has confirmed the abort.
    virtual bool AbortRequested() = 0;
    virtual void Pause(unsigned milliseconds) = 0;
    virtual void ProcessMessages() = 0;
    // A window may show a quick succession of changes only in part; before a step
    // that may take a while, this puts what waits on the screen.
    virtual void ShowWaitingChanges() {}

    // The progress frame of the copy: shown or hidden, and set to a percentage
    // with the run's counts; returns the percentage the bar took (0 to 100).
    virtual void ShowProgressFrame(bool visible) = 0;
    virtual int SetProgress(int percent, int done, int total) = 0;
    virtual void EnableAbort(bool enabled) = 0;

    // A run begins (main window hidden, a pause of `pause` ms, progress window
    // shown) and ends (run marked over, progress window closed, program told to end).
    virtual void BeginRun(unsigned pause) = 0;
    virtual void EndRun() = 0;
    // Shows the failure report on the main window under `title` and returns
    // when the user has pressed "続行(&C)".
    virtual void ShowFailureReport(const std::string& report, const std::string& title) = 0;
    // The four-button question about a shared file (its text names the file).
    virtual SharedFileAnswer AskAboutSharedFile(const std::string& text) = 0;
};
