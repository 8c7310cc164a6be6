#include "app/ScriptSettings.h"

#include "support/FileOps.h"
#include "support/Registry.h"
#include "support/uIniFile.h"

LoadedSettings LoadScriptSettings(const IniDocument& script, RunMode mode, const std::string& sourceFolder,
                                  const FolderTable& folders)
{
    SettingsSources sources;
    sources.readScript = [&script](const std::string& section, const std::string& key,
                                   const std::string& defaultValue) {
        return script.Find(section, key).value_or(defaultValue);
    };
    sources.readIniFile = [](const std::string& file, const std::string& section, const std::string& key,
                             const std::string& defaultValue) { return ReadIniStr(section, key, defaultValue, file); };
    sources.readRegistry = [](const RegistryKeyName& key, const std::string& valueName) {
        return ReadRegistryString(key, valueName);
    };
    sources.fileExists = FileExists;
    sources.sourceFolder = sourceFolder;
    return LoadSettings(mode, sources, folders);
}
