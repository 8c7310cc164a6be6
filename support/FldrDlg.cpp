#include "support/FldrDlg.h"

#include <shlobj.h>

#include "support/Handles.h"

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
    const ShellItemList item(SHBrowseForFolderA(&browse));
    if (!item.Get() || !SHGetPathFromIDListA(item.Get(), path)) return false;
    FolderName = path;
    return true;
}
