#include "log/InstallRecord.h"

#include "log/LogSchema.h"

PendingListKeys KeysOf(PendingList list)
{
    switch (list) {
    case PendingList::DeleteFolder: return {section::kDeleteFolder, key::kFolder};
    case PendingList::DeleteFiles: return {section::kDeleteFile, key::kFile};
    case PendingList::DeleteShortCut: return {section::kDeleteShortCut, key::kFile};
    case PendingList::DeleteRegistry: return {section::kDeleteRegistry, key::kKey};
    case PendingList::AddDeleteFile: return {section::kAddDeleteFile, key::kFile};
    }
    return {"", ""};
}

void InstallRecord::Append(PendingList list, const std::string& item)
{
    lists_[static_cast<std::size_t>(list)].push_back(item);
}

const std::vector<std::string>& InstallRecord::Items(PendingList list) const
{
    return lists_[static_cast<std::size_t>(list)];
}

void InstallRecord::StoreRestoreEntry(const std::string& entry)
{
    if (!entry.empty()) restoreSlots_.push_back(entry); // an empty text is what a free slot holds
}
