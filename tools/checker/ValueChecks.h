#pragma once
// Checks of single values that several sections share: folder macros, the
// flag tail of a file entry, a program that should be installed, and the root
// token of a registry key as the install reads it.

#include <functional>
#include <string>

#include "tools/checker/CheckContext.h"
#include "tools/checker/CheckerText.h"

inline const char* const kRootTokens[] = {"(Cuser)", "(Class)", "(Local)", "(Users)"};

// Parenthesised words of a value: a folder macro where none is expanded
// (`expanded` false), or a word that is no folder macro where they are. Words
// that `other` accepts belong to the key and are passed over.
void CheckFolderMacros(CheckContext& check, const std::string& section, const std::string& key,
                       const std::string& value, bool expanded, const std::function<bool(const Token&)>& other = {});

// The flag tail of a copy entry or a recorded file.
void CheckFlagTail(CheckContext& check, const std::string& section, const std::string& key, const std::string& path,
                   const std::string& tail);

// A program in the install folder that no [CopyFile] entry puts there
// (read after [MakeFolder] and [CopyFile] are checked).
void CheckInstalledTarget(CheckContext& check, const std::string& section, const std::string& key,
                          const std::string& symbolicPath);

// The install's reading of a key text: seven characters of root token when it begins with "(".
void CheckRootToken(CheckContext& check, const std::string& section, const std::string& key, const std::string& text);
