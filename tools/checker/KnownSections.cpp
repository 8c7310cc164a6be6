#include "tools/checker/KnownSections.h"

const std::vector<KnownSection> kScriptSections = {
    {"Title", {{"Setup"}, {"UnSetup"}, {"UnSetupKey"}, {"UnSetupDisplay"}, {"CopyRight1"}, {"CopyRight2"}}},
    {"ProgramID", {{"ID"}}},
    {"Extend", {{"SetupString"}, {"UnSetupString"}, {"SetupSpeed"}, {"Enabled"}, {"UnSetupOption"}}},
    {"DefaultFolder", {{"Folder"}, {"ReferRegistry"}, {"ReferIniFile"}}},
    {"Readme", {{"File"}, {"Title"}, {"ScrollBars"}}},
    {"TopMessage", {{"Message", true, 5}}},
    {"MakeFolder", {{"Folder", true}}},
    {"CopyFile", {{"File", true}}},
    {"ShortCut", {{"Make", true}, {"Name", true}}},
    {"Registry", {{"Key", true}, {"Name", true}, {"Value", true}}},
    {"IniFile", {{"Data", true}}},
    {"Relate", {{"Name", true, 20}, {"File", true, 20}}},
    {"DeleteRegistry", {{"Key", true}}},
    {"AddDeleteFile", {{"File", true}}},
    {"ExecuteFile", {{"File"}}},
};

const std::vector<KnownSection> kLogSections = {
    {"Information", {{"Message", true, 4}}},
    {"Title", {{"Setup"}, {"UnSetup"}, {"CopyRight1"}, {"CopyRight2"}}},
    {"SetupFolder", {{"Folder"}}},
    {"DeleteFolder", {{"Folder", true}}},
    {"DeleteFile", {{"File", true}}},
    {"DeleteShortCut", {{"File", true}}},
    {"DeleteRegistry", {{"Key", true}}},
    {"AddDeleteFile", {{"File", true}}},
    {"RestoreRelate", {{"Key", true}}},
    {"UnSetupOption", {{"CheckBox"}}},
    {"Extend", {{"SetupString"}, {"UnSetupString"}, {"SetupSpeed"}, {"Enabled"}}},
    {"UnSetupRegistryKey", {{"Key"}}},
    {"ProgramID", {{"ID"}}},
};

const std::vector<KnownList> kScriptLists = {
    {"MakeFolder", "Folder", {}},           {"CopyFile", "File", {}}, {"ShortCut", "Make", {}},
    {"Registry", "Key", {"Name", "Value"}}, {"IniFile", "Data", {}},  {"DeleteRegistry", "Key", {}},
    {"AddDeleteFile", "File", {}},
};

const std::vector<KnownList> kLogLists = {
    {"DeleteFolder", "Folder", {}}, {"DeleteFile", "File", {}},    {"DeleteShortCut", "File", {}},
    {"DeleteRegistry", "Key", {}},  {"AddDeleteFile", "File", {}}, {"RestoreRelate", "Key", {}},
};

const std::vector<KnownSection>& KnownSections(DocumentKind kind)
{
    return kind == DocumentKind::UninstallLog ? kLogSections : kScriptSections;
}

const std::vector<KnownList>& KnownLists(DocumentKind kind)
{
    return kind == DocumentKind::UninstallLog ? kLogLists : kScriptLists;
}
