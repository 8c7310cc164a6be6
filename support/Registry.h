#pragma once
// Reading string values of keys named as the setup script names them.

#include <windows.h>

#include <string>

#include "support/FolderMacros.h"

HKEY RegistryRootKey(RegistryRoot root);

// The string value `valueName` (empty: the key's default value) of an existing
// key, opened for reading only. Empty when the key or value is missing or the
// value is not a string.
std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName);
std::string ReadRegistryString(const RegistryKeyName& key, const std::string& valueName);
