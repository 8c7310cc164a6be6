#pragma once
// The checker's command line, apart from the system: the file and the
// distribution folder are read through the functions it is handed.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tools/checker/ScriptCheck.h"

struct CheckerSystem {
    std::function<std::optional<std::string>(const std::string& path)> readFile;
    std::function<std::optional<std::vector<DistributionFile>>(const std::string& folder)> listFolder;
};

// checker SETUP.INI [--dist DIR] [--json]. Returns the exit status: 1 when an
// error was found, 0 otherwise, 2 for a usage error or a file or folder that
// cannot be read.
int RunChecker(const std::vector<std::string>& arguments, const CheckerSystem& system, std::string& out,
               std::string& err);
