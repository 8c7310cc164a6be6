#pragma once
// Decisions behind the file and component operations, apart from the system calls.

#include <string>
#include <vector>

// True if ".OCX" or ".DLL" occurs anywhere in the path, in any case: such a file
// is unregistered before it is deleted.
bool IsOcxOrDll(const std::string& path);

// The folders CreateFolderPath visits, shortest first, each ending in a
// backslash. A network path starts at its share (\\server\share\).
std::vector<std::string> FolderPrefixes(const std::string& path);

// The patterns of a "|"-separated list; a last pattern without "|" counts too.
std::vector<std::string> SplitPatterns(const std::string& patterns);

// The shared count after one more program takes the file. A file found without
// a count is taken to be used by one program already.
int CountAfterIncrement(int count, bool fileExists);
