#pragma once
// The merge of a previous uninstall log into this install's record, so that
// one log covers every install made into the folder.

#include "support/IniDocument.h"
#include "uninstall/InstallRecord.h"

// RestoreRelate Key1 to Key20 are all read (a gap ends nothing there), then
// the keys after them up to the first empty one; each value is stored unless a
// slot already contains it; the five lists are read
// from 1 up to their first empty key and appended in that order.
void MergePreviousLog(const IniDocument& previous, InstallRecord& record);
