// The floor an install is measured against: CopyFileA over the same files with
// the same pauses the script and the run mandate, and nothing else.
//   copyloop <source folder> <target folder> <count> <step delay>
// copies F1.DAT ... F<count>.DAT.
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5) return 2;
    const std::string source = std::string(argv[1]) + "\\", target = std::string(argv[2]) + "\\";
    const int count = std::atoi(argv[3]);
    const DWORD step = static_cast<DWORD>(std::atoi(argv[4]));
    CreateDirectoryA(target.c_str(), nullptr);
    Sleep(500);  // the main window hidden
    Sleep(1000); // the start message
    for (int i = 0; i < 3; ++i) Sleep(step); // after the information, the measuring and the space check
    int failed = 0;
    for (int n = 1; n <= count; ++n) {
        const std::string name = "F" + std::to_string(n) + ".DAT";
        if (!CopyFileA((source + name).c_str(), (target + name).c_str(), FALSE)) ++failed;
        Sleep(step);
    }
    return failed == 0 ? 0 : 1;
}
