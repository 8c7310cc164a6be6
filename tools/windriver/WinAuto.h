#pragma once
// Driving another program's windows as a person would: list them, read them,
// find a control by its caption or id, press, type, tick, wait. Shared by
// windriver (the tests) and TESSAUTO (unattended deployment).

#include <windows.h>

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "tools/windriver/WindowInfo.h"

namespace winauto {

// What could not be done; the message is UTF-8.
struct Error : std::runtime_error {
    using std::runtime_error::runtime_error;
};

std::string ToUtf8(std::wstring_view text);
std::wstring FromUtf8(std::string_view text);
std::string Quoted(std::wstring_view text); // "text", as UTF-8

// ---------------------------------------------------------------- reading

std::wstring WindowCaption(HWND hwnd);
std::wstring ClassName(HWND hwnd);
bool IsClass(HWND hwnd, const wchar_t* name);
// The control's own text (WM_GETTEXT, however long it is or grows meanwhile);
// none when it did not answer in time.
std::optional<std::wstring> AskText(HWND control);
// The same, or the caption the system keeps when the control did not answer.
std::wstring ControlText(HWND control);
std::vector<HWND> TopLevelWindows();
std::vector<HWND> Descendants(HWND parent);
HWND HandleOf(std::uint64_t number);

// False when the window's thread does not answer at once (a program that sleeps
// between steps without reading its messages).
bool AnswersQuickly(HWND top);

WindowInfo DescribeWindow(HWND hwnd); // without its controls
// `ask`: read texts and check states by messages; else only what the system keeps.
ControlInfo DescribeControl(HWND top, HWND control, bool ask = true);
// The window with every control; a busy window is read without messages.
WindowInfo DescribeWithControls(HWND top);

// ---------------------------------------------------------------- finding

bool IsIdSelector(std::wstring_view selector);
std::optional<int> ParseId(std::wstring_view selector); // "#115" -> 115
// `#<id>` matches any control; a caption ("Next" or "&Next") matches Button controls only.
HWND FindControl(HWND top, std::wstring_view selector);
// Why a user could not use the control now (hidden, disabled, or in a disabled
// window), or nothing when they could.
std::optional<std::string> WhyUnusable(HWND top, HWND control, std::wstring_view selector);
// Refuses what a user couldn't do, with WhyUnusable's reason.
void RequireUsable(HWND top, HWND control, std::wstring_view selector);

// ---------------------------------------------------------------- acting

void Press(HWND control);
std::wstring SetText(HWND edit, std::wstring_view text, std::wstring_view selector); // the text it then holds
long long SetCheck(HWND box, bool ticked, std::wstring_view selector);               // the state it then has

// ---------------------------------------------------------------- waiting

bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done);

} // namespace winauto
