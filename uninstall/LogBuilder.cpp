#include "uninstall/LogBuilder.h"

#include "uninstall/ComponentRules.h"
#include "uninstall/NumberedKeys.h"

namespace {

constexpr PendingList kListsInWritingOrder[] = {PendingList::DeleteFolder, PendingList::DeleteFiles,
                                                PendingList::DeleteShortCut, PendingList::DeleteRegistry,
                                                PendingList::AddDeleteFile};

const char* ProgressWord(PendingList list)
{
    switch (list) {
    case PendingList::DeleteFolder: return "削除フォルダ";
    case PendingList::DeleteFiles: return "削除ファイル";
    case PendingList::DeleteShortCut: return "削除ショートカット";
    case PendingList::DeleteRegistry: return "削除レジストリ";
    case PendingList::AddDeleteFile: return "追加削除ファイル";
    }
    return "";
}

std::string ProgressText(const std::string& unSetupString, const std::string& word)
{
    return unSetupString + "情報(" + word + ")を更新しています．しばらくお待ちください．．．";
}

NumberedKeys NumberItems(const std::vector<std::string>& items, bool keepShared)
{
    NumberedKeys keys;
    for (const std::string& item : items) {
        // Readers stop at the first key whose path reads back empty.
        if (PathPart(IniDocument::ReadBack(item)).empty()) continue;
        const int n = keys.FindKeyNumber(item);
        keys.Store(n, keepShared ? KeepSharedFlag(item, keys.ValueAt(n)) : item);
    }
    return keys;
}

void WriteNumbered(IniDocument& log, const char* section, const std::string& prefix, const NumberedKeys& numbered)
{
    const std::vector<std::string>& values = numbered.Values();
    for (std::size_t i = 0; i < values.size(); ++i) log.Set(section, prefix + std::to_string(i + 1), values[i]);
}

} // namespace

IniDocument BuildUninstallLog(const InstallRecord& record, const LogTexts& texts, const ProgressCallback& progress)
{
    IniDocument log;
    log.Set("Information", "Message1", "Tessera Setup UnSetup(UnInstall) Initialize File");
    log.Set("Information", "Message2", "！！！　警告　！！！");
    log.Set("Information", "Message3", "このファイルをエディタなどで書き換えたり，削除しないでください．");
    log.Set("Information", "Message4", "書き換えた場合，" + texts.unSetupString + "動作の保証はできません．");
    log.Set("Title", "UnSetup", texts.uninstallTitle);
    log.Set("SetupFolder", "Folder", texts.installFolder);

    for (PendingList list : kListsInWritingOrder) {
        progress(ProgressText(texts.unSetupString, ProgressWord(list)));
        const PendingListKeys keys = KeysOf(list);
        WriteNumbered(log, keys.section, keys.prefix, NumberItems(record.Items(list), list == PendingList::DeleteFiles));
    }

    progress(ProgressText(texts.unSetupString, "復元関連付け"));
    const std::vector<std::string>& slots = record.RestoreSlots();
    for (std::size_t i = 0; i < slots.size(); ++i) log.Set("RestoreRelate", "Key" + std::to_string(i + 1), slots[i]);

    if (!texts.unSetupOption.empty()) log.Set("UnSetupOption", "CheckBox", texts.unSetupOption);
    log.Set("Extend", "SetupString", texts.setupString);
    log.Set("Extend", "UnSetupString", texts.unSetupString);
    log.Set("UnSetupRegistryKey", "Key", texts.registryKey);
    log.Set("ProgramID", "ID", texts.programId);
    WriteNumbered(log, kComponentDigestSection, kComponentDigestPrefix, NumberItems(record.ComponentDigestItems(), false));
    return log;
}
