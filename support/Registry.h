#pragma once
// Reading string values of keys named as the setup script names them.

#include <windows.h>

#include <string>

#include "support/FolderMacros.h"
#include "support/Handles.h"

HKEY RegistryRootKey(RegistryRoot root);

// The string value `valueName` (empty: the key's default value) of an existing
// key, opened for reading only. Empty when the key or value is missing or the
// value is not a string.
std::string ReadRegistryString(HKEY root, const std::string& keyPath, const std::string& valueName);
std::string ReadRegistryString(const RegistryKeyName& key, const std::string& valueName);

// Writing: each returns the system's error code, 0 on success.
// Creates the key with any missing parents and opens it for writing.
long CreateRegistryKey(HKEY root, const std::string& keyPath, UniqueRegKey& key);
long SetRegistryString(HKEY key, const std::string& valueName, const std::string& value, bool expandable = false);
long SetRegistryDword(HKEY key, const std::string& valueName, unsigned long value);
long SetRegistryBinary(HKEY key, const std::string& valueName, const void* bytes, unsigned long size);
