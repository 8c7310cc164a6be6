#include "log/RegistrationRules.h"

#include "log/LogSchema.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

std::string WithoutOuterBackslashes(std::string name)
{
    for (std::string trimmed; (trimmed = DelBackSlash(name, "B")) != name;) name = trimmed;
    for (std::string trimmed; (trimmed = DelBackSlash(name, "T")) != name;) name = trimmed;
    return name;
}

} // namespace

LogScriptKeys ReadLogScriptKeys(const IniDocument& script, const std::string& uninstallTitle)
{
    LogScriptKeys keys;
    keys.unSetupKey = script.Find(section::kTitle, key::kUnSetupKey).value_or(uninstallTitle);
    keys.unSetupDisplay = script.Find(section::kTitle, key::kUnSetupDisplay).value_or(keys.unSetupKey);
    keys.unSetupOption = script.Get(section::kExtend, key::kUnSetupOption);
    keys.displayVersion = script.Get(section::kTitle, key::kDisplayVersion);
    keys.publisher = script.Get(section::kTitle, key::kPublisher);
    keys.urlInfoAbout = script.Get(section::kTitle, key::kURLInfoAbout);
    keys.displayIcon = script.Get(section::kTitle, key::kDisplayIcon);
    return keys;
}

std::uint32_t EstimatedSizeKb(std::uint64_t bytes)
{
    const std::uint64_t kb = bytes / 1024 + (bytes % 1024 != 0 ? 1 : 0);
    return kb > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(kb);
}

std::string DisplayIcon(const std::string& scriptIcon, const std::string& uninstallerPath)
{
    return scriptIcon.empty() ? uninstallerPath : scriptIcon;
}

std::string AsideLogName(int n) { return n == 0 ? "UNSETUP.OLD" : "UNSETUP" + std::to_string(n) + ".OLD"; }

bool IsSetupOnly(const std::string& uninstallTitle) { return MBPosText("Setup Only.", uninstallTitle) > 0; }

std::string UninstallKeyName(const std::string& unSetupKey, const std::string& programId)
{
    for (const std::string& candidate : {unSetupKey, programId}) {
        const std::string name = WithoutOuterBackslashes(candidate);
        if (!name.empty()) return name;
    }
    return kProductTitle;
}

std::string UninstallDisplayName(const std::string& unSetupDisplay, const std::string& keyName)
{
    return unSetupDisplay.empty() ? keyName : unSetupDisplay;
}

std::string UninstallCommand(const std::string& uninstallerPath, const std::string& logPath)
{
    return uninstallerPath + " \"" + logPath + "\"";
}

std::string KeyCreationFailedText(const std::string& keyPath) { return "ｷｰ " + keyPath + " の作成に失敗しました"; }

std::string ValueNotSetText(const std::string& valueName) { return "'" + valueName + "' の設定に失敗しました"; }

std::string RegistrationStartText(const std::string& unSetupString)
{
    return unSetupString + "情報を更新しています．しばらくお待ちください．．．";
}
