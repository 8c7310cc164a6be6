#include "uninstall/LogMerge.h"

#include <algorithm>

#include "support/MBUtils.h"
#include "support/ScriptLists.h"
#include "support/uStrOp.h"
#include "uninstall/ComponentRules.h"
#include "uninstall/NumberedKeys.h"
#include "uninstall/Protection.h"
#include "uninstall/UninstallRules.h"

namespace {

constexpr PendingList kListsInReadingOrder[] = {PendingList::DeleteFolder, PendingList::DeleteFiles,
                                                PendingList::DeleteShortCut, PendingList::DeleteRegistry,
                                                PendingList::AddDeleteFile};

void MergeRestoreEntry(const std::string& value, InstallRecord& record)
{
    const auto& slots = record.RestoreSlots();
    const bool held = std::any_of(slots.begin(), slots.end(),
                                  [&](const std::string& slot) { return MBPosText(value, slot) > 0; });
    if (!held) record.StoreRestoreEntry(value);
}

// The failure report's tag of an item of each list, in the order of PendingList.
constexpr const char* kTags[] = {"<Folder> ", "<File> ", "<ShortCut> ", "<Registry> ", "<File> "};

// A key that the uninstall of a log it does not trust leaves alone.
bool KeyNeedsTrust(const std::string& value)
{
    const RecordedKey key = SplitRecordedKey(value);
    return IsProtectedRegistryKey(RootOfToken(key.rootToken), NormalizedKeyPath(DelBackSlash(key.path, "B")), false);
}

class Everywhere : public FolderBounds {
public:
    bool Inside(const std::string&) const override { return true; }
};

} // namespace

void MergePreviousLog(const IniDocument& previous, InstallRecord& record)
{
    MergePreviousLog(previous, {true, true}, Everywhere(), {}, record);
}

FailureReport MergePreviousLog(const IniDocument& previous, const LogReach& reach, const FolderBounds& installFolder,
                               const GeneralKeys& words, InstallRecord& record)
{
    FailureReport leftOut;
    const std::string outsideReason = words.setupString + "フォルダの外にあるため，引き継ぎませんでした．\r\n";
    const std::string unbelievedReason =
        "以前の" + words.unSetupString + "情報が確かめられないため，引き継ぎませんでした．\r\n";
    // The first twenty keys are all read; after them the entries an install
    // saved beyond the table run up to the first empty key.
    for (std::size_t n = 1;; ++n) {
        const std::string value = previous.Get("RestoreRelate", "Key" + std::to_string(n));
        if (value.empty() && n > kRestoreSlots) break;
        if (value.empty()) continue;
        if (reach.outside)
            MergeRestoreEntry(value, record);
        else
            leftOut.Add("<Registry> ", "(Class)." + PathPart(value), unbelievedReason);
    }
    for (PendingList list : kListsInReadingOrder) {
        const PendingListKeys keys = KeysOf(list);
        const bool registry = list == PendingList::DeleteRegistry;
        for (int n = 1;; ++n) {
            const std::string value = previous.Get(keys.section, keys.prefix + std::to_string(n));
            if (value.empty()) break;
            // A file's flags follow its path; a shortcut's or folder's path may hold a comma.
            const bool file = list == PendingList::DeleteFiles || list == PendingList::AddDeleteFile;
            const std::string path = file ? SplitRecordedFile(value).path : value;
            const bool unbelieved = registry && (!reach.outside || (!reach.trusted && KeyNeedsTrust(value)));
            const bool outside = !registry && !reach.outside && !installFolder.Inside(path);
            // An item without a path reaches nothing; the log writer leaves it out too.
            if (unbelieved || (outside && !path.empty()))
                leftOut.Add(kTags[static_cast<std::size_t>(list)], path, unbelieved ? unbelievedReason : outsideReason);
            if (!unbelieved && !outside) record.Append(list, value);
        }
    }
    if (reach.trusted)
        for (const std::string& item : NumberedList(previous, kComponentDigestSection, kComponentDigestPrefix))
            record.AppendComponentDigest(item);
    return leftOut;
}
