#include "app/ScriptSettings.h"

#include "app/RegistryRead.h"
#include "support/FileOps.h"
#include "support/uIniFile.h"

LoadedSettings LoadScriptSettings(const std::string& workingScript, RunMode mode, const std::string& sourceFolder)
{
    SettingsSources sources;
    sources.readScript = [&workingScript](const std::string& section, const std::string& key,
                                          const std::string& defaultValue) {
        return ReadIniStr(section, key, defaultValue, workingScript);
    };
    sources.readIniFile = [](const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue) { return ReadIniStr(section, key, defaultValue, file); };
    sources.readRegistry = [](const RegistryKeyName& key, const std::string& valueName) {
        return ReadRegistryString(key, valueName);
    };
    sources.fileExists = FileExists;
    sources.sourceFolder = sourceFolder;
    return LoadSettings(mode, sources, Folders());
}
