#pragma once
// A window and its controls as another program sees them: plain values (texts
// in UTF-8), so that what to do with a window can be decided without Win32.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace winauto {

struct Box {
    long left = 0, top = 0, width = 0, height = 0;
};

struct ControlInfo {
    std::uint64_t handle = 0;
    std::string className;
    int id = 0;
    std::string text;
    // The control answered WM_GETTEXT; else (a busy window, or no answer in
    // time) `text` is the caption the system keeps, which may not be its text.
    bool answered = true;
    bool enabled = false;
    bool visible = false;
    std::optional<long long> checked; // Button controls, when they were asked
    std::string buttonKind;           // "push", "default", "check", ...; empty for no Button
    bool readonly = false;            // an edit box that takes no typing
    Box box;                          // in the client area of its top-level window
};

struct WindowInfo {
    std::uint64_t handle = 0;
    std::string caption;
    std::string className;
    bool visible = false;
    bool enabled = false;
    Box box; // on the screen
    unsigned long pid = 0;
    bool busy = false; // its thread did not answer at once: texts are those the system keeps
    std::vector<ControlInfo> controls;
};

} // namespace winauto
