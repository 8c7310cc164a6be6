#pragma once
// What an install records for its uninstall, while it runs: five pending
// lists of things to remove, the association restore table and the digests of
// the components it registered.

#include <array>
#include <string>
#include <vector>

// In the order the log writes them.
// (DeleteFiles, not DeleteFile: windows.h makes that name a macro.)
enum class PendingList { DeleteFolder, DeleteFiles, DeleteShortCut, DeleteRegistry, AddDeleteFile };
constexpr std::size_t kPendingListCount = 5;
// The restore table's keys that are read even with gaps between them; an
// install saves further associations in the keys after them.
constexpr std::size_t kRestoreSlots = 20;

// The log section of a list and the prefix of its numbered keys.
struct PendingListKeys {
    const char* section;
    const char* prefix;
};
PendingListKeys KeysOf(PendingList list);

class InstallRecord {
public:
    // Items keep their order of arrival; repeats are merged when the log is written.
    // An item is kept whole: it is never split at a "|" or any other byte.
    void Append(PendingList list, const std::string& item);
    const std::vector<std::string>& Items(PendingList list) const;

    // The restore table, filled from slot 1 without gaps.
    const std::vector<std::string>& RestoreSlots() const { return restoreSlots_; }
    // Puts the entry into the next slot (none for an empty entry). Beyond the
    // twenty slots it goes on: no association is left without its saved value.
    void StoreRestoreEntry(const std::string& entry);

    // "path,digest" of a registered component; a later item for the same path
    // replaces an earlier one when the log is written.
    void AppendComponentDigest(const std::string& item) { componentDigests_.push_back(item); }
    const std::vector<std::string>& ComponentDigestItems() const { return componentDigests_; }

private:
    std::array<std::vector<std::string>, kPendingListCount> lists_;
    std::vector<std::string> restoreSlots_;
    std::vector<std::string> componentDigests_;
};
