#include "app/SystemFolders.h"

#include <windows.h>
#include <shlobj.h>

#include <memory>

#include "app/RegistryRead.h"
#include "support/FileOps.h"

namespace {

constexpr char kCurrentVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

struct ReleaseMalloc {
    void operator()(IMalloc* allocator) const { allocator->Release(); }
};
using UniqueMalloc = std::unique_ptr<IMalloc, ReleaseMalloc>;

// An item list owned together with the allocator that frees it.
class OwnedItemList {
public:
    explicit OwnedItemList(IMalloc& allocator) : allocator_(allocator) {}
    ~OwnedItemList()
    {
        if (list_) allocator_.Free(list_);
    }
    OwnedItemList(const OwnedItemList&) = delete;
    OwnedItemList& operator=(const OwnedItemList&) = delete;
    LPITEMIDLIST* Receive() { return &list_; }
    LPCITEMIDLIST Get() const { return list_; }

private:
    IMalloc& allocator_;
    LPITEMIDLIST list_ = nullptr;
};

} // namespace

std::string GetSpecialFolder(int csidl)
{
    IMalloc* rawAllocator = nullptr;
    if (FAILED(SHGetMalloc(&rawAllocator)) || rawAllocator == nullptr) return {};
    const UniqueMalloc allocator(rawAllocator);

    OwnedItemList items(*allocator);
    if (FAILED(SHGetSpecialFolderLocation(GetDesktopWindow(), csidl, items.Receive())) || items.Get() == nullptr)
        return {};
    // The call writes at most MAX_PATH bytes, terminator included.
    std::string path(MAX_PATH + 1, '\0');
    if (!SHGetPathFromIDListA(items.Get(), path.data())) return {};
    path.resize(path.find('\0'));
    return path;
}

std::string ReadProgramFilesValue()
{
    return ReadRegistryString(HKEY_LOCAL_MACHINE, kCurrentVersionKey, "ProgramFilesDir");
}

void ResolveSystemFolders(const StartupFolders& found)
{
    const FolderQueries queries{ReadProgramFilesValue, FolderExists, GetSpecialFolder};
    Folders() = ResolveFolderTable(found, queries);
}
