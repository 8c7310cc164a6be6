#include "uninstall/ComponentLoading.h"

#include <windows.h>

#include "support/SelfRegister.h"
#include "support/SysErrorText.h"
#include "support/uStrOp.h"
#include "uninstall/ComponentRules.h"
#include "uninstall/ProtectedPaths.h"

namespace {

constexpr char kNotLoadedCaption[] = "OCX/DLL登録エラー(LoadLibrary)";
constexpr char kChangedSkip[] = "登録した時と内容が違うため，読み込まず，登録を解除しませんでした．\r\n";
constexpr char kUnknownSkip[] = "内容を確かめる記録がないため，読み込まず，登録を解除しませんでした．\r\n";
constexpr char kNotLoadedSkip[] = "読み込めなかったため，登録を解除しませんでした．\r\n";

std::string Comparable(const std::string& folder) { return folder.empty() ? std::string() : ComparableFolder(folder); }

// Whether the file lies in a folder only administrators can change.
bool InGuardedFolder(const std::string& path, const RunContext& context)
{
    return IsGuardedFolder(ComparableFolder(FolderPart(path)), Comparable(context.files.systemFolder),
                           Comparable(context.files.windowsFolder), Comparable(context.folders[FolderMacro::Prg]));
}

} // namespace

ComponentRegistration RegisterComponent(const std::string& target, const std::string& source,
                                        const RunContext& context)
{
    const HeldComponent held(target);
    if (held.Error() != 0) return {LoadFailure(target), {}};
    // The bytes this run means to register are the source's: a file that
    // differs (kept from before, or changed since the copy) is vouched for by
    // its folder alone.
    const ComponentBytes bytes =
        held.Digest() == FileDigest(source) ? ComponentBytes::Vouched : ComponentBytes::Unknown;
    const ComponentLoad load = DecideComponentLoad(bytes, InGuardedFolder(target, context));
    if (!load.allowed) return {{false, target + "の内容を確かめられないため，読み込みませんでした．", kNotLoadedCaption}, {}};
    const UniqueLibrary library = held.Load(load.ownFolderDependencies);
    if (!library) return {LoadFailure(target), {}};
    return {RegisterLoaded(library.get(), target), held.Digest()};
}

std::string UnregisterComponent(const std::string& path, const IniDocument* believedLog, const RunContext& context)
{
    const HeldComponent held(path);
    // No file, nothing to load: the deletion says so.
    if (held.Error() == ERROR_FILE_NOT_FOUND || held.Error() == ERROR_PATH_NOT_FOUND) return {};
    if (held.Error() != 0) return SysErrorText(held.Error()) + kNotLoadedSkip;
    const ComponentBytes bytes =
        JudgeComponentBytes(held.Digest(), believedLog ? RecordedDigest(*believedLog, path) : std::string());
    const ComponentLoad load = DecideComponentLoad(bytes, InGuardedFolder(path, context));
    if (!load.allowed) return bytes == ComponentBytes::Changed ? kChangedSkip : kUnknownSkip;
    const UniqueLibrary library = held.Load(load.ownFolderDependencies);
    if (!library) return SysErrorText(GetLastError()) + kNotLoadedSkip;
    UnregisterLoaded(library.get());
    return {};
}
