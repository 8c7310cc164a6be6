#include "uninstall/RemovalPolicy.h"

#include "log/LogSchema.h"
#include "support/Protection.h"
#include "support/uStrOp.h"

RemovalPolicy::RemovalPolicy(const PathView& view, RemovalFacts facts, LogTrust trust, LogReach reach)
    : view_(view), facts_(std::move(facts)), trust_(trust), reach_(reach),
      installProtected_(IsProtectedFolder(facts_.installFolder, facts_.protectedFolders))
{
}

bool RemovalPolicy::IsProtected(const std::string& folder) const
{
    return IsProtectedFolder(view_.Resolved(folder), facts_.protectedFolders);
}

bool RemovalPolicy::InInstallFolder(const std::string& path) const
{
    return IsSameOrUnder(view_.Resolved(path), facts_.installFolder);
}

bool RemovalPolicy::Inside(const std::string& path) const
{
    if (installProtected_ || DriveOf(view_.Plain(path)) != DriveOf(facts_.installFolder)) return false;
    return InInstallFolder(path);
}

bool RemovalPolicy::IsTheLog(const std::string& path) const
{
    return UpperCase(NamePart(path)) == kLogName && view_.Resolved(path) == facts_.log;
}

// A pattern in a protected folder, or anywhere below the Windows folder (Fonts,
// INF, ...), would take the system's own files with it.
bool RemovalPolicy::RefusedPattern(const std::string& path) const
{
    const std::string folder = FolderPart(path);
    if (IsProtected(folder)) return true;
    return !IsRoot(facts_.windowsFolder) && IsSameOrUnder(view_.Resolved(folder), facts_.windowsFolder);
}

Refusal RemovalPolicy::ForFile(const std::string& path, bool recorded, const std::function<bool()>& counted) const
{
    const bool pattern = HasWildcard(path);
    if (!Reaches(path)) return Refusal::Outside;
    if (pattern && recorded) return Refusal::Wildcard;
    if (pattern && RefusedPattern(path)) return Refusal::ProtectedPattern;
    if (!reach_.outside && !pattern && counted()) return Refusal::UnvouchedShared;
    return Refusal::None;
}

bool RemovalPolicy::FilesOnly(const std::string& path) const
{
    return HasWildcard(path) && (installProtected_ || !InInstallFolder(FolderPart(path)));
}

Refusal RemovalPolicy::ForShortcut(const std::string& path) const
{
    if (!Reaches(path)) return Refusal::Outside;
    if (HasWildcard(path)) return Refusal::Wildcard;
    return Refusal::None;
}

bool RemovalPolicy::RemovesShortcutFolder(const std::string& folder) const
{
    return !folder.empty() && !IsProtected(folder);
}

Refusal RemovalPolicy::ForFolder(const std::string& folder) const
{
    if (!Reaches(folder)) return Refusal::Outside;
    if (IsProtected(folder)) return Refusal::ProtectedFolder;
    return Refusal::None;
}

bool RemovalPolicy::PatternsApply(const std::string& folder) const
{
    return !installProtected_ && InInstallFolder(folder);
}

Refusal RemovalPolicy::ForKey(RegistryRoot root, const std::string& path) const
{
    if (LastNameEmpty(path)) return Refusal::UnnamedKey;
    if (IsProtectedRegistryKey(root, NormalizedKeyPath(path), reach_.trusted)) return Refusal::ProtectedKey;
    return Refusal::None;
}

Refusal RemovalPolicy::ForAssociation(const std::string& extension) const
{
    if (!reach_.outside) return Refusal::UnvouchedAssociation;
    if (!UsableExtension(extension)) return Refusal::BadExtension;
    if (IsSystemFileType(extension)) return Refusal::SystemType;
    return Refusal::None;
}

Refusal RemovalPolicy::ForRecordedUninstallKey(const std::string& path) const
{
    if (!reach_.outside) return Refusal::Unvouched;
    const std::string written = DelBackSlash(path, "B");
    if (!LastNameEmpty(written) && !IsProductUninstallKey(path)) return Refusal::NotUninstallKey;
    return Refusal::None;
}

bool RemovalPolicy::MayUnregisterComponent(const std::string& path) const
{
    // A share is refused before anything looks at it.
    if (DriveOf(view_.Plain(path)).empty()) return false;
    const std::string component = view_.Resolved(path);
    return MayUnregister(component, view_.FixedDrive(DriveOf(component)), facts_.installFolder,
                         facts_.systemFolders, reach_.trusted);
}

std::string RefusalText(Refusal refusal, const std::string& setupString, const std::string& unSetupString)
{
    const auto unvouched = [&](const char* what) {
        return unSetupString + "情報が確かめられないため，" + what + "ませんでした．\r\n";
    };
    switch (refusal) {
    case Refusal::None: break;
    case Refusal::Outside: return setupString + "フォルダの外にあるため，削除しませんでした．\r\n";
    case Refusal::Wildcard: return "ワイルドカードを含むため，削除しませんでした．\r\n";
    case Refusal::ProtectedFolder: return "保護されたフォルダのため，削除しませんでした．\r\n";
    case Refusal::ProtectedPattern: return "保護されたフォルダのファイルすべてにあたるため，削除しませんでした．\r\n";
    case Refusal::ProtectedKey: return "保護されたレジストリキーのため，削除しませんでした．\r\n";
    case Refusal::UnnamedKey: return "キーの名前が空のため，削除しませんでした．\r\n";
    case Refusal::BadExtension: return "拡張子が正しくないため，関連付けを戻しませんでした．\r\n";
    case Refusal::SystemType: return "システムのファイルの種類のため，関連付けを戻しませんでした．\r\n";
    case Refusal::NotUninstallKey: return "製品のアンインストール情報のキーではないため，削除しませんでした．\r\n";
    case Refusal::Unvouched: return unvouched("削除し");
    case Refusal::UnvouchedShared: return unvouched("共有ファイルの数を変えず，削除し");
    case Refusal::UnvouchedAssociation: return unvouched("関連付けを戻し");
    }
    return {};
}
