#include "uninstall/UninstallRules.h"

#include "support/FileRules.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"

UninstallChoices ChoicesFromBoxes(const OptionBoxes& boxes)
{
    UninstallChoices choices;
    choices.deleteAll = boxes.firstChecked && !boxes.othersVisible;
    if (choices.deleteAll) return choices;
    if (boxes.firstChecked) choices.patterns += "*.INI|";
    if (boxes.secondChecked) choices.patterns += "*.GID|";
    return choices;
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

std::vector<std::string> JournalFiles(const std::string& text)
{
    std::vector<std::string> files;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        if (end > start) files.push_back(text.substr(start, end - start));
    return files;
}

bool IsUnknownInstallFolder(const std::string& field) { return field.empty() || field == "\\"; }
