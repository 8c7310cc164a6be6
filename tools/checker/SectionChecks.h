#pragma once
// What each section's values will make the program do: one check a section
// (or a key), each adding its findings to the context.

#include <string>

#include "tools/checker/CheckContext.h"

// [Title], [Extend], [DefaultFolder], [Readme] (SettingsChecks.cpp)
void CheckSetupSpeed(CheckContext& check);
void CheckOptionsEnabled(CheckContext& check);
void CheckTitles(CheckContext& check);
void CheckEmptyValues(CheckContext& check);
void CheckUninstallOptions(CheckContext& check, const std::string& section, const std::string& key);
void CheckDefaultFolder(CheckContext& check);
void CheckReadme(CheckContext& check);

// Folders, files, shortcuts, INI files and the program run at the end, and
// the files an uninstall log records (FileEntryChecks.cpp). [MakeFolder]
// before [CopyFile], and both before the entries that name an installed file.
void CheckMakeFolders(CheckContext& check);
void CheckCopyFiles(CheckContext& check);
void CheckShortcuts(CheckContext& check);
void CheckIniFiles(CheckContext& check);
void CheckExecuteFile(CheckContext& check);
void CheckRecordedFiles(CheckContext& check, const std::string& section);

// Registry values, deleted keys and file types (RegistryChecks.cpp).
void CheckRegistry(CheckContext& check);
void CheckDeletedKeys(CheckContext& check);
void CheckAssociations(CheckContext& check);
void CheckSavedAssociations(CheckContext& check);
