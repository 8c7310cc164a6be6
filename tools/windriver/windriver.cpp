// windriver: drives the GUI of programs under test (run under Wine) for the test runner.
// Every result is one JSON object per stdout line; exit code 0 = ok, 1 = not found or
// timed out (an {"error": ...} line is printed), 2 = usage error.

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cwchar>
#include <cwctype>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kDefaultTimeoutMs = 10000;
// Bound every message sent to another process, so a hung target can't hang us.
constexpr UINT kSendTimeoutMs = 3000;
constexpr UINT kQuickAnswerMs = 50;
// The static control holding a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr wchar_t kDialogClass[] = L"#32770";

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

constexpr char kUsageText[] =
    "usage: windriver list [--all] | dump | controls <caption> | wait <caption> | "
    "waitgone <caption> | msgbox <caption> | press <caption> <button|#id> | "
    "settext <caption> <#id> <text> | check <caption> <button|#id> <0|1> | "
    "run <command line> | watch <folder>; "
    "all but list and dump accept --timeout MS, and --hwnd to give a window handle "
    "in place of the caption";

struct Failure {
    int code;
    std::string message;
};

[[noreturn]] void fail(int code, std::string message) {
    throw Failure{code, std::move(message)};
}

// ---------------------------------------------------------------- output

std::string toUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                   nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(),
                        size, nullptr, nullptr);
    return out;
}

std::string quoted(std::wstring_view text) { return "\"" + toUtf8(text) + "\""; }

// Non-ASCII passes through as raw UTF-8; only JSON's reserved characters are escaped.
std::string jsonString(std::string_view utf8) {
    static const char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

class JsonObject {
public:
    JsonObject& u8(std::string_view key, std::string_view value) {
        return raw(key, jsonString(value));
    }
    JsonObject& str(std::string_view key, std::wstring_view value) {
        return u8(key, toUtf8(value));
    }
    JsonObject& num(std::string_view key, long long value) {
        return raw(key, std::to_string(value));
    }
    JsonObject& flag(std::string_view key, bool value) {
        return raw(key, value ? "true" : "false");
    }
    JsonObject& null(std::string_view key) { return raw(key, "null"); }
    JsonObject& raw(std::string_view key, std::string_view json) {
        if (body_.size() > 1) body_ += ", ";
        body_ += jsonString(key);
        body_ += ": ";
        body_ += json;
        return *this;
    }
    std::string text() const { return body_ + "}"; }

private:
    std::string body_ = "{";
};

template <typename T, typename Format>
std::string jsonArray(const std::vector<T>& items, Format format) {
    std::string out = "[";
    for (size_t i = 0; i < items.size(); ++i) {
        if (i) out += ", ";
        out += format(items[i]);
    }
    return out + "]";
}

// Where results go: stdout, or the results file of a watch.
HANDLE gOutput = nullptr;

// WriteFile, not iostreams: the bytes must reach the file unchanged and unbuffered.
void writeLine(const JsonObject& object) {
    std::string line = object.text() + "\n";
    HANDLE out = gOutput ? gOutput : GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

// ---------------------------------------------------------------- window queries

long long handleNumber(HWND hwnd) {
    return static_cast<long long>(reinterpret_cast<uintptr_t>(hwnd));
}

// GetWindowTextW never sends a message to another process's window, so it can't block.
std::wstring windowCaption(HWND hwnd) {
    int length = GetWindowTextLengthW(hwnd);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(hwnd, text.data(), length + 1)));
    return text;
}

std::wstring className(HWND hwnd) {
    wchar_t name[256] = {};
    GetClassNameW(hwnd, name, 256);
    return name;
}

bool isClass(HWND hwnd, const wchar_t* name) { return _wcsicmp(className(hwnd).c_str(), name) == 0; }

bool sendWithTimeout(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result) {
    return SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG | SMTO_BLOCK,
                               kSendTimeoutMs, result) != 0;
}

// Controls such as edits keep their text themselves, so ask them with WM_GETTEXT.
std::wstring controlText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!sendWithTimeout(hwnd, WM_GETTEXTLENGTH, 0, 0, &length)) return windowCaption(hwnd);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!sendWithTimeout(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                         &copied))
        return windowCaption(hwnd);
    text.resize(copied);
    return text;
}

// A named function: lambdas can't convert to the stdcall callback type on i686.
BOOL CALLBACK collectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

std::vector<HWND> topLevelWindows() {
    std::vector<HWND> found;
    EnumWindows(collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<HWND> descendants(HWND parent) {
    std::vector<HWND> found;
    EnumChildWindows(parent, collectWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Set by --hwnd: the caption arguments are window handles, for windows that share a caption.
bool gCaptionIsHandle = false;

bool windowMatches(HWND hwnd, std::wstring_view caption) {
    if (!gCaptionIsHandle) return windowCaption(hwnd) == caption;
    return std::to_wstring(reinterpret_cast<uintptr_t>(hwnd)) == caption;
}

HWND findVisibleWindow(std::wstring_view caption, const wchar_t* requiredClass = nullptr) {
    for (HWND hwnd : topLevelWindows()) {
        if (!IsWindowVisible(hwnd) || !windowMatches(hwnd, caption)) continue;
        if (requiredClass && !isClass(hwnd, requiredClass)) continue;
        return hwnd;
    }
    return nullptr;
}

bool pollUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (done()) return true;
        ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        Sleep(static_cast<DWORD>(std::min<ULONGLONG>(kPollMs, deadline - now)));
    }
}

HWND waitForWindow(std::wstring_view caption, DWORD timeoutMs,
                   const wchar_t* requiredClass = nullptr) {
    HWND found = nullptr;
    if (!pollUntil(timeoutMs, [&] { return (found = findVisibleWindow(caption, requiredClass)); }))
        fail(kFailed, std::string("timed out waiting for ") +
                          (requiredClass ? "message box " : "window ") + quoted(caption));
    return found;
}

// Screen rectangle of `hwnd`, optionally relative to the client area of `origin`.
RECT windowRect(HWND hwnd, HWND origin = nullptr) {
    RECT rect = {};
    GetWindowRect(hwnd, &rect);
    if (origin) MapWindowPoints(HWND_DESKTOP, origin, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

JsonObject& addRect(JsonObject& json, const RECT& rect) {
    return json.num("left", rect.left)
        .num("top", rect.top)
        .num("width", rect.right - rect.left)
        .num("height", rect.bottom - rect.top);
}

JsonObject describeWindow(HWND hwnd) {
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    JsonObject json;
    json.num("hwnd", handleNumber(hwnd))
        .str("caption", windowCaption(hwnd))
        .str("class", className(hwnd))
        .flag("visible", IsWindowVisible(hwnd))
        .flag("enabled", IsWindowEnabled(hwnd));
    addRect(json, windowRect(hwnd));
    return json.num("pid", pid);
}

bool buttonCheck(HWND button, DWORD_PTR* state) {
    return sendWithTimeout(button, BM_GETCHECK, 0, 0, state);
}

// What a Button control is: "default" is the push button that Enter presses.
const wchar_t* buttonKind(LONG_PTR style) {
    switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON: return L"push";
    case BS_DEFPUSHBUTTON: return L"default";
    case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE: return L"check";
    case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON: return L"radio";
    case BS_GROUPBOX: return L"group";
    default: return L"other";
    }
}

// A window whose thread is busy (a program that sleeps between steps without
// reading its messages) is described from what the system keeps, without a
// message: asking would hold up every look at the screen for seconds.
bool answersQuickly(HWND top) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(top, WM_NULL, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kQuickAnswerMs, &ignored) != 0;
}

JsonObject describeControl(HWND top, HWND control, bool ask = true) {
    JsonObject json;
    json.num("hwnd", handleNumber(control))
        .str("class", className(control))
        .num("id", GetDlgCtrlID(control))
        .str("text", ask ? controlText(control) : windowCaption(control))
        .flag("enabled", IsWindowEnabled(control))
        .flag("visible", IsWindowVisible(control));
    DWORD_PTR state = 0;
    if (ask && isClass(control, L"Button") && buttonCheck(control, &state))
        json.num("checked", static_cast<long long>(state));
    else
        json.null("checked");
    const LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    if (isClass(control, L"Button"))
        json.str("button", buttonKind(style));
    else
        json.null("button");
    json.flag("readonly", isClass(control, L"Edit") && (style & ES_READONLY));
    return addRect(json, windowRect(control, top));
}

// ---------------------------------------------------------------- control lookup

// "&Next" and "Next" name the same button; "&&" is a literal ampersand.
std::wstring withoutAccelerators(std::wstring_view text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        else if (text[i] == L'&') continue;
        out += text[i];
    }
    return out;
}

bool isIdSelector(std::wstring_view selector) { return !selector.empty() && selector[0] == L'#'; }

int parseId(std::wstring_view selector) {
    std::wstring digits(selector.substr(1));
    if (digits.empty() || digits.size() > 9) fail(kUsage, "bad control id " + quoted(selector));
    for (wchar_t c : digits)
        if (!std::iswdigit(c)) fail(kUsage, "bad control id " + quoted(selector));
    return std::stoi(digits);
}

// Accepts the caption as shown ("Next") or as written ("&Next").
bool captionMatches(HWND control, std::wstring_view wanted) {
    if (!isClass(control, L"Button")) return false;
    std::wstring text = controlText(control);
    return text == wanted || withoutAccelerators(text) == wanted;
}

// `#<id>` matches any control; a caption matches Button controls only. Hidden wizard pages
// reuse ids and captions, so a visible match wins over an earlier hidden one.
HWND findControl(HWND top, std::wstring_view selector) {
    const bool byId = isIdSelector(selector);
    const int id = byId ? parseId(selector) : 0;
    HWND firstMatch = nullptr;
    for (HWND control : descendants(top)) {
        bool matches = byId ? GetDlgCtrlID(control) == id : captionMatches(control, selector);
        if (!matches) continue;
        if (IsWindowVisible(control)) return control;
        if (!firstMatch) firstMatch = control;
    }
    if (!firstMatch)
        fail(kFailed, "no control " + quoted(selector) + " in window " + quoted(windowCaption(top)));
    return firstMatch;
}

// Refuse what a user couldn't do: act on a hidden or disabled control, or on a window
// disabled by a modal dialog in front of it.
void requireUsable(HWND top, HWND control, std::wstring_view selector) {
    if (!IsWindowVisible(control)) fail(kFailed, "control " + quoted(selector) + " is invisible");
    for (HWND hwnd = control; hwnd; hwnd = GetAncestor(hwnd, GA_PARENT)) {
        if (!IsWindowEnabled(hwnd))
            fail(kFailed, "control " + quoted(selector) +
                              (hwnd == control ? " is disabled" : " is in a disabled window"));
        if (hwnd == top) break;
    }
}

// Posted, not sent: the handler may open a modal dialog and must not block us.
void postClick(HWND control) {
    HWND parent = GetAncestor(control, GA_PARENT);
    WPARAM wParam = MAKEWPARAM(static_cast<WORD>(GetDlgCtrlID(control)), BN_CLICKED);
    if (!PostMessageW(parent, WM_COMMAND, wParam, reinterpret_cast<LPARAM>(control)))
        fail(kFailed, "could not post the click (error " + std::to_string(GetLastError()) + ")");
}

// ---------------------------------------------------------------- commands

struct Args {
    std::vector<std::wstring> positional;  // after the command name
    DWORD timeoutMs = kDefaultTimeoutMs;
    bool all = false;
};

int runList(const Args& args) {
    for (HWND hwnd : topLevelWindows())
        if (args.all || IsWindowVisible(hwnd)) writeLine(describeWindow(hwnd));
    return kOk;
}

// Every visible top-level window with its controls, one JSON line per window:
// the whole screen at once, so a watcher needs no call per window.
std::string screenDump() {
    std::string dump;
    for (HWND hwnd : topLevelWindows()) {
        if (!IsWindowVisible(hwnd)) continue;
        std::vector<HWND> controls = descendants(hwnd);
        const bool ask = answersQuickly(hwnd);
        dump += describeWindow(hwnd)
                    .flag("busy", !ask)
                    .raw("controls", jsonArray(controls, [&](HWND control) {
                        return describeControl(hwnd, control, ask).text();
                    }))
                    .text() +
                "\n";
    }
    return dump;
}

int runDump(const Args&) {
    const std::string dump = screenDump();
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), dump.data(), static_cast<DWORD>(dump.size()), &written, nullptr);
    return kOk;
}

int runControls(const Args& args) {
    HWND top = waitForWindow(args.positional[0], args.timeoutMs);
    for (HWND control : descendants(top)) writeLine(describeControl(top, control));
    return kOk;
}

int runWait(const Args& args) {
    writeLine(describeWindow(waitForWindow(args.positional[0], args.timeoutMs)));
    return kOk;
}

int runWaitGone(const Args& args) {
    const std::wstring& caption = args.positional[0];
    if (!pollUntil(args.timeoutMs, [&] { return !findVisibleWindow(caption); }))
        fail(kFailed, "timed out: window " + quoted(caption) + " is still there");
    writeLine(JsonObject().str("gone", caption));
    return kOk;
}

int runMessageBox(const Args& args) {
    HWND box = waitForWindow(args.positional[0], args.timeoutMs, kDialogClass);
    HWND textControl = GetDlgItem(box, kMessageBoxTextId);
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(textControl)) + 1, L'\0');
    text.resize(GetDlgItemTextW(box, kMessageBoxTextId, text.data(), static_cast<int>(text.size())));

    std::vector<std::wstring> captions;
    std::vector<int> ids;
    for (HWND child : descendants(box)) {
        if (GetAncestor(child, GA_PARENT) != box || !isClass(child, L"Button")) continue;
        if (!IsWindowVisible(child)) continue;
        captions.push_back(windowCaption(child));
        ids.push_back(GetDlgCtrlID(child));
    }
    writeLine(JsonObject()
                  .num("hwnd", handleNumber(box))
                  .str("caption", windowCaption(box))
                  .str("text", text)
                  .raw("buttons", jsonArray(captions, [](const std::wstring& c) {
                           return jsonString(toUtf8(c));
                       }))
                  .raw("ids", jsonArray(ids, [](int id) { return std::to_string(id); })));
    return kOk;
}

int runPress(const Args& args) {
    const std::wstring& selector = args.positional[1];
    if (isIdSelector(selector)) parseId(selector);
    HWND top = waitForWindow(args.positional[0], args.timeoutMs);
    HWND button = findControl(top, selector);
    requireUsable(top, button, selector);
    postClick(button);
    writeLine(JsonObject().num("pressed", GetDlgCtrlID(button)));
    return kOk;
}

int runSetText(const Args& args) {
    const std::wstring& selector = args.positional[1];
    if (!isIdSelector(selector)) fail(kUsage, "settext needs a control as #id");
    parseId(selector);
    HWND top = waitForWindow(args.positional[0], args.timeoutMs);
    HWND edit = findControl(top, selector);
    requireUsable(top, edit, selector);
    DWORD_PTR ignored = 0;
    if (!sendWithTimeout(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.positional[2].c_str()),
                         &ignored))
        fail(kFailed, "control " + quoted(selector) + " did not answer WM_SETTEXT");
    writeLine(JsonObject().str("text", controlText(edit)));
    return kOk;
}

int runCheck(const Args& args) {
    const std::wstring& selector = args.positional[1];
    const std::wstring& state = args.positional[2];
    if (state != L"0" && state != L"1") fail(kUsage, "check state must be 0 or 1");
    if (isIdSelector(selector)) parseId(selector);
    const DWORD_PTR wanted = state == L"1" ? BST_CHECKED : BST_UNCHECKED;

    HWND top = waitForWindow(args.positional[0], args.timeoutMs);
    HWND box = findControl(top, selector);
    if (!isClass(box, L"Button")) fail(kFailed, "control " + quoted(selector) + " is no button");
    requireUsable(top, box, selector);
    DWORD_PTR current = 0;
    if (!buttonCheck(box, &current)) fail(kFailed, "control " + quoted(selector) + " hangs");
    if (current != wanted) {
        DWORD_PTR ignored = 0;
        if (!sendWithTimeout(box, BM_SETCHECK, wanted, 0, &ignored))
            fail(kFailed, "control " + quoted(selector) + " hangs");
        postClick(box);
    }
    buttonCheck(box, &current);
    writeLine(JsonObject().num("checked", static_cast<long long>(current)));
    return kOk;
}

// Starts a command line as the shell would (the program list's uninstall
// command, for one) and waits for its end: {"exit": code}.
int runCommandLine(const Args& args) {
    std::wstring commandLine = args.positional[0];
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        fail(kFailed, "could not start " + quoted(args.positional[0]) + " (error " +
                          std::to_string(GetLastError()) + ")");
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hProcess);
    writeLine(JsonObject().num("exit", code));
    return kOk;
}

int runWatch(const Args& args);

struct Command {
    const wchar_t* name;
    size_t arity;  // positional arguments after the name
    int (*run)(const Args&);
};

constexpr Command kCommands[] = {
    {L"list", 0, runList},         {L"dump", 0, runDump},         {L"controls", 1, runControls},
    {L"wait", 1, runWait},
    {L"waitgone", 1, runWaitGone}, {L"msgbox", 1, runMessageBox}, {L"press", 2, runPress},
    {L"settext", 3, runSetText},   {L"check", 3, runCheck},       {L"run", 1, runCommandLine},
    {L"watch", 1, runWatch},
};

DWORD parseTimeout(const std::wstring& text) {
    if (text.empty() || text.size() > 9) fail(kUsage, "bad timeout " + quoted(text));
    for (wchar_t c : text)
        if (!std::iswdigit(c)) fail(kUsage, "bad timeout " + quoted(text));
    return static_cast<DWORD>(std::stoul(text));
}

// Options may appear anywhere; "--" ends them so a caption may start with "--".
Args parseArgs(const Command& command, int argc, wchar_t** argv) {
    Args args;
    bool optionsEnded = false;
    for (int i = 2; i < argc; ++i) {
        std::wstring arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg.compare(0, 2, L"--") != 0) {
            args.positional.push_back(arg);
        } else if (arg == L"--") {
            optionsEnded = true;
        } else if (arg == L"--all" && command.run == runList) {
            args.all = true;
        } else if (arg == L"--timeout" && command.arity > 0 && i + 1 < argc) {
            args.timeoutMs = parseTimeout(argv[++i]);
        } else if (arg == L"--hwnd" && command.arity > 0) {
            gCaptionIsHandle = true;
        } else {
            fail(kUsage, "unexpected option " + quoted(arg) + "; " + kUsageText);
        }
    }
    if (args.positional.size() != command.arity)
        fail(kUsage, "wrong number of arguments; " + std::string(kUsageText));
    return args;
}

// ---------------------------------------------------------------- watch

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedFile = std::unique_ptr<void, HandleCloser>;

OwnedFile openFile(const std::wstring& path, DWORD access, DWORD disposition) {
    HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return OwnedFile(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readWholeFile(const std::wstring& path) {
    std::string bytes;
    OwnedFile file = openFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

// Written aside and renamed over the old one: a reader sees the old file or the new, whole.
void replaceFile(const std::wstring& path, const std::string& bytes) {
    const std::wstring aside = path + L".tmp";
    {
        OwnedFile file = openFile(aside, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file) return;
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

std::wstring fromUtf8(std::string_view text) {
    if (text.empty()) return {};
    int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

int run(int argc, wchar_t** argv);

// One command of a watch's command file: tab-separated fields, the first its number.
void runWatchedCommand(const std::string& line) {
    std::vector<std::wstring> fields{L"windriver"};
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(fromUtf8(std::string_view(line).substr(start, tab - start)));
    fields.push_back(fromUtf8(std::string_view(line).substr(start)));
    const std::wstring number = fields[1];
    fields.erase(fields.begin() + 1);
    std::vector<wchar_t*> argv;
    for (std::wstring& field : fields) argv.push_back(field.data());
    int code = kOk;
    gCaptionIsHandle = false;
    try {
        code = run(static_cast<int>(argv.size()), argv.data());
    } catch (const Failure& failure) {
        writeLine(JsonObject().u8("error", failure.message));
        code = failure.code;
    }
    writeLine(JsonObject().str("done", number).num("code", code));
}

// Keeps FOLDER\windows.json up to date with the screen (every 100 ms) and runs
// the commands put into FOLDER\commands.txt, their output appended to
// FOLDER\results.txt, until FOLDER\stop exists: a watcher outside Wine then
// reads the screen without starting a program each time.
int runWatch(const Args& args) {
    const std::wstring folder = args.positional[0];
    const std::wstring screen = folder + L"\\windows.json", commands = folder + L"\\commands.txt",
                       stop = folder + L"\\stop";
    OwnedFile results = openFile(folder + L"\\results.txt", GENERIC_WRITE, CREATE_ALWAYS);
    if (!results) fail(kFailed, "cannot write into " + quoted(folder));
    while (!fileExists(stop)) {
        replaceFile(screen, screenDump());
        if (fileExists(commands)) {
            const std::string text = readWholeFile(commands);
            DeleteFileW(commands.c_str());
            gOutput = results.get();
            size_t start = 0;
            for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
                if (end > start) runWatchedCommand(text.substr(start, end - start));
            gOutput = nullptr;
        }
        Sleep(kPollMs);
    }
    return kOk;
}

int run(int argc, wchar_t** argv) {
    if (argc < 2) fail(kUsage, kUsageText);
    for (const Command& command : kCommands)
        if (std::wstring_view(argv[1]) == command.name)
            return command.run(parseArgs(command, argc, argv));
    fail(kUsage, "unknown command " + quoted(argv[1]) + "; " + kUsageText);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        return run(argc, argv);
    } catch (const Failure& failure) {
        writeLine(JsonObject().u8("error", failure.message));
        return failure.code;
    } catch (const std::exception& error) {
        writeLine(JsonObject().u8("error", error.what()));
        return kFailed;
    }
}
