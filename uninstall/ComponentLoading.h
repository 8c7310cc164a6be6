#pragma once
// Self-registering components loaded by the rules of ComponentRules: the
// install registers a component it can vouch for and records its digest, the
// uninstall unregisters one whose bytes still match that digest.

#include <string>

#include "support/FileOps.h"
#include "support/IniDocument.h"
#include "support/RunContext.h"

// The install's registration of the component at `target`, placed there from
// `source` (the medium's file, or its expansion). The digest is "" when the
// component was not loaded.
struct ComponentRegistration {
    Registration registration;
    std::string digest;
};
ComponentRegistration RegisterComponent(const std::string& target, const std::string& source,
                                        const RunContext& context);

// The uninstall's unregistration of the component at `path` before it is
// deleted, by the digest `believedLog` records for it (null when the log is
// not believed: it could name any bytes). "" when it was unregistered, or when
// there is no file to load; else the failure report's reason, and the
// component stays registered.
std::string UnregisterComponent(const std::string& path, const IniDocument* believedLog, const RunContext& context);
