#pragma once
// A test build of SETUP.EXE that times its run by its own clock, so that a
// bench need not count the latency of the program that drives it.

#include "support/UserInterface.h"

class TfrmMain;

// Passes every message box on to `boxes`. From the start button to the
// completion box ("完了") it keeps the time, and the time spent in Sleep (the
// run's mandated pauses: the program sleeps nowhere else). When the program
// ends it writes to the file named by TESSERA_RUN_CLOCK one "<name> <value>"
// line each: "run" and "slept", those two in seconds, then the moments the
// program got to, in seconds since 1970 by the system's clock, in order:
// created (the process), ready (the main window filled), start (the start
// button), copying and copied (the progress frame shown and hidden: the copy
// stage), box (the completion box asked for), shown (it appeared), answered
// (it was closed), closing and closed (the main window's clean-up: the work
// folders deleted) and end.
class RunClock : public MessageBoxes {
public:
    explicit RunClock(MessageBoxes& boxes);
    // Starts the clock at the start button, before either run begins.
    void Watch(TfrmMain& mainWindow);
    int ShowMessage(const std::string& text, const std::string& caption, unsigned style) override;

private:
    MessageBoxes& boxes_;
};
