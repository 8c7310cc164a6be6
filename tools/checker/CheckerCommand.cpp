#include "tools/checker/CheckerCommand.h"

#include <algorithm>

#include "support/CodePage.h"

namespace {

constexpr char kUsage[] = "usage: checker SETUP.INI [--dist DIR] [--json]\n";

} // namespace

int RunChecker(const std::vector<std::string>& arguments, const CheckerSystem& system, std::string& out,
               std::string& err)
{
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

    CheckInput input;
    const std::optional<std::string> text = system.readFile(script);
    if (!text) {
        err += "checker: cannot read " + script + "\n";
        return 2;
    }
    input.text = *text;
    input.kind = KindOfFile(script);
    if (haveFolder) {
        std::optional<std::vector<DistributionFile>> files = system.listFolder(folder);
        if (!files) {
            err += "checker: cannot read the folder " + folder + "\n";
            return 2;
        }
        input.haveDistribution = true;
        input.distribution = std::move(*files);
    }

    // The script is code page 932, whatever the machine that checks it.
    UseCodePage(JapaneseCodePage());
    const std::vector<Finding> findings = CheckScript(input);
    const Cp932Converter& convert = json ? system.utf8 : system.textForm;
    const std::string file = system.cp932Paths ? Converted(script, convert) : script;
    if (json) {
        out += FindingsJson(file, findings, convert);
    } else {
        for (const Finding& finding : findings) out += FindingText(file, finding, convert) + "\n";
    }
    const bool errors =
        std::any_of(findings.begin(), findings.end(), [](const Finding& f) { return f.severity == Severity::Error; });
    return errors ? 1 : 0;
}
