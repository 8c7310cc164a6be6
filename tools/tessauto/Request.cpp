#include "tools/tessauto/Request.h"

#include "tools/tessauto/Text.h"

namespace tessauto {

const char kUsageText[] =
    "usage: TESSAUTO install DIST|NAME.EXE [/answers FILE] [/folder PATH] [/options d,s,u,t|none] [/log FILE] "
    "[/timeout SECONDS]\n"
    "       TESSAUTO uninstall KEY [/answers FILE] [/log FILE] [/timeout SECONDS]\n"
    "       TESSAUTO detect KEY\n"
    "exit codes: 0 done (detect: installed), 1 detect: not installed, 3010 done, restart needed, "
    "1641 done, restart started, "
    "1602 cancelled, 1603 failed, 1618 another install is running, 1639 bad command line";

namespace {

constexpr unsigned kMaxTimeoutSeconds = 7 * 24 * 3600;

unsigned parseSeconds(const std::string& text)
{
    if (text.empty() || text.size() > 7) throw UsageError("bad timeout '" + text + "'");
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') throw UsageError("bad timeout '" + text + "'");
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > kMaxTimeoutSeconds) throw UsageError("timeout out of range: " + text);
    return value;
}

} // namespace

ShortcutChoice ParseShortcutChoice(const std::string& list)
{
    ShortcutChoice choice;
    if (Lowered(Trimmed(list)) == "none") return choice;
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(',', start);
        const std::string item =
            Lowered(Trimmed(list.substr(start, comma == std::string::npos ? comma : comma - start)));
        if (item == "d")
            choice.desktop = true;
        else if (item == "s")
            choice.startMenu = true;
        else if (item == "u")
            choice.startUp = true;
        else if (item == "t")
            choice.sendTo = true;
        else
            throw UsageError("/options takes d, s, u and t separated by commas, or none; found '" + item + "'");
        if (comma == std::string::npos) return choice;
        start = comma + 1;
    }
}

Request ParseRequest(const std::vector<std::string>& args)
{
    if (args.empty()) throw UsageError("no command");
    Request request{};
    const std::string verb = Lowered(args[0]);
    if (verb == "install")
        request.verb = Request::Verb::Install;
    else if (verb == "uninstall")
        request.verb = Request::Verb::Uninstall;
    else if (verb == "detect")
        request.verb = Request::Verb::Detect;
    else
        throw UsageError("unknown command '" + args[0] + "'");

    std::vector<std::string> positional;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.size() < 2 || arg[0] != '/') {
            positional.push_back(arg);
            continue;
        }
        const std::string option = Lowered(arg);
        const bool known = option == "/answers" || option == "/folder" || option == "/options" || option == "/log" ||
                           option == "/timeout";
        if (!known) throw UsageError("unknown option '" + arg + "'");
        if (request.verb == Request::Verb::Detect) throw UsageError("detect takes no options");
        if ((option == "/folder" || option == "/options") && request.verb != Request::Verb::Install)
            throw UsageError(arg + " is for an install only");
        if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
        const std::string& value = args[++i];
        if (option == "/answers")
            request.answers = value;
        else if (option == "/folder")
            request.folder = value;
        else if (option == "/options")
            request.options = ParseShortcutChoice(value);
        else if (option == "/log")
            request.log = value;
        else
            request.timeoutSeconds = parseSeconds(value);
    }
    if (positional.size() != 1)
        throw UsageError(verb == "install" ? "install needs one distribution folder" : verb + " needs one key name");
    request.target = positional[0];
    if (request.target.empty())
        throw UsageError("the " + std::string(verb == "install" ? "folder" : "key") + " is empty");
    return request;
}

InstallProgram InstallProgramOf(const std::string& target)
{
    const bool single = target.size() > 4 && Lowered(target.substr(target.size() - 4)) == ".exe";
    if (single) {
        const size_t slash = target.find_last_of("\\/");
        return {target, slash == std::string::npos ? std::string() : target.substr(0, slash + 1)};
    }
    std::string folder = target;
    if (!folder.empty() && folder.back() != '\\') folder += '\\';
    return {folder + "SETUP.EXE", folder};
}

std::optional<std::string> LogPathOf(const std::string& uninstallString)
{
    const size_t open = uninstallString.find('"');
    if (open == std::string::npos) return std::nullopt;
    const size_t close = uninstallString.find('"', open + 1);
    if (close == std::string::npos || close == open + 1) return std::nullopt;
    return uninstallString.substr(open + 1, close - open - 1);
}

} // namespace tessauto
