#include "tools/checker/SectionChecks.h"

#include <iterator>
#include <set>

#include "install/AssociationRules.h"
#include "install/RegistryRules.h"
#include "log/LogValues.h"
#include "support/Protection.h"
#include "support/ScriptLists.h"
#include "support/uStrOp.h"
#include "tools/checker/CheckerText.h"
#include "tools/checker/ValueChecks.h"

namespace {

constexpr int kRelatePairs = 20;
const char* const kTypeTokens[] = {"(Str)", "(Exp)", "(Int)", "(Dwd)", "(Bin)"};
constexpr char kStripMarker[] = "(Pdd)";

void CheckRegistryValue(CheckContext& check, const std::string& key, const std::string& value)
{
    const std::string section = "Registry";
    const std::string unmarked = ReplaceToken(value, kStripMarker, "");
    const std::string type = LeftStr(unmarked, 5), data = MidStr(unmarked, 6);
    if (!IsAnyOf(type, std::begin(kTypeTokens), std::end(kTypeTokens), true)) {
        if (IsAnyOf(type, std::begin(kTypeTokens), std::end(kTypeTokens), false))
            check.AddAt(Severity::Error, section, key, "keyword-case",
                        Quoted(type) + " is not a type token (the case matters): the value is written as the string " +
                            Quoted(unmarked));
        return;
    }
    if ((type == "(Int)" || type == "(Dwd)") && !ParseRegistryNumber(data))
        check.AddAt(Severity::Error, section, key, "registry-value",
                    Quoted(data) +
                        " is no 32-bit number (digits, or '$' and hexadecimal digits): the value 0 is written");
    if (type == "(Bin)" && !ParseRegistryNumber("$" + data))
        check.AddAt(Severity::Error, section, key, "registry-value",
                    Quoted(data) + " is not one to eight hexadecimal digits: nothing is written");
}

} // namespace

void CheckRegistry(CheckContext& check)
{
    const std::string section = "Registry";
    const int end = check.ListEnd(section, "Key");
    for (int n = 1; n < end; ++n) {
        const std::string keyKey = Numbered("Key", n), valueKey = Numbered("Value", n);
        const std::string keyText = check.Get(section, keyKey);
        CheckRootToken(check, section, keyKey, keyText);
        CheckFolderMacros(check, section, keyKey, keyText, false);
        const std::string value = check.Get(section, valueKey);
        CheckFolderMacros(check, section, valueKey, value, true, [](const Token& t) {
            return SameName(t.text, kStripMarker) ||
                   IsAnyOf(t.text, std::begin(kTypeTokens), std::end(kTypeTokens), false);
        });
        CheckRegistryValue(check, valueKey, value);
    }
}

// [DeleteRegistry] keys, in the script and in the log: the uninstall takes
// a root token only when the first character is "(" and the seventh ")".
void CheckDeletedKeys(CheckContext& check)
{
    const std::string section = "DeleteRegistry";
    const std::vector<std::string> keys = NumberedList(check.Script(), section, "Key");
    for (std::size_t i = 0; i < keys.size(); ++i) {
        const std::string key = Numbered("Key", static_cast<int>(i + 1));
        const std::string& text = keys[i];
        CheckFolderMacros(check, section, key, text, false);
        const RecordedKey recorded = SplitRecordedKey(text);
        if (text[0] == '(' && recorded.path == text) {
            check.AddAt(Severity::Error, section, key, "registry-key",
                        "begins with '(' but has no seven-character root token: the whole text is a key of the current "
                        "user's, and that is what the uninstall deletes");
            continue;
        }
        if (text[0] == '(' && !IsAnyOf(recorded.rootToken, std::begin(kRootTokens), std::end(kRootTokens), true)) {
            const bool caseOnly = IsAnyOf(recorded.rootToken, std::begin(kRootTokens), std::end(kRootTokens), false);
            check.AddAt(Severity::Error, section, key, caseOnly ? "keyword-case" : "registry-key",
                        Quoted(recorded.rootToken) + " is not a root token" + (caseOnly ? " (the case matters)" : "") +
                            ": the uninstall deletes the current user's key of that path instead");
            continue;
        }
        if (LastNameEmpty(recorded.path) ||
            IsProtectedRegistryKey(RootOfToken(recorded.rootToken), NormalizedKeyPath(recorded.path)))
            check.AddAt(Severity::Warning, section, key, "protected-key",
                        "a key the system stands on (or none at all): the uninstall refuses to delete it");
    }
}

void CheckAssociations(CheckContext& check)
{
    const std::string section = "Relate";
    std::set<std::string> extensions;
    for (int n = 1; n <= kRelatePairs; ++n) {
        const std::string nameKey = Numbered("Name", n), fileKey = Numbered("File", n);
        const std::string name = check.Get(section, nameKey), file = check.Get(section, fileKey);
        if (name.empty() && file.empty()) continue;
        if (name.empty() || file.empty()) {
            check.AddAt(Severity::Error, section, name.empty() ? fileKey : nameKey, "relate-pair",
                        "without " + (name.empty() ? nameKey : fileKey) +
                            ": the pair is skipped, no association is made");
            continue;
        }
        CheckFolderMacros(check, section, fileKey, file, true);
        const Association association = ParseAssociation(name, Symbolic(file));
        if (association.program.empty())
            check.AddAt(Severity::Error, section, fileKey, "fields",
                        "fewer than three fields (verb, program, ..., icon index): the association has no program");
        else
            CheckInstalledTarget(check, section, fileKey, association.program);
        const std::string& extension = association.extension;
        if (extension.empty() || extension[0] == '.')
            check.AddAt(Severity::Error, section, nameKey, "extension",
                        extension.empty()
                            ? "no extension before the comma: the key '.' is associated"
                            : "the extension is written with its dot: the key '." + extension + "' is associated");
        else if (!UsableExtension(extension))
            check.AddAt(Severity::Warning, section, nameKey, "extension",
                        "an extension with a backslash: the uninstall refuses to restore it");
        if (!extension.empty() && !extensions.insert(FoldedName(extension)).second)
            check.AddAt(Severity::Warning, section, nameKey, "extension",
                        "the extension " + Quoted(extension) +
                            " is associated twice: the later pair overwrites the "
                            "earlier");
    }
}

void CheckSavedAssociations(CheckContext& check)
{
    const std::vector<std::string> values = NumberedList(check.Script(), "RestoreRelate", "Key");
    for (std::size_t i = 0; i < values.size(); ++i)
        if (!UsableExtension(SplitSavedAssociation(values[i]).extension))
            check.AddAt(Severity::Warning, "RestoreRelate", Numbered("Key", static_cast<int>(i + 1)), "extension",
                        "no usable extension before the comma: the uninstall does not restore it");
}
