#pragma once
// A test build of SETUP.EXE that times its run by its own clock, so that a
// bench need not count the latency of the program that drives it.

#include "support/UserInterface.h"

class TfrmMain;

// Passes every message box on to `boxes`. From the start button to the
// completion box ("完了") it keeps the time, and the time spent in Sleep (the
// run's mandated pauses: the program sleeps nowhere else); at the box it writes
// "<run seconds> <pause seconds>" to the file named by TESSERA_RUN_CLOCK.
class RunClock : public MessageBoxes {
public:
    explicit RunClock(MessageBoxes& boxes);
    // Starts the clock at the start button, before either run begins.
    void Watch(TfrmMain& mainWindow);
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;

private:
    MessageBoxes& boxes_;
};
