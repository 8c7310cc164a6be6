#include "uninstall/ComponentRules.h"

#include "support/CodePage.h"
#include "support/MBUtils.h"
#include "support/ScriptLists.h"
#include "uninstall/NumberedKeys.h"
#include "uninstall/Protection.h"

ComponentLoad DecideComponentLoad(ComponentBytes bytes, bool guarded)
{
    switch (bytes) {
    case ComponentBytes::Vouched: return {true, guarded};
    case ComponentBytes::Unknown: return {guarded, guarded};
    case ComponentBytes::Changed: break;
    }
    return {};
}

bool IsGuardedFolder(const std::string& folder, const std::string& systemFolder, const std::string& windowsFolder,
                     const std::string& programFiles)
{
    if (IsRoot(folder)) return false;
    if (folder == systemFolder || folder == windowsFolder) return true;
    return !IsRoot(programFiles) && IsSameOrUnder(folder, programFiles);
}

ComponentBytes JudgeComponentBytes(const std::string& digest, const std::string& expected)
{
    if (expected.empty()) return ComponentBytes::Unknown;
    return digest == expected ? ComponentBytes::Vouched : ComponentBytes::Changed;
}

bool RegisteredByInstall(const std::string& value)
{
    const std::size_t comma = value.find(',');
    return comma != std::string::npos && MBPosText("/R", value.substr(comma)) > 0;
}

std::string RecordedDigest(const IniDocument& log, const std::string& path)
{
    const std::string wanted = UpperCase(path);
    std::string found;
    for (const std::string& item : NumberedList(log, kComponentDigestSection, kComponentDigestPrefix))
        if (UpperCase(PathPart(item)) == wanted) found = item.substr(item.rfind(',') + 1);
    return found;
}
