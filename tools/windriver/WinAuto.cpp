#include "tools/windriver/WinAuto.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cwchar>
#include <cwctype>

namespace winauto {

namespace {

constexpr DWORD kPollMs = 100;
// Bound every message sent to another process, so a hung target can't hang us.
constexpr UINT kSendTimeoutMs = 3000;
constexpr UINT kQuickAnswerMs = 50;
// The longest text read, in characters: more than any edit control holds.
constexpr size_t kLongestText = size_t{1} << 26;

bool sendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK, kSendTimeoutMs, result) !=
           0;
}

// A named function: lambdas can't convert to the stdcall callback type on i686.
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::uint64_t handleNumber(HWND hwnd) { return static_cast<std::uint64_t>(reinterpret_cast<uintptr_t>(hwnd)); }

// Screen rectangle of `hwnd`, optionally relative to the client area of `origin`.
Box windowBox(HWND hwnd, HWND origin = nullptr)
{
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    if (origin) MapWindowPoints(HWND_DESKTOP, origin, reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

bool buttonCheck(HWND button, DWORD_PTR* state) { return sendWithTimeout(button, BM_GETCHECK, 0, 0, state); }

// What a Button control is: "default" is the push button that Enter presses.
const char* buttonKind(LONG_PTR style)
{
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON: return "push";
    case BS_DEFPUSHBUTTON: return "default";
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE: return "check";
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON: return "radio";
    case BS_GROUPBOX: return "group";
    default: return "other";
    }
}

// "&Next" and "Next" name the same button; "&&" is a literal ampersand.
std::wstring withoutAccelerators(std::wstring_view text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == L'&')
            continue;
        out += text[i];
    }
    return out;
}

// Accepts the caption as shown ("Next") or as written ("&Next").
bool captionMatches(HWND control, std::wstring_view wanted)
{
    if (!IsClass(control, L"Button")) return false;
    std::wstring text = ControlText(control);
    return text == wanted || withoutAccelerators(text) == wanted;
}

// The text that `read` copies into a buffer of the given size, the buffer made
// larger until the text ends before the buffer does: a text may be longer than
// its length said, or grow between the two calls. None when `read` fails.
using ReadInto = std::function<std::optional<size_t>(wchar_t* buffer, size_t size)>;
std::optional<std::wstring> readWhole(size_t length, const ReadInto& read)
{
    // Room for one character more than said, so that a text of the length said is whole at once.
    size_t size = length + 2;
    for (;;) {
        std::wstring text(size, L'\0');
        const std::optional<size_t> copied = read(text.data(), size);
        if (!copied) return std::nullopt;
        const size_t ends = std::min(*copied, std::wcslen(text.c_str()));
        if (ends + 1 < size || size >= kLongestText) {
            text.resize(std::min(ends, size - 1));
            return text;
        }
        size = std::min(size * 2, kLongestText);
    }
}

} // namespace

std::string ToUtf8(std::wstring_view text)
{
    if (text.empty()) return {};
    int size =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(std::string_view text)
{
    if (text.empty()) return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

std::string Quoted(std::wstring_view text) { return "\"" + ToUtf8(text) + "\""; }

// GetWindowTextW never sends a message to another process's window, so it can't block.
std::wstring WindowCaption(HWND hwnd)
{
    const int length = GetWindowTextLengthW(hwnd);
    return *readWhole(static_cast<size_t>(std::max(length, 0)), [hwnd](wchar_t* buffer, size_t size) {
        return std::optional<size_t>(static_cast<size_t>(
            std::max(GetWindowTextW(hwnd, buffer, static_cast<int>(std::min<size_t>(size, INT_MAX))), 0)));
    });
}

std::wstring ClassName(HWND hwnd)
{
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

bool IsClass(HWND hwnd, const wchar_t* name) { return _wcsicmp(ClassName(hwnd).c_str(), name) == 0; }

// Controls such as edits keep their text themselves, so ask them with WM_GETTEXT.
std::optional<std::wstring> AskText(HWND hwnd)
{
    DWORD_PTR length = 0;
    if (!sendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, &length)) return std::nullopt;
    return readWhole(std::min<size_t>(length, kLongestText), [hwnd](wchar_t* buffer, size_t size) {
        DWORD_PTR copied = 0;
        if (!sendWithTimeout(hwnd, WM_GETTEXT, size, reinterpret_cast<LPARAM>(buffer), &copied))
            return std::optional<size_t>();
        return std::optional<size_t>(copied);
    });
}

std::wstring ControlText(HWND hwnd)
{
    std::optional<std::wstring> text = AskText(hwnd);
    return text ? *text : WindowCaption(hwnd);
}

std::vector<HWND> TopLevelWindows()
{
    std::vector<HWND> found;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> Descendants(HWND parent)
{
    std::vector<HWND> found;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND HandleOf(std::uint64_t number) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(number)); }

bool AnswersQuickly(HWND top)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kQuickAnswerMs, &ignored) != 0;
}

WindowInfo DescribeWindow(HWND hwnd)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    WindowInfo info;
    info.handle = handleNumber(hwnd);
    info.caption = ToUtf8(WindowCaption(hwnd));
    info.className = ToUtf8(ClassName(hwnd));
    info.visible = IsWindowVisible(hwnd);
    info.enabled = IsWindowEnabled(hwnd);
    info.box = windowBox(hwnd);
    info.pid = pid;
    return info;
}

ControlInfo DescribeControl(HWND top, HWND control, bool ask)
{
    ControlInfo info;
    info.handle = handleNumber(control);
    info.className = ToUtf8(ClassName(control));
    info.id = GetDlgCtrlID(control);
    std::optional<std::wstring> text = ask ? AskText(control) : std::nullopt;
    info.answered = text.has_value();
    info.text = ToUtf8(text ? *text : WindowCaption(control));
    info.enabled = IsWindowEnabled(control);
    info.visible = IsWindowVisible(control);
    const bool button = IsClass(control, L"Button");
    DWORD_PTR state = 0;
    if (ask && button && buttonCheck(control, &state)) info.checked = static_cast<long long>(state);
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (button) info.buttonKind = buttonKind(style);
    info.readonly = IsClass(control, L"Edit") && (style & ES_READONLY);
    info.box = windowBox(control, top);
    return info;
}

WindowInfo DescribeWithControls(HWND top)
{
    WindowInfo info = DescribeWindow(top);
    const std::vector<HWND> controls = Descendants(top);
    const bool ask = AnswersQuickly(top);
    info.busy = !ask;
    for (HWND control : controls) info.controls.push_back(DescribeControl(top, control, ask));
    return info;
}

bool IsIdSelector(std::wstring_view selector) { return !selector.empty() && selector[0] == L'#'; }

std::optional<int> ParseId(std::wstring_view selector)
{
    if (!IsIdSelector(selector)) return std::nullopt;
    std::wstring digits(selector.substr(1));
    if (digits.empty() || digits.size() > 9) return std::nullopt;
    for (wchar_t c : digits)
        if (!std::iswdigit(c)) return std::nullopt;
    return std::stoi(digits);
}

// Hidden wizard pages reuse ids and captions, so a visible match wins over an earlier hidden one.
HWND FindControl(HWND top, std::wstring_view selector)
{
    const bool byId = IsIdSelector(selector);
    const std::optional<int> id = ParseId(selector);
    if (byId && !id) throw Error("bad control id " + Quoted(selector));
    HWND firstMatch = nullptr;
    for (HWND control : Descendants(top)) {
        bool matches = byId ? GetDlgCtrlID(control) == *id : captionMatches(control, selector);
        if (!matches) continue;
        if (IsWindowVisible(control)) return control;
        if (!firstMatch) firstMatch = control;
    }
    if (!firstMatch) throw Error("no control " + Quoted(selector) + " in window " + Quoted(WindowCaption(top)));
    return firstMatch;
}

std::optional<std::string> WhyUnusable(HWND top, HWND control, std::wstring_view selector)
{
    if (!IsWindowVisible(control)) return "control " + Quoted(selector) + " is invisible";
    for (HWND hwnd = control; hwnd; hwnd = GetAncestor(hwnd, GA_PARENT)) {
        if (!IsWindowEnabled(hwnd))
            return "control " + Quoted(selector) + (hwnd == control ? " is disabled" : " is in a disabled window");
        if (hwnd == top) break;
    }
    return std::nullopt;
}

void RequireUsable(HWND top, HWND control, std::wstring_view selector)
{
    if (auto why = WhyUnusable(top, control, selector)) throw Error(*why);
}

// Posted, not sent: the handler may open a modal dialog and must not block us.
void Press(HWND control)
{
    HWND parent = GetAncestor(control, GA_PARENT);
    WPARAM wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), BN_CLICKED);
    if (!PostMessageW(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control)))
        throw Error("could not post the click (error " + std::to_string(GetLastError()) + ")");
}

std::wstring SetText(HWND edit, std::wstring_view text, std::wstring_view selector)
{
    const std::wstring value(text);
    DWORD_PTR ignored = 0;
    if (!sendWithTimeout(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(value.c_str()), &ignored))
        throw Error("control " + Quoted(selector) + " did not answer WM_SETTEXT");
    return ControlText(edit);
}

// Set, then clicked, so that the program hears of the change as from a person.
long long SetCheck(HWND box, bool ticked, std::wstring_view selector)
{
    if (!IsClass(box, L"Button")) throw Error("control " + Quoted(selector) + " is no button");
    const DWORD_PTR wanted = ticked ? BST_CHECKED : BST_UNCHECKED;
    DWORD_PTR current = 0;
    if (!buttonCheck(box, &current)) throw Error("control " + Quoted(selector) + " hangs");
    if (current != wanted) {
        DWORD_PTR ignored = 0;
        if (!sendWithTimeout(box, BM_SETCHECK, wanted, 0, &ignored))
            throw Error("control " + Quoted(selector) + " hangs");
        Press(box);
    }
    buttonCheck(box, &current);
    return static_cast<long long>(current);
}

bool PollUntil(DWORD timeoutMs, const std::function<bool()>& done)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, deadline - now)));
    }
}

} // namespace winauto
