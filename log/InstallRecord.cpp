#include "log/InstallRecord.h"

PendingListKeys KeysOf(PendingList list)
{
    switch (list) {
    case PendingList::DeleteFolder: return {"DeleteFolder", "Folder"};
    case PendingList::DeleteFiles: return {"DeleteFile", "File"};
    case PendingList::DeleteShortCut: return {"DeleteShortCut", "File"};
    case PendingList::DeleteRegistry: return {"DeleteRegistry", "Key"};
    case PendingList::AddDeleteFile: return {"AddDeleteFile", "File"};
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
