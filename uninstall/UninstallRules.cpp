#include "uninstall/UninstallRules.h"

#include "support/FileRules.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

constexpr std::size_t kFlagLength = 5;
constexpr std::size_t kRootTokenLength = 7;

std::string AsciiUpper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

UninstallChoices ChoicesFromBoxes(const OptionBoxes& boxes)
{
    UninstallChoices choices;
    choices.deleteAll = boxes.firstChecked && !boxes.othersVisible;
    if (choices.deleteAll) return choices;
    if (boxes.firstChecked) choices.patterns += "*.INI|";
    if (boxes.secondChecked) choices.patterns += "*.GID|";
    return choices;
}

RecordedFile SplitRecordedFile(const std::string& value)
{
    const int comma = MBPos(",", value);
    if (comma == 0) return {value, {}};
    return {value.substr(0, static_cast<std::size_t>(comma - 1)),
            value.substr(static_cast<std::size_t>(comma - 1), kFlagLength)};
}

bool HasRecordedFlag(const RecordedFile& file, char letter)
{
    return MBPosText(std::string("/") + letter, file.flags) > 0;
}

UncountedFile DecideUncountedFile(const RecordedFile& file, const std::string& windowsFolder,
                                  const std::string& systemFolder)
{
    if (HasRecordedFlag(file, 'C')) return UncountedFile::Ask;
    if (HasRecordedFlag(file, 'L')) return UncountedFile::Keep;
    if (HasRecordedFlag(file, 'F')) return UncountedFile::Delete;
    if (!IsOcxOrDll(file.path)) return UncountedFile::Delete;
    const std::string path = UpperCase(file.path);
    const auto holds = [&](const std::string& folder) { return !folder.empty() && MBPos(UpperCase(folder), path) > 0; };
    return holds(windowsFolder) || holds(systemFolder) ? UncountedFile::AskSystemDll : UncountedFile::Delete;
}

std::string ConfirmDeletionText(const std::string& path)
{
    return path + "\r\rこのファイルを削除してもよろしいですか？\r\r<<　注意　>>\r"
                  "DLL/OCXなどは他のプログラムでも使用される可能性があります．\r"
                  "確実に使用されないことがわかっている場合のみ削除してください．";
}

std::string SystemDllText(const std::string& path)
{
    return path + "\r\rこのDLL/OCXファイルは，共有登録されていませんが，\r今後，他のプログラムで使われる可能性があります．\r"
                  "このファイルを削除してもよろしいですか？";
}

std::string UnusedSharedFileText(const std::string& path)
{
    return path + "\r\rこの共有ファイルは，現在，他のどのプログラムからも使われていません．\r"
                  "しかし，今後，他のプログラムで使われる可能性があります．\rこのファイルを削除してもよろしいですか？";
}

RecordedKey SplitRecordedKey(const std::string& value)
{
    if (value.size() >= kRootTokenLength && value[0] == '(' && value[kRootTokenLength - 1] == ')')
        return {value.substr(0, kRootTokenLength), value.substr(kRootTokenLength)};
    return {"(Cuser)", value};
}

RegistryRoot RootOfToken(const std::string& rootToken)
{
    if (rootToken == "(Class)") return RegistryRoot::ClassesRoot;
    if (rootToken == "(Local)") return RegistryRoot::LocalMachine;
    if (rootToken == "(Users)") return RegistryRoot::Users;
    return RegistryRoot::CurrentUser;
}

SavedAssociation SplitSavedAssociation(const std::string& value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos) return {value, {}};
    return {value.substr(0, comma), value.substr(comma + 1)};
}

std::string AutoFileType(const std::string& extension) { return extension + "_auto_file"; }

bool IsOwnFileType(const std::string& previous, const std::string& extension)
{
    return AsciiUpper(previous) == AsciiUpper(AutoFileType(extension));
}

std::vector<std::string> JournalFiles(const std::string& text)
{
    std::vector<std::string> files;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        if (end > start) files.push_back(text.substr(start, end - start));
    return files;
}

bool IsUnknownInstallFolder(const std::string& field) { return field.empty() || field == "\\"; }
