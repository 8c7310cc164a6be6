#pragma once
// How a value of the uninstall log reads: a recorded file with its flag tail,
// a recorded registry key with its root token, a saved association.

#include <string>

#include "support/FolderMacros.h"

// A DeleteFile or AddDeleteFile value: the path before its first comma, and up
// to five characters of flags from that comma (a flag further on is not seen).
struct RecordedFile {
    std::string path;
    std::string flags;
};
RecordedFile SplitRecordedFile(const std::string& value);
// "/S", "/C", "/L" or "/F" in the flags, in any case.
bool HasRecordedFlag(const RecordedFile& file, char letter);

// A recorded registry key: the first seven characters are its root token only
// when they begin with "(" and end with ")"; otherwise the whole value is the
// key under "(Cuser)".
struct RecordedKey {
    std::string rootToken;
    std::string path;
};
RecordedKey SplitRecordedKey(const std::string& value);
// The root a token names, compared exactly; anything else is the current user.
RegistryRoot RootOfToken(const std::string& rootToken);

// A RestoreRelate value: the extension before the first comma, the previous
// default value after it (commas included).
struct SavedAssociation {
    std::string extension;
    std::string previous;
};
SavedAssociation SplitSavedAssociation(const std::string& value);
// The program type this program gave the extension.
std::string AutoFileType(const std::string& extension);
// Whether the previous value is that very type (ASCII letters in any case).
bool IsOwnFileType(const std::string& previous, const std::string& extension);
