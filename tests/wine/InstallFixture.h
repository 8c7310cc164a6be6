#pragma once
// A run state over a fresh test folder: a source folder (the medium), an
// install folder with a Japanese name, a temporary folder and a working script.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/FolderMacros.h"
#include "install/RunState.h"
#include "support/FileOps.h"
#include "support/RunMode.h"
#include "tests/wine/ScriptedUi.h"
#include "tests/wine/TestFolder.h"

class InstallFixture : public ::testing::Test {
protected:
    TestFolder folder;
    const std::string source = folder / "CD\\";
    const std::string install = folder / "Program Files\\App \x83\x5C\\"; // ソ ends in 0x5C
    const std::string temp = folder / "TEMP\\";
    const std::string script = folder / "SETUPT.INI";
    InstallRunState state;

    void SetUp() override
    {
        for (const std::string& path : {source, install, temp}) ASSERT_TRUE(CreateFolderPath(path));
        SetRunMode(RunMode::Install);
        savedFolders_ = Folders();
        Folders()[FolderMacro::App] = install;
        state.workingScript = script;
        state.sourceFolder = source;
        state.tempFolder = temp;
        state.setupString = "インストール";
        state.unSetupString = "アンインストール";
        state.stepDelay = 1;
        state.folderField = install.substr(0, install.size() - 1);
        state.installFolder = install;
    }
    void TearDown() override { Folders() = savedFolders_; }

    // Writes one section of numbered keys (File1=..., Folder1=...) as the script.
    void WriteSection(const std::string& section, const std::string& prefix, const std::vector<std::string>& values)
    {
        std::string text = "[" + section + "]\r\n";
        for (std::size_t i = 0; i < values.size(); ++i)
            text += prefix + std::to_string(i + 1) + "=" + values[i] + "\r\n";
        WriteWholeFile(script, text);
    }
    void WriteCopyEntries(const std::vector<std::string>& entries) { WriteSection("CopyFile", "File", entries); }

    const std::vector<std::string>& Recorded(PendingList list) const { return state.log.record.Items(list); }

private:
    FolderTable savedFolders_;
};
