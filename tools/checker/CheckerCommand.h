#pragma once
// The checker's command line, apart from the system: the file and the
// distribution folder are read, and texts converted, through the functions it
// is handed.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/checker/FindingFormat.h"
#include "tools/checker/ScriptCheck.h"

struct CheckerSystem {
    std::function<std::optional<std::string>(const std::string& path)> readFile;
    std::function<std::optional<std::vector<DistributionFile>>(const std::string& folder)> listFolder;
    // The script's texts for the lines for people (in the output's encoding)
    // and for JSON (always UTF-8).
    Cp932Converter textForm, utf8;
    // Paths on the command line are code page 932 on Windows; on the host they
    // are in the output's encoding already.
    bool cp932Paths = false;
};

// What the command has to say: `out` is JSON in UTF-8 when `outUtf8`, else in
// the form of the lines for people, as `err` always is.
struct CheckerOutput {
    std::string out, err;
    bool outUtf8 = false;
};

// checker SETUP.INI [--dist DIR] [--json]. Returns the exit status: 1 when an
// error was found, 0 otherwise, 2 for a usage error or a file or folder that
// cannot be read.
int RunChecker(const std::vector<std::string>& arguments, const CheckerSystem& system, CheckerOutput& output);
