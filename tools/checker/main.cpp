// checker SETUP.INI [--dist DIR] [--json]: what the program will make of a setup script.
#include "tools/checker/CheckerCommand.h"
#include "tools/checker/Medium.h"
#include "tools/checker/Output.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const CheckerSystem system{ReadFileBytes, ListMedium, TextFormConverter(), Utf8Converter(), Cp932Paths()};
    CheckerOutput output;
    const int status = RunChecker(arguments, system, output);
    Write(Stream::Out, output.out, output.outUtf8);
    Write(Stream::Err, output.err, false);
    return status;
}
