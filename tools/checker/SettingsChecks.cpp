#include "tools/checker/SectionChecks.h"

#include "app/SettingsRules.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"
#include "tools/checker/CheckerText.h"
#include "tools/checker/MediumCheck.h"
#include "tools/checker/ValueChecks.h"

namespace {

constexpr char kSetupOnly[] = "Setup Only.";

} // namespace

void CheckSetupSpeed(CheckContext& check)
{
    const std::optional<std::string> speed = check.Find("Extend", "SetupSpeed");
    if (!speed) return;
    if (!StepDelayFromSetupSpeed(*speed))
        check.AddAt(Severity::Error, "Extend", "SetupSpeed", "setup-speed",
                    Quoted(*speed) + " is not an integer: the program stops with a fatal error at start");
    else if (BelowOne(*speed))
        check.AddAt(Severity::Warning, "Extend", "SetupSpeed", "setup-speed", "below 1: read as 1 ms");
}

void CheckOptionsEnabled(CheckContext& check)
{
    const std::string value = check.Get("Extend", "Enabled");
    if (value.empty() || value == "False" || SameName(value, "True")) return;
    if (SameName(value, "False"))
        check.AddAt(Severity::Error, "Extend", "Enabled", "keyword-case",
                    "only 'False' disables the options: " + Quoted(value) + " leaves them enabled");
    else
        check.AddAt(Severity::Warning, "Extend", "Enabled", "keyword-case",
                    "only 'False' disables the options: " + Quoted(value) + " leaves them enabled");
}

void CheckTitles(CheckContext& check)
{
    const std::optional<std::string> unSetup = check.Find("Title", "UnSetup");
    const std::string title = unSetup.value_or(check.Get("Title", "Setup"));
    if (MBPosText(kSetupOnly, title) == 0) return;
    check.AddAt(Severity::Warning, "Title", unSetup ? "UnSetup" : "Setup", "setup-only",
                std::string("holds 'Setup Only.'") + (unSetup ? "" : " (and [Title] UnSetup defaults to it)") +
                    ": no uninstall log and no uninstall entry are written, so the program cannot be removed");
}

// Keys whose default is lost when they are present but empty.
void CheckEmptyValues(CheckContext& check)
{
    const struct {
        const char *section, *key, *effect;
    } keys[] = {
        {"Title", "Setup", "the title is empty"},
        {"Title", "UnSetup", "the uninstall title is empty"},
        {"Extend", "SetupString", "every install message loses its word"},
        {"Extend", "UnSetupString", "every uninstall message loses its word"},
        {"DefaultFolder", "Folder", "the proposed folder is the root of the current drive"},
    };
    for (const auto& k : keys) {
        const std::optional<std::string> value = check.Find(k.section, k.key);
        if (value && value->empty())
            check.AddAt(Severity::Warning, k.section, k.key, "empty-value",
                        std::string("present but empty, which is not the default: ") + k.effect);
    }
}

void CheckUninstallOptions(CheckContext& check, const std::string& section, const std::string& key)
{
    const std::string value = check.Get(section, key);
    if (value.empty() || value == "DeleteAll") return;
    if (SameName(value, "DeleteAll")) {
        check.AddAt(Severity::Error, section, key, "keyword-case",
                    "only 'DeleteAll' empties the install folder: " + Quoted(value) + " ticks no box");
        return;
    }
    bool wellFormed = value.size() % 2 == 1 && value.size() <= 7;
    for (std::size_t i = 0; wellFormed && i < value.size(); ++i)
        wellFormed = i % 2 == 0 ? (value[i] == '0' || value[i] == '1') : value[i] == ',';
    if (!wellFormed)
        check.AddAt(Severity::Warning, section, key, "uninstall-options",
                    "neither 'DeleteAll' nor four 0/1 separated by commas: only a '1' at characters 1, 3, 5 and 7 "
                    "ticks a box");
}

void CheckDefaultFolder(CheckContext& check)
{
    if (const std::optional<std::string> folder = check.Find("DefaultFolder", "Folder"))
        CheckFolderMacros(check, "DefaultFolder", "Folder", *folder, true);
    const std::string registry = check.Get("DefaultFolder", "ReferRegistry");
    if (!registry.empty()) {
        CheckRootToken(check, "DefaultFolder", "ReferRegistry", GetToken(registry, ",", 1));
        CheckFolderMacros(check, "DefaultFolder", "ReferRegistry", registry, false);
    }
    const std::string ini = check.Get("DefaultFolder", "ReferIniFile");
    if (!ini.empty()) {
        CheckFolderMacros(check, "DefaultFolder", "ReferIniFile", ini, true);
        if (GetToken(ini, ",", 3).empty())
            check.AddAt(Severity::Error, "DefaultFolder", "ReferIniFile", "fields",
                        "needs section, key and file separated by commas: with no file nothing is read");
    }
}

void CheckReadme(CheckContext& check)
{
    const std::string file = check.Get("Readme", "File");
    if (!file.empty()) {
        CheckFolderMacros(check, "Readme", "File", file, false);
        if (check.Input().haveDistribution && !FindOnMedium(check.Input(), ReadmePath("", file)))
            check.AddAt(Severity::Error, "Readme", "File", "source-missing",
                        Quoted(ReadmePath("", file)) + " is not in the distribution folder: no read-me is shown");
    }
    const std::optional<std::string> bars = check.Find("Readme", "ScrollBars");
    if (!bars) return;
    for (const char* keyword : {"ssVertical", "ssHorizontal", "ssBoth"}) {
        if (*bars == keyword) return;
        if (SameName(*bars, keyword)) {
            check.AddAt(Severity::Error, "Readme", "ScrollBars", "keyword-case",
                        Quoted(*bars) + " is not '" + keyword +
                            "' (the case matters): the text gets the vertical bar only");
            return;
        }
    }
    check.AddAt(Severity::Warning, "Readme", "ScrollBars", "keyword-case",
                "not one of 'ssVertical', 'ssHorizontal', 'ssBoth': the text gets the vertical bar only");
}
