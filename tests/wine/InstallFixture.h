#pragma once
// A run over a fresh test folder: a source folder (the medium), an install
// folder with a Japanese name, a temporary folder and a parsed script.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "install/RunState.h"
#include "support/FileOps.h"
#include "support/ScriptLists.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"

class InstallFixture : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string source = folder / "CD\\";
    const std::string install = folder / "Program Files\\App \x83\x5C\\"; // ソ ends in 0x5C
    const std::string temp = folder / "TEMP\\";
    RunContext context;
    InstallRunState state{context};

    void SetUp() override
    {
        for (const std::string& path : {source, install, temp}) ASSERT_TRUE(CreateFolderPath(path));
        context.files.sourceFolder = source;
        context.files.tempFolder = temp;
        context.files.workFolder = temp; // the expansion file's folder
        context.keys.stepDelay = 1;
        context.folders[FolderMacro::App] = install;
        context.folderField = install.substr(0, install.size() - 1);
        context.installFolder = install;
    }

    // One section of numbered keys (File1=..., Folder1=...) as the whole script.
    void WriteSection(const std::string& section, const std::string& prefix, const std::vector<std::string>& values)
    {
        std::string text = "[" + section + "]\r\n";
        for (std::size_t i = 0; i < values.size(); ++i)
            text += prefix + std::to_string(i + 1) + "=" + values[i] + "\r\n";
        context.script = IniDocument::Parse(text);
    }
    void WriteCopyEntries(const std::vector<std::string>& entries)
    {
        WriteSection("CopyFile", "File", entries);
        state.copyEntries = NumberedList(context.script, "CopyFile", "File");
    }

    const std::vector<std::string>& Recorded(PendingList list) const { return state.record.Items(list); }
};
