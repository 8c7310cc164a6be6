// checker SETUP.INI [--dist DIR] [--json]: what the program will make of a setup script.
#include <cstdio>

#include "tools/checker/CheckerCommand.h"
#include "tools/checker/Medium.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string out, err;
    const int status = RunChecker(arguments, {ReadFileBytes, ListMedium}, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    std::fwrite(err.data(), 1, err.size(), stderr);
    return status;
}
