// windriver: drives the GUI of programs under test (run under Wine) for the test runner.
// Every result is one JSON object per stdout line; exit code 0 = ok, 1 = not found or
// timed out (an {"error": ...} line is printed), 2 = usage error. The window work
// itself is WinAuto's, shared with TESSAUTO. A control's text comes with "answered":
// false when the control did not answer in time (or its window was busy and not
// asked): the text is then the caption the system keeps, not necessarily what it shows.

#include <windows.h>

#include <cstdint>
#include <cwctype>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "tools/windriver/WinAuto.h"

using namespace winauto;

namespace {

constexpr DWORD kPollMs = 100;
constexpr DWORD kDefaultTimeoutMs = 10000;
// The static control holding a message box's text.
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr wchar_t kDialogClass[] = L"#32770";

enum ExitCode { kOk = 0, kFailed = 1, kUsage = 2 };

constexpr char kUsageText[] = "usage: windriver list [--all] | dump | controls <caption> | wait <caption> | "
                              "waitgone <caption> | msgbox <caption> | press <caption> <button|#id> | "
                              "settext <caption> <#id> <text> | check <caption> <button|#id> <0|1> | "
                              "run <command line> | watch <folder>; "
                              "all but list and dump accept --timeout MS, and --hwnd to give a window handle "
                              "in place of the caption; press, settext and check wait for the control "
                              "to be usable";

struct Failure {
    int code;
    std::string message;
};

[[noreturn]] void fail(int code, std::string message) { throw Failure{code, std::move(message)}; }

// ---------------------------------------------------------------- output

// Non-ASCII passes through as raw UTF-8; only JSON's reserved characters are escaped.
std::string jsonString(std::string_view utf8)
{
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
    JsonObject& u8(std::string_view key, std::string_view value) { return raw(key, jsonString(value)); }
    JsonObject& str(std::string_view key, std::wstring_view value) { return u8(key, ToUtf8(value)); }
    JsonObject& num(std::string_view key, long long value) { return raw(key, std::to_string(value)); }
    JsonObject& flag(std::string_view key, bool value) { return raw(key, value ? "true" : "false"); }
    JsonObject& null(std::string_view key) { return raw(key, "null"); }
    JsonObject& raw(std::string_view key, std::string_view json)
    {
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
std::string jsonArray(const std::vector<T>& items, Format format)
{
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
void writeLine(const JsonObject& object)
{
    std::string line = object.text() + "\n";
    HANDLE out = gOutput ? gOutput : GetStdHandle(STD_OUTPUT_HANDLE);
    DWORD written = 0;
    WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

JsonObject& addBox(JsonObject& json, const Box& box)
{
    return json.num("left", box.left).num("top", box.top).num("width", box.width).num("height", box.height);
}

JsonObject windowJson(const WindowInfo& window)
{
    JsonObject json;
    json.num("hwnd", static_cast<long long>(window.handle))
        .u8("caption", window.caption)
        .u8("class", window.className)
        .flag("visible", window.visible)
        .flag("enabled", window.enabled);
    addBox(json, window.box);
    return json.num("pid", window.pid);
}

JsonObject controlJson(const ControlInfo& control)
{
    JsonObject json;
    json.num("hwnd", static_cast<long long>(control.handle))
        .u8("class", control.className)
        .num("id", control.id)
        .u8("text", control.text)
        .flag("answered", control.answered)
        .flag("enabled", control.enabled)
        .flag("visible", control.visible);
    if (control.checked)
        json.num("checked", *control.checked);
    else
        json.null("checked");
    if (control.buttonKind.empty())
        json.null("button");
    else
        json.u8("button", control.buttonKind);
    json.flag("readonly", control.readonly);
    return addBox(json, control.box);
}

// ---------------------------------------------------------------- window queries

long long handleNumber(HWND hwnd) { return static_cast<long long>(reinterpret_cast<uintptr_t>(hwnd)); }

// Set by --hwnd: the caption arguments are window handles, for windows that share a caption.
bool gCaptionIsHandle = false;

bool windowMatches(HWND hwnd, std::wstring_view caption)
{
    if (!gCaptionIsHandle) return WindowCaption(hwnd) == caption;
    return std::to_wstring(reinterpret_cast<uintptr_t>(hwnd)) == caption;
}

HWND findVisibleWindow(std::wstring_view caption, const wchar_t* requiredClass = nullptr)
{
    for (HWND hwnd : TopLevelWindows()) {
        if (!IsWindowVisible(hwnd) || !windowMatches(hwnd, caption)) continue;
        if (requiredClass && !IsClass(hwnd, requiredClass)) continue;
        return hwnd;
    }
    return nullptr;
}

HWND waitForWindow(std::wstring_view caption, DWORD timeoutMs, const wchar_t* requiredClass = nullptr)
{
    HWND found = nullptr;
    if (!PollUntil(timeoutMs, [&] { return (found = findVisibleWindow(caption, requiredClass)); }))
        fail(kFailed,
             std::string("timed out waiting for ") + (requiredClass ? "message box " : "window ") + Quoted(caption));
    return found;
}

// A bad #id is the caller's mistake, told before any window is looked for.
void requireValidSelector(std::wstring_view selector)
{
    if (IsIdSelector(selector) && !ParseId(selector)) fail(kUsage, "bad control id " + Quoted(selector));
}

// ---------------------------------------------------------------- commands

struct Args {
    std::vector<std::wstring> positional; // after the command name
    DWORD timeoutMs = kDefaultTimeoutMs;
    bool all = false;
};

int runList(const Args& args)
{
    for (HWND hwnd : TopLevelWindows())
        if (args.all || IsWindowVisible(hwnd)) writeLine(windowJson(DescribeWindow(hwnd)));
    return kOk;
}

// Every visible top-level window with its controls, one JSON line per window:
// the whole screen at once, so a watcher needs no call per window.
std::string screenDump()
{
    std::string dump;
    for (HWND hwnd : TopLevelWindows()) {
        if (!IsWindowVisible(hwnd)) continue;
        const WindowInfo window = DescribeWithControls(hwnd);
        dump += windowJson(window)
                    .flag("busy", window.busy)
                    .raw("controls", jsonArray(window.controls,
                                               [](const ControlInfo& control) { return controlJson(control).text(); }))
                    .text() +
                "\n";
    }
    return dump;
}

int runDump(const Args&)
{
    const std::string dump = screenDump();
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), dump.data(), static_cast<DWORD>(dump.size()), &written, nullptr);
    return kOk;
}

int runControls(const Args& args)
{
    HWND top = waitForWindow(args.positional[0], args.timeoutMs);
    for (HWND control : Descendants(top)) writeLine(controlJson(DescribeControl(top, control)));
    return kOk;
}

int runWait(const Args& args)
{
    writeLine(windowJson(DescribeWindow(waitForWindow(args.positional[0], args.timeoutMs))));
    return kOk;
}

int runWaitGone(const Args& args)
{
    const std::wstring& caption = args.positional[0];
    if (!PollUntil(args.timeoutMs, [&] { return !findVisibleWindow(caption); }))
        fail(kFailed, "timed out: window " + Quoted(caption) + " is still there");
    writeLine(JsonObject().str("gone", caption));
    return kOk;
}

int runMessageBox(const Args& args)
{
    HWND box = waitForWindow(args.positional[0], args.timeoutMs, kDialogClass);
    // Asked with a bound: GetDlgItemText would wait for a box whose thread is busy.
    HWND textControl = GetDlgItem(box, kMessageBoxTextId);
    const std::optional<std::wstring> asked = textControl ? AskText(textControl) : std::optional<std::wstring>(L"");

    std::vector<std::wstring> captions;
    std::vector<int> ids;
    for (HWND child : Descendants(box)) {
        if (GetAncestor(child, GA_PARENT) != box || !IsClass(child, L"Button")) continue;
        if (!IsWindowVisible(child)) continue;
        captions.push_back(WindowCaption(child));
        ids.push_back(GetDlgCtrlID(child));
    }
    writeLine(JsonObject()
                  .num("hwnd", handleNumber(box))
                  .str("caption", WindowCaption(box))
                  .str("text", asked ? *asked : WindowCaption(textControl))
                  .flag("answered", asked.has_value())
                  .raw("buttons", jsonArray(captions, [](const std::wstring& c) { return jsonString(ToUtf8(c)); }))
                  .raw("ids", jsonArray(ids, [](int id) { return std::to_string(id); })));
    return kOk;
}

// The control once a user could use it, within the call's timeout: a program
// enables its buttons when it is ready for them, and a window can be shown
// before that.
HWND waitForUsableControl(const Args& args, const std::wstring& selector)
{
    HWND top = waitForWindow(args.positional[0], args.timeoutMs);
    HWND control = FindControl(top, selector);
    PollUntil(args.timeoutMs, [&] { return !WhyUnusable(top, control, selector); });
    RequireUsable(top, control, selector);
    return control;
}

int runPress(const Args& args)
{
    const std::wstring& selector = args.positional[1];
    requireValidSelector(selector);
    HWND button = waitForUsableControl(args, selector);
    Press(button);
    writeLine(JsonObject().num("pressed", GetDlgCtrlID(button)));
    return kOk;
}

int runSetText(const Args& args)
{
    const std::wstring& selector = args.positional[1];
    if (!IsIdSelector(selector)) fail(kUsage, "settext needs a control as #id");
    requireValidSelector(selector);
    HWND edit = waitForUsableControl(args, selector);
    writeLine(JsonObject().str("text", SetText(edit, args.positional[2], selector)));
    return kOk;
}

int runCheck(const Args& args)
{
    const std::wstring& selector = args.positional[1];
    const std::wstring& state = args.positional[2];
    if (state != L"0" && state != L"1") fail(kUsage, "check state must be 0 or 1");
    requireValidSelector(selector);

    HWND box = waitForUsableControl(args, selector);
    if (!IsClass(box, L"Button")) fail(kFailed, "control " + Quoted(selector) + " is no button");
    writeLine(JsonObject().num("checked", SetCheck(box, state == L"1", selector)));
    return kOk;
}

// Starts a command line as the shell would (the program list's uninstall
// command, for one) and waits for its end: {"exit": code}.
int runCommandLine(const Args& args)
{
    std::wstring commandLine = args.positional[0];
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        fail(kFailed,
             "could not start " + Quoted(args.positional[0]) + " (error " + std::to_string(GetLastError()) + ")");
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
    size_t arity; // positional arguments after the name
    int (*run)(const Args&);
};

constexpr Command kCommands[] = {
    {L"list", 0, runList},       {L"dump", 0, runDump},         {L"controls", 1, runControls},
    {L"wait", 1, runWait},       {L"waitgone", 1, runWaitGone}, {L"msgbox", 1, runMessageBox},
    {L"press", 2, runPress},     {L"settext", 3, runSetText},   {L"check", 3, runCheck},
    {L"run", 1, runCommandLine}, {L"watch", 1, runWatch},
};

DWORD parseTimeout(const std::wstring& text)
{
    if (text.empty() || text.size() > 9) fail(kUsage, "bad timeout " + Quoted(text));
    for (wchar_t c : text)
        if (!std::iswdigit(c)) fail(kUsage, "bad timeout " + Quoted(text));
    return static_cast<DWORD>(std::stoul(text));
}

// Options may appear anywhere; "--" ends them so a caption may start with "--".
Args parseArgs(const Command& command, int argc, wchar_t** argv)
{
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
            fail(kUsage, "unexpected option " + Quoted(arg) + "; " + kUsageText);
        }
    }
    if (args.positional.size() != command.arity) fail(kUsage, "wrong number of arguments; " + std::string(kUsageText));
    return args;
}

// ---------------------------------------------------------------- watch

struct HandleCloser {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using OwnedFile = std::unique_ptr<void, HandleCloser>;

OwnedFile openFile(const std::wstring& path, DWORD access, DWORD disposition)
{
    HANDLE handle = CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    return OwnedFile(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

bool fileExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string readWholeFile(const std::wstring& path)
{
    std::string bytes;
    OwnedFile file = openFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) return bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) bytes.append(buffer, read);
    return bytes;
}

// Written aside and renamed over the old one: a reader sees the old file or the new, whole.
void replaceFile(const std::wstring& path, const std::string& bytes)
{
    const std::wstring aside = path + L".tmp";
    {
        OwnedFile file = openFile(aside, GENERIC_WRITE, CREATE_ALWAYS);
        if (!file) return;
        DWORD written = 0;
        WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    MoveFileExW(aside.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING);
}

int run(int argc, wchar_t** argv);

// One command of a watch's command file: tab-separated fields, the first its number.
void runWatchedCommand(const std::string& line)
{
    std::vector<std::wstring> fields{L"windriver"};
    size_t start = 0;
    for (size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
        fields.push_back(FromUtf8(std::string_view(line).substr(start, tab - start)));
    fields.push_back(FromUtf8(std::string_view(line).substr(start)));
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
    } catch (const Error& error) {
        writeLine(JsonObject().u8("error", error.what()));
        code = kFailed;
    }
    writeLine(JsonObject().str("done", number).num("code", code));
}

// Keeps FOLDER\windows.json up to date with the screen (every 100 ms) and runs
// the commands put into FOLDER\commands.txt, their output appended to
// FOLDER\results.txt, until FOLDER\stop exists: a watcher outside Wine then
// reads the screen without starting a program each time.
int runWatch(const Args& args)
{
    const std::wstring folder = args.positional[0];
    const std::wstring screen = folder + L"\\windows.json", commands = folder + L"\\commands.txt",
                       stop = folder + L"\\stop";
    OwnedFile results = openFile(folder + L"\\results.txt", GENERIC_WRITE, CREATE_ALWAYS);
    if (!results) fail(kFailed, "cannot write into " + Quoted(folder));
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

int run(int argc, wchar_t** argv)
{
    if (argc < 2) fail(kUsage, kUsageText);
    for (const Command& command : kCommands)
        if (std::wstring_view(argv[1]) == command.name) return command.run(parseArgs(command, argc, argv));
    fail(kUsage, "unknown command " + Quoted(argv[1]) + "; " + kUsageText);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
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
