#include "uninstall/LogMerge.h"

#include <algorithm>

#include "support/MBUtils.h"

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

} // namespace

void MergePreviousLog(const IniDocument& previous, InstallRecord& record)
{
    // The first twenty keys are all read; after them the entries an install
    // saved beyond the table run up to the first empty key.
    for (std::size_t n = 1;; ++n) {
        const std::string value = previous.Get("RestoreRelate", "Key" + std::to_string(n));
        if (value.empty() && n > kRestoreSlots) break;
        if (!value.empty()) MergeRestoreEntry(value, record);
    }
    for (PendingList list : kListsInReadingOrder) {
        const PendingListKeys keys = KeysOf(list);
        for (int n = 1;; ++n) {
            const std::string value = previous.Get(keys.section, keys.prefix + std::to_string(n));
            if (value.empty()) break;
            record.Append(list, value);
        }
    }
}
