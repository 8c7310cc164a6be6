#pragma once
// What a run works with, built once before it starts from what the start-up
// found, the parsed script and the main window's choices. The install and
// uninstall runs, their stages and the log stages all read from it.

#include <string>

#include "support/FolderMacros.h"
#include "support/IniDocument.h"

// The program's own folders and files, found at start-up. Folders end in a backslash.
struct ProgramFiles {
    std::string sourceFolder;   // the folder of the running executable: the medium
    std::string tempFolder;     // the system's temporary folder, or the source folder
    std::string windowsFolder;  // empty when the system gave none
    std::string systemFolder;
    std::string workFolder;     // <temp>TSTMP<n>\ of this run
    std::string workingScript;  // the copy of SETUP.INI (or of the log) in the work folder
    std::string programCopy;    // SETUPT.EXE in the work folder: the uninstaller's source
    std::string runningProgram; // the running executable, should the copy be missing; "" unless held
    int platformId = -1;        // 2: the NT family; -1: the version query failed
};

// The general keys that captions, messages and the log are made of.
struct GeneralKeys {
    std::string setupString = "インストール";
    std::string unSetupString = "アンインストール";
    unsigned stepDelay = 350;            // milliseconds, at least 1
    std::string setupTitle = "Tessera Setup";
    std::string unSetupTitle = "Tessera Setup";
    std::string programId;               // [ProgramID] ID, install only
};

// The shortcut boxes of the main window as the run found them.
struct ShortcutChoices {
    bool desktop = false;
    bool startMenu = false;
    bool startUp = false;
    bool sendTo = false;
};

struct RunContext {
    ProgramFiles files;
    GeneralKeys keys;
    IniDocument script;  // the working script, parsed once
    FolderTable folders; // (App) and (Set) are the run's to set

    // The main window's choices when the run started.
    std::string folderField; // the folder field, folder macros expanded
    bool overwrite = true;
    ShortcutChoices shortcuts;

    // Set by the run's install folder check: the folder field with a trailing backslash.
    std::string installFolder;
};
