#pragma once
// TFolderDialog: the system's folder browser, returning a file-system path.

#include <windows.h>

#include <set>
#include <string>

enum class TFolderDlgOption {
    bifBrowseForComputer,
    bifBrowseForPrinter,
    bifDontGoBelowDomain,
    bifReturnFSAncestors,
    bifReturnOnlyFSDirs,
    bifStatusText,
};
using TFolderDlgOptions = std::set<TFolderDlgOption>;

// The browse flags of an option set.
unsigned BrowseFlags(const TFolderDlgOptions& options);

class TFolderDialog {
public:
    std::string Title;
    TFolderDlgOptions Option{TFolderDlgOption::bifReturnOnlyFSDirs};
    std::string FolderName; // the last folder chosen

    // Runs the browser modally over `owner`; true when a folder was chosen.
    // An item without a file-system path counts as a cancel.
    bool Execute(HWND owner);
};
