#pragma once
// The folders of a usual machine, but the install folder comes from the input.

#include "support/FolderMacros.h"
#include "tests/fuzz/FuzzInput.h"

inline FolderTable FolderTableFor(FuzzInput& input)
{
    FolderTable folders;
    const char* usual = "C:\\WINDOWS\\\x95\x5C\\"; // "表": its trail byte is a backslash
    for (std::size_t i = 0; i < kFolderMacroCount; ++i) folders[static_cast<FolderMacro>(i)] = usual;
    folders[FolderMacro::App] = input.Field();
    return folders;
}
