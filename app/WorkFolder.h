#pragma once
// The run's work folder in the temporary folder, where other users may make
// folders and links of their own: a folder this run created, that only the
// administrators and the System account may change, held against renaming for
// the whole run; and the removal of work folders, which never follows a link.

#include <string>

#include "support/Handles.h"

struct WorkFolder {
    std::string path;        // with a trailing backslash; empty when none could be made
    UniqueKernelHandle hold; // the folder, open against renaming and deleting (NT family)
};

// TSTMP1 to TSTMP99, the first this run can create, else TSTMP and a random
// number; never a folder that was there before.
WorkFolder CreateWorkFolder(const std::string& tempFolder);

// Deletes what the folder holds, subfolders too, and then the folder, unless
// a folder of its path is a link or junction. A link inside is removed as a
// link where the system allows it, and never followed.
void RemoveWorkFolder(const std::string& folder);
