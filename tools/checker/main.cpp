// checker SETUP.INI [--dist DIR] [--json]: what the program will make of a setup script.
#include <algorithm>
#include <cstdio>

#include "tools/checker/CheckerCommand.h"
#include "tools/checker/Medium.h"
#include "tools/checker/Output.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CheckerSystem system{ReadFileBytes, ListMedium, TextFormConverter(), Utf8Converter(), Cp932Paths()};
    std::string out, err;
    const int status = RunChecker(arguments, system, out, err);
    // With --json, what goes to stdout is JSON or the usage line: UTF-8 either way.
    const bool json = std::find(arguments.begin(), arguments.end(), "--json") != arguments.end();
    WriteStdout(out, json);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
