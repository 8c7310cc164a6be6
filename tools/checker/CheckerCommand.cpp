#include "tools/checker/CheckerCommand.h"

#include <algorithm>

#include "support/CodePage.h"

namespace {

constexpr char kUsage[] = "usage: checker SETUP.INI [--dist DIR] [--json]\n";

} // namespace

int RunChecker(const std::vector<std::string>& arguments, const CheckerSystem& system, CheckerOutput& output)
{
    std::string& out = output.out;
    std::string& err = output.err;
    std::string script, folder;
    bool json = false, haveFolder = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--json") {
            json = true;
        } else if (argument == "--dist" && i + 1 < arguments.size() && !haveFolder) {
            folder = arguments[++i];
            haveFolder = true;
        } else if (argument == "--help" || argument == "-h") {
            out += kUsage;
            return 0;
        } else if (argument.rfind("-", 0) == 0 || !script.empty()) {
            err += kUsage;
            return 2;
        } else {
            script = argument;
        }
    }
    if (script.empty()) {
        err += kUsage;
        return 2;
    }

    // A path as the lines for people show it.
    const auto shown = [&](const std::string& path) {
        return system.cp932Paths ? Converted(path, system.textForm) : path;
    };
    CheckInput input;
    const std::optional<std::string> text = system.readFile(script);
    if (!text) {
        err += "checker: cannot read " + shown(script) + "\n";
        return 2;
    }
    input.text = *text;
    input.kind = KindOfFile(script);
    if (haveFolder) {
        std::optional<std::vector<DistributionFile>> files = system.listFolder(folder);
        if (!files) {
            err += "checker: cannot read the folder " + shown(folder) + "\n";
            return 2;
        }
        input.haveDistribution = true;
        input.distribution = std::move(*files);
    }

    // The script is code page 932, whatever the machine that checks it.
    UseCodePage(JapaneseCodePage());
    const std::vector<Finding> findings = CheckScript(input);
    if (json) {
        const std::string file = system.cp932Paths ? Converted(script, system.utf8) : script;
        out += FindingsJson(file, findings, system.utf8);
        output.outUtf8 = true;
    } else {
        const std::string file = shown(script);
        for (const Finding& finding : findings) out += FindingText(file, finding, system.textForm) + "\n";
    }
    const bool errors =
        std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Severity::Error; });
    return errors ? 1 : 0;
}
