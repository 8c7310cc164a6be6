#pragma once
// One run of SETUP.EXE or of the uninstaller, driven as a person would: every
// window of the process answered by the rules until the process ends.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/tessauto/Answers.h"
#include "tools/tessauto/Outcome.h"
#include "tools/tessauto/Request.h"
#include "tools/tessauto/RunLog.h"

namespace tessauto {

struct DriveSettings {
    std::wstring commandLine;
    std::wstring workingFolder; // empty: ours
    std::vector<Rule> rules;    // the answers file's, tried before the built-in ones
    bool install = false;
    std::optional<std::string> folder;
    std::optional<ShortcutChoice> options;
    DWORD timeoutMs = 0;
};

RunFacts Drive(const DriveSettings& settings, RunLog& log);

} // namespace tessauto
