#pragma once
// Whether a self-registering component may be loaded, and where its
// dependencies may come from. Loading runs the component's code with the
// program's rights, and the install folder may be one that users can write:
// there a component is loaded only when its bytes are known to be the ones the
// install put there, and its dependencies come from the System folder alone.

#include <string>

#include "support/IniDocument.h"

// What is known of a component's bytes.
enum class ComponentBytes {
    Vouched, // they match the digest the log records, or the source the install copied
    Changed, // they no longer match the digest the log records
    Unknown, // nothing vouches for them
};

struct ComponentLoad {
    bool allowed = false;
    bool ownFolderDependencies = false; // else from the System folder only
};

// `guarded`: the component's folder is one only administrators can change.
// Bytes that are vouched for load from anywhere; unknown bytes only from a
// guarded folder; changed bytes never. Dependencies come from the component's
// own folder only when it is guarded.
ComponentLoad DecideComponentLoad(ComponentBytes bytes, bool guarded);

// On comparable forms: the System or Windows folder itself (folders below them,
// such as the Windows folder's Temp, may be open to users), or Program Files or
// a folder below it. An empty or root folder guards nothing.
bool IsGuardedFolder(const std::string& folder, const std::string& systemFolder, const std::string& windowsFolder,
                     const std::string& programFiles);

// The bytes compared with what they should be ("" when nothing is known).
ComponentBytes JudgeComponentBytes(const std::string& digest, const std::string& expected);

// Whether the install registered a recorded DeleteFile value's file: "/R"
// anywhere in its flag tail, in any case (the install reads the whole tail).
bool RegisteredByInstall(const std::string& value);

// The log section of the registered components' digests: File<n> = path,digest.
constexpr char kComponentDigestSection[] = "ComponentDigest";
constexpr char kComponentDigestPrefix[] = "File";

// The digest the log records for the component at `path` (paths compared as
// the log writer compares them; a later item stands), "" for none. A digest
// that is no SHA-256 of ours matches no bytes: the component stays unloaded.
std::string RecordedDigest(const IniDocument& log, const std::string& path);
