#pragma once
// The checks of a file's structure, whatever its sections mean: its encoding,
// sections and keys the program never reads, and lists that end before
// their last entry.

#include "tools/checker/CheckContext.h"

void CheckEncoding(CheckContext& check);
void CheckSectionsAndKeys(CheckContext& check);
void CheckListEnds(CheckContext& check);
