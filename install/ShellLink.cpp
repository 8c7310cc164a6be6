#include "install/ShellLink.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "install/ShortcutRules.h"
#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

// The shell link object's interfaces (IID_IShellLinkA, IID_IPersistFile).
const CLSID kShellLink = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kShellLinkA = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kPersistFile = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

std::wstring Wide(const std::string& text)
{
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0) return {};
    std::vector<wchar_t> wide(static_cast<std::size_t>(length));
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), length);
    return wide.data();
}

bool SaveLink(const std::string& target, const std::string& file, const std::string& workingFolder,
              const std::string& arguments)
{
    void* created = nullptr;
    if (FAILED(CoCreateInstance(kShellLink, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, kShellLinkA,
                                &created)) ||
        !created)
        return false;
    const ComPtr<IShellLinkA> link(static_cast<IShellLinkA*>(created));
    void* persisted = nullptr;
    if (FAILED(link->QueryInterface(kPersistFile, &persisted)) || !persisted) return false;
    const ComPtr<IPersistFile> persist(static_cast<IPersistFile*>(persisted));
    link->SetPath(target.c_str());
    link->SetWorkingDirectory(workingFolder.c_str());
    if (!arguments.empty()) link->SetArguments(arguments.c_str());
    persist->Save(Wide(file).c_str(), FALSE);
    return true;
}

} // namespace

std::string CreateShortCut(const std::string& target, const std::string& link, const std::string& workingFolder,
                           const std::string& arguments)
{
    const std::string file = ShortcutFile(link);
    std::string folder = workingFolder;
    if (folder.empty() || !FolderExists(folder)) folder = FolderPart(target);
    folder = AddBackSlash(folder, "B");
    if (!FolderExists(FolderPart(file))) CreateFolderPath(FolderPart(file));

    if (MBPosText(".LNK", target) > 0) {
        ForceCopyFile(target, file); // a shortcut given as the target is copied as it is
        return file;
    }
    if (!SaveLink(target, file, folder, arguments)) return {};
    if (FileExists(file)) return file;
    // The system writes a program-information file for an MS-DOS program.
    return LeftStr(file, static_cast<int>(file.size()) - 4) + ".pif";
}
