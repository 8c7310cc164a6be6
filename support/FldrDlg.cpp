#include "support/FldrDlg.h"

#include <shlobj.h>

#include "support/Handles.h"
#include "support/SystemText.h"

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
    const std::optional<std::string> chosen = os::BrowseForFolder(owner, Title, BrowseFlags(Option));
    if (!chosen) return false;
    FolderName = *chosen;
    return true;
}
