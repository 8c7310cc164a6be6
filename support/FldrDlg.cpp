#include "support/FldrDlg.h"

#include <shlobj.h>

unsigned BrowseFlags(const TFolderDlgOptions& options)
{
    unsigned flags = 0;
    for (TFolderDlgOption option : options) {
        switch (option) {
        case TFolderDlgOption::bifBrowseForComputer: flags |= BIF_BROWSEFORCOMPUTER; break;
        case TFolderDlgOption::bifBrowseForPrinter: flags |= BIF_BROWSEFORPRINTER; break;
        case TFolderDlgOption::bifDontGoBelowDomain: flags |= BIF_DONTGOBELOWDOMAIN; break;
        case TFolderDlgOption::bifReturnFSAncestors: flags |= BIF_RETURNFSANCESTORS; break;
        case TFolderDlgOption::bifReturnOnlyFSDirs: flags |= BIF_RETURNONLYFSDIRS; break;
        case TFolderDlgOption::bifStatusText: flags |= BIF_STATUSTEXT; break;
        }
    }
    return flags;
}

bool TFolderDialog::Execute(HWND owner)
{
    char path[MAX_PATH + 1] = {};
    BROWSEINFOA browse{};
    browse.hwndOwner = owner;
    browse.pszDisplayName = path;
    browse.lpszTitle = Title.c_str();
    browse.ulFlags = BrowseFlags(Option);
    LPITEMIDLIST item = SHBrowseForFolderA(&browse);
    if (!item) return false;
    const bool converted = SHGetPathFromIDListA(item, path) != FALSE;
    IMalloc* allocator = nullptr;
    if (SUCCEEDED(SHGetMalloc(&allocator))) {
        allocator->Free(item);
        allocator->Release();
    }
    if (!converted) return false;
    FolderName = path;
    return true;
}
