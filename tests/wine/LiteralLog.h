#pragma once
// The log written and read the slow way, one profile call per key: the
// reference our in-memory log must equal, and the bench's comparison.

#include <windows.h>

#include <string>
#include <vector>

#include "support/SystemCodePage.h"
#include "support/uIniFile.h"
#include "support/uStrOp.h"
#include "uninstall/ComponentRules.h"
#include "uninstall/InstallRecord.h"
#include "uninstall/LogBuilder.h"
#include "uninstall/NumberedKeys.h"

inline int LiteralFindKeyNumber(const std::string& item, const std::string& section, const std::string& prefix,
                                const std::string& logPath)
{
    const std::string wanted = MapString(PathPart(item), LCMAP_UPPERCASE);
    for (int n = 1;; ++n) {
        const std::string value = PathPart(ReadIniStr(section, prefix + std::to_string(n), "", logPath));
        if (value.empty() || MapString(value, LCMAP_UPPERCASE) == wanted) return n;
    }
}

inline void WriteLiteralLog(const InstallRecord& record, const LogTexts& texts, const std::string& logPath)
{
    DeleteFileA(logPath.c_str());
    WriteIniStr("Information", "Message1", "Tessera Setup UnSetup(UnInstall) Initialize File", logPath);
    WriteIniStr("Information", "Message2", "！！！　警告　！！！", logPath);
    WriteIniStr("Information", "Message3", "このファイルをエディタなどで書き換えたり，削除しないでください．", logPath);
    WriteIniStr("Information", "Message4", "書き換えた場合，" + texts.unSetupString + "動作の保証はできません．",
                logPath);
    WriteIniStr("Title", "UnSetup", texts.uninstallTitle, logPath);
    WriteIniStr("SetupFolder", "Folder", texts.installFolder, logPath);
    for (PendingList list : {PendingList::DeleteFolder, PendingList::DeleteFiles, PendingList::DeleteShortCut,
                             PendingList::DeleteRegistry, PendingList::AddDeleteFile}) {
        const PendingListKeys keys = KeysOf(list);
        for (const std::string& item : record.Items(list)) {
            const int n = LiteralFindKeyNumber(item, keys.section, keys.prefix, logPath);
            const std::string key = keys.prefix + std::to_string(n);
            std::string value = item;
            if (list == PendingList::DeleteFiles) value = KeepSharedFlag(item, ReadIniStr(keys.section, key, "", logPath));
            WriteIniStr(keys.section, key, value, logPath);
        }
    }
    const std::vector<std::string>& slots = record.RestoreSlots();
    for (std::size_t i = 0; i < slots.size(); ++i)
        WriteIniStr("RestoreRelate", "Key" + std::to_string(i + 1), slots[i], logPath);
    if (!texts.unSetupOption.empty()) WriteIniStr("UnSetupOption", "CheckBox", texts.unSetupOption, logPath);
    WriteIniStr("Extend", "SetupString", texts.setupString, logPath);
    WriteIniStr("Extend", "UnSetupString", texts.unSetupString, logPath);
    WriteIniStr("UnSetupRegistryKey", "Key", texts.registryKey, logPath);
    WriteIniStr("ProgramID", "ID", texts.programId, logPath);
    for (const std::string& item : record.ComponentDigestItems()) {
        const int n = LiteralFindKeyNumber(item, kComponentDigestSection, kComponentDigestPrefix, logPath);
        WriteIniStr(kComponentDigestSection, kComponentDigestPrefix + std::to_string(n), item, logPath);
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, logPath.c_str()); // onto the disk
}

// A list read back key by key, up to the first empty one.
inline std::vector<std::string> ReadLiteralList(const std::string& section, const std::string& prefix,
                                                const std::string& logPath)
{
    std::vector<std::string> values;
    for (int n = 1;; ++n) {
        std::string value = ReadIniStr(section, prefix + std::to_string(n), "", logPath);
        if (value.empty()) return values;
        values.push_back(std::move(value));
    }
}
