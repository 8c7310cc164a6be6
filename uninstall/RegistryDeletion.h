#pragma once
// Deleting registry keys with everything below them, and the association
// restore's writes under HKEY_CLASSES_ROOT.

#include <string>

// Keys are named by a root token ("(Class)", "(Local)", "(Users)", anything
// else the current user) and a path under that root.

// Deletes the key with its subkeys, again while it still exists (at most 99
// times: a key some program keeps recreating is given up). Nothing for an empty key.
void DeleteRegKey(const std::string& rootToken, const std::string& keyPath);

bool RegistryKeyExists(const std::string& rootToken, const std::string& keyPath);
// Whether the key holds a value beside its default value, or a subkey.
bool KeyHoldsMoreThanItsDefault(const std::string& rootToken, const std::string& keyPath);
// Writes or deletes the key's default value; the key must exist.
void SetDefaultValue(const std::string& rootToken, const std::string& keyPath, const std::string& value);
void DeleteDefaultValue(const std::string& rootToken, const std::string& keyPath);
