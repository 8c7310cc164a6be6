#pragma once
// The sections and keys the program reads from a setup script and from an
// uninstall log, and the lists among them that end at their first empty key.

#include <vector>

#include "log/LogSchema.h"
#include "tools/checker/ScriptCheck.h"

using KnownKey = SchemaKey;

struct KnownSection {
    const char* name;
    std::vector<KnownKey> keys;
};

extern const std::vector<KnownSection> kScriptSections;
extern const std::vector<KnownSection> kLogSections;

// Lists read from 1 up to the first empty key that ends them; the other keys
// of an entry go unread with it.
struct KnownList {
    const char* section;
    const char* ends;
    std::vector<const char*> others;
};

extern const std::vector<KnownList> kScriptLists;
extern const std::vector<KnownList> kLogLists;

// The tables of the kind of file being checked.
const std::vector<KnownSection>& KnownSections(DocumentKind kind);
const std::vector<KnownList>& KnownLists(DocumentKind kind);
