#pragma once
// The merge of a previous uninstall log into this install's record, so that
// one log covers every install made into the folder.

#include <string>

#include "support/FailureReport.h"
#include "support/IniDocument.h"
#include "support/RunContext.h"
#include "uninstall/InstallRecord.h"
#include "uninstall/LogTrust.h"

// Tells whether a path lies in the install folder.
class FolderBounds {
public:
    virtual bool Inside(const std::string& path) const = 0;

protected:
    ~FolderBounds() = default;
};

// RestoreRelate Key1 to Key20 are all read (a gap ends nothing there), then
// the keys after them up to the first empty one; each value is stored unless a
// slot already contains it; the five lists are read
// from 1 up to their first empty key and appended in that order; then the
// components' digests.
void MergePreviousLog(const IniDocument& previous, InstallRecord& record);

// The same for a log believed only as far as `reach` says, taking what the
// uninstall would remove from such a log: without `outside`, only the files,
// shortcuts and folders inside the install folder, and no key or association;
// without `trusted`, no key that only a believed log may delete, and no digest
// (a log nobody vouches for cannot vouch for a component). What is left out
// is listed in the report, tagged as the uninstall tags it.
FailureReport MergePreviousLog(const IniDocument& previous, const LogReach& reach, const FolderBounds& installFolder,
                               const GeneralKeys& words, InstallRecord& record);
