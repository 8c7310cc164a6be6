#pragma once
// The names of the setup script and of the uninstall log, spelled here once:
// the files, every section and key, and the prefixes of numbered keys (a
// prefix followed by 1, 2, ...). The runs read and write through these names;
// the script checker builds its table of what is read from the two lists at
// the end, and the sandbox's Python is held to them by a test.

#include <initializer_list>

// ---------------------------------------------------------------- files

constexpr char kSetupScriptName[] = "SETUP.INI";
constexpr char kProgramName[] = "SETUP.EXE"; // the program on a medium
// The program's copy in its work folder, TSTMP1 to TSTMP99 of the temporary folder.
constexpr char kProgramCopyName[] = "SETUPT.EXE";
constexpr char kWorkFolderPrefix[] = "TSTMP";
constexpr int kWorkFolderLimit = 99;

// The log in the install folder, and the backup of a previous one in the work folder.
constexpr char kLogName[] = "UNSETUP.INI";
constexpr char kLogBackupName[] = "UNSETUPT.INI";
// The new log is written under the first name beside the old one; once it is
// whole on disk it takes the second, and then the log's own. So a file under
// the second name is always a whole log, and one under the first never counts.
constexpr char kPartialLogName[] = "UNSETUP.TMP";
constexpr char kNewLogName[] = "UNSETUP.NEW";
// The shared counts an uninstall has lowered, beside the log while it runs.
constexpr char kJournalName[] = "UNSETUP.JNL";

// In the Windows folder, shared by every product installed with the program.
constexpr char kUninstallerName[] = "UNTESSR.EXE";
constexpr char kProgramListName[] = "TESSREG.INI";

// ---------------------------------------------------------------- sections

namespace section {
// The script's.
constexpr char kDefaultFolder[] = "DefaultFolder";
constexpr char kReadme[] = "Readme";
constexpr char kTopMessage[] = "TopMessage";
constexpr char kMakeFolder[] = "MakeFolder";
constexpr char kCopyFile[] = "CopyFile";
constexpr char kShortCut[] = "ShortCut";
constexpr char kRegistry[] = "Registry";
constexpr char kIniFile[] = "IniFile";
constexpr char kRelate[] = "Relate";
constexpr char kExecuteFile[] = "ExecuteFile";
// Both: the log takes them over from the script.
constexpr char kTitle[] = "Title";
constexpr char kExtend[] = "Extend";
constexpr char kProgramID[] = "ProgramID";
constexpr char kSetupFolder[] = "SetupFolder";
constexpr char kDeleteRegistry[] = "DeleteRegistry";
constexpr char kAddDeleteFile[] = "AddDeleteFile";
// The log's.
constexpr char kInformation[] = "Information";
constexpr char kDeleteFolder[] = "DeleteFolder";
constexpr char kDeleteFile[] = "DeleteFile";
constexpr char kDeleteShortCut[] = "DeleteShortCut";
constexpr char kRestoreRelate[] = "RestoreRelate";
constexpr char kUnSetupOption[] = "UnSetupOption";
constexpr char kUnSetupRegistryKey[] = "UnSetupRegistryKey";
// The digests of the components the install registered: File<n> = path,digest.
constexpr char kComponentDigest[] = "ComponentDigest";
} // namespace section

// ---------------------------------------------------------------- keys

namespace key {
constexpr char kSetup[] = "Setup";
constexpr char kUnSetup[] = "UnSetup";
constexpr char kUnSetupKey[] = "UnSetupKey";
constexpr char kUnSetupDisplay[] = "UnSetupDisplay";
constexpr char kCopyRight1[] = "CopyRight1";
constexpr char kCopyRight2[] = "CopyRight2";
// The details of the Add/Remove entry.
constexpr char kDisplayVersion[] = "DisplayVersion";
constexpr char kPublisher[] = "Publisher";
constexpr char kURLInfoAbout[] = "URLInfoAbout";
constexpr char kDisplayIcon[] = "DisplayIcon";
constexpr char kID[] = "ID";
constexpr char kSetupString[] = "SetupString";
constexpr char kUnSetupString[] = "UnSetupString";
constexpr char kSetupSpeed[] = "SetupSpeed";
constexpr char kEnabled[] = "Enabled";
constexpr char kUnSetupOption[] = "UnSetupOption";
constexpr char kReferRegistry[] = "ReferRegistry";
constexpr char kReferIniFile[] = "ReferIniFile";
constexpr char kTitle[] = "Title";
constexpr char kScrollBars[] = "ScrollBars";
constexpr char kCheckBox[] = "CheckBox";
// Single keys in some sections, numbered in others.
constexpr char kFolder[] = "Folder";
constexpr char kFile[] = "File";
constexpr char kKey[] = "Key";
// Only numbered.
constexpr char kMessage[] = "Message";
constexpr char kMake[] = "Make";
constexpr char kName[] = "Name";
constexpr char kValue[] = "Value";
constexpr char kData[] = "Data";
} // namespace key

// The highest numbers read where a gap does not end the keys.
constexpr int kTopMessageLines = 5;
constexpr int kInformationLines = 4;
constexpr int kRelatePairs = 20;

// ---------------------------------------------------------------- what is read

struct SchemaKey {
    const char* name;
    bool numbered = false; // name + 1, 2, ...
    int most = 0;          // the highest number read; 0 for a list up to its first empty key
};

struct SchemaSection {
    const char* name;
    std::initializer_list<SchemaKey> keys;
};

inline constexpr SchemaSection kScriptSchema[] = {
    {section::kTitle,
     {{key::kSetup},
      {key::kUnSetup},
      {key::kUnSetupKey},
      {key::kUnSetupDisplay},
      {key::kCopyRight1},
      {key::kCopyRight2},
      {key::kDisplayVersion},
      {key::kPublisher},
      {key::kURLInfoAbout},
      {key::kDisplayIcon}}},
    {section::kProgramID, {{key::kID}}},
    {section::kExtend,
     {{key::kSetupString}, {key::kUnSetupString}, {key::kSetupSpeed}, {key::kEnabled}, {key::kUnSetupOption}}},
    {section::kDefaultFolder, {{key::kFolder}, {key::kReferRegistry}, {key::kReferIniFile}}},
    {section::kReadme, {{key::kFile}, {key::kTitle}, {key::kScrollBars}}},
    {section::kTopMessage, {{key::kMessage, true, kTopMessageLines}}},
    {section::kMakeFolder, {{key::kFolder, true}}},
    {section::kCopyFile, {{key::kFile, true}}},
    {section::kShortCut, {{key::kMake, true}, {key::kName, true}}},
    {section::kRegistry, {{key::kKey, true}, {key::kName, true}, {key::kValue, true}}},
    {section::kIniFile, {{key::kData, true}}},
    {section::kRelate, {{key::kName, true, kRelatePairs}, {key::kFile, true, kRelatePairs}}},
    {section::kDeleteRegistry, {{key::kKey, true}}},
    {section::kAddDeleteFile, {{key::kFile, true}}},
    {section::kExecuteFile, {{key::kFile}}},
};

// In the order the log writer writes them. Title and Extend also hold the keys
// the main window reads in uninstall mode as it reads them from a script.
inline constexpr SchemaSection kLogSchema[] = {
    {section::kInformation, {{key::kMessage, true, kInformationLines}}},
    {section::kTitle, {{key::kSetup}, {key::kUnSetup}, {key::kCopyRight1}, {key::kCopyRight2}}},
    {section::kSetupFolder, {{key::kFolder}}},
    {section::kDeleteFolder, {{key::kFolder, true}}},
    {section::kDeleteFile, {{key::kFile, true}}},
    {section::kDeleteShortCut, {{key::kFile, true}}},
    {section::kDeleteRegistry, {{key::kKey, true}}},
    {section::kAddDeleteFile, {{key::kFile, true}}},
    {section::kRestoreRelate, {{key::kKey, true}}},
    {section::kUnSetupOption, {{key::kCheckBox}}},
    {section::kExtend, {{key::kSetupString}, {key::kUnSetupString}, {key::kSetupSpeed}, {key::kEnabled}}},
    {section::kUnSetupRegistryKey, {{key::kKey}}},
    {section::kProgramID, {{key::kID}}},
    {section::kComponentDigest, {{key::kFile, true}}},
};
