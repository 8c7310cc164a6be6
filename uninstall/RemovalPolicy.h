#pragma once
// What the uninstall may remove of what its log records, asked by every pass:
// whether a path lies in the install folder, whether it is protected, how far
// the log is believed, whether a pattern may delete, whether a component may
// be loaded to unregister it. The system is asked only through PathView, so
// the decisions stand apart from it.

#include <functional>
#include <string>
#include <vector>

#include "log/LogTrust.h"
#include "support/FolderMacros.h"

// How the system sees a path.
class PathView {
public:
    // The comparable form (support/Protection.h) made without looking at the
    // disk: enough to tell its drive or share.
    virtual std::string Plain(const std::string& path) const = 0;
    // The comparable form as the system resolves it (support/ProtectedPaths.h).
    virtual std::string Resolved(const std::string& path) const = 0;
    // Whether a drive ("C:") is a local fixed disk.
    virtual bool FixedDrive(const std::string& drive) const = 0;

protected:
    ~PathView() = default;
};

// The folders the decisions are measured against, in comparable forms.
struct RemovalFacts {
    std::string installFolder;
    std::vector<std::string> protectedFolders; // support/ProtectedPaths.h's ProtectedFolders
    std::string windowsFolder;                 // "" when unknown
    std::vector<std::string> systemFolders;    // the Windows and System folders
    std::string log;                           // the log in the install folder
};

// Why a recorded item is left alone.
enum class Refusal {
    None,                // it may go
    Outside,             // outside the install folder, and the log does not reach there
    Wildcard,            // a pattern where only a name may stand
    ProtectedFolder,     // a folder the system or the user stands on
    ProtectedPattern,    // a pattern over a protected folder or the Windows folder's files
    ProtectedKey,        // a registry key the system stands on
    UnnamedKey,          // a key path whose last name is empty
    BadExtension,        // no extension of its own
    SystemType,          // the type of files the system runs
    NotUninstallKey,     // the recorded Uninstall key is no product's key
    Unvouched,           // only a believed log may remove it
    UnvouchedShared,     // a shared file: only a believed log may change its count
    UnvouchedAssociation // only a believed log may restore an association
};

class RemovalPolicy {
public:
    RemovalPolicy(const PathView& view, RemovalFacts facts, LogTrust trust, LogReach reach);

    // The log's digests of components are believed only when its Uninstall key vouches for it.
    bool BelievesComponentDigests() const { return trust_ == LogTrust::Vouched; }
    // A protected install folder is left alone, and nothing is inside it.
    bool InstallFolderProtected() const { return installProtected_; }

    bool IsProtected(const std::string& folder) const;
    bool InInstallFolder(const std::string& path) const;
    // Inside an install folder that is not protected; another drive or share
    // is never inside: it is not even looked at.
    bool Inside(const std::string& path) const;
    bool Reaches(const std::string& path) const { return reach_.outside || Inside(path); }
    // The log in the install folder: the name first, since resolving a path
    // costs a look at the disk.
    bool IsTheLog(const std::string& path) const;

    // A DeleteFile (`recorded`) or AddDeleteFile path; `counted` tells whether
    // a shared count or the journal holds it (asked only when it matters).
    Refusal ForFile(const std::string& path, bool recorded, const std::function<bool()>& counted) const;
    // A pattern outside the install folder deletes files, never folders.
    bool FilesOnly(const std::string& path) const;
    Refusal ForShortcut(const std::string& path) const;
    // The folder of a removed shortcut goes when empty, unless it is protected.
    bool RemovesShortcutFolder(const std::string& folder) const;
    Refusal ForFolder(const std::string& folder) const;
    // The uninstall options' patterns apply inside the install folder only.
    bool PatternsApply(const std::string& folder) const;
    // A recorded key, its path without the trailing backslash.
    Refusal ForKey(RegistryRoot root, const std::string& path) const;
    // Registry keys, associations and the program list are reached only by a
    // believed log, or one the user let reach outside the install folder.
    bool ReachesOutside() const { return reach_.outside; }
    Refusal ForAssociation(const std::string& extension) const;
    // The Uninstall key the log records, when it is not the one that names the log.
    Refusal ForRecordedUninstallKey(const std::string& path) const;
    // Whether the component at `path` may be loaded to unregister it.
    bool MayUnregisterComponent(const std::string& path) const;

private:
    bool RefusedPattern(const std::string& path) const;

    const PathView& view_;
    RemovalFacts facts_;
    LogTrust trust_;
    LogReach reach_;
    bool installProtected_;
};

// The failure report's reason for a refusal.
std::string RefusalText(Refusal refusal, const std::string& setupString, const std::string& unSetupString);
