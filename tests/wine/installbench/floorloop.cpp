// The floors an install and an uninstall are measured against: the same file
// operations with the same pauses, and nothing else.
//   floorloop copy <source folder> <target folder> <count> <step delay>
//       CopyFileA of F1.DAT ... F<count>.DAT, with the install's mandated pauses
//   floorloop shell <folder> <count>
//       the shell's deletion of each file, as the uninstall makes it
//   floorloop delete <folder> <count>
//       DeleteFileA of each file
#include <windows.h>
#include <shellapi.h>

#include <cstdlib>
#include <string>

namespace {

std::string FileName(int n) { return "F" + std::to_string(n) + ".DAT"; }

int Copy(const std::string& source, const std::string& target, int count, DWORD step)
{
    CreateDirectoryA(target.c_str(), nullptr);
    Sleep(500);  // the main window hidden
    Sleep(1000); // the start message
    for (int i = 0; i < 3; ++i) Sleep(step); // after the information, the measuring and the space check
    int failed = 0;
    for (int n = 1; n <= count; ++n) {
        if (!CopyFileA((source + FileName(n)).c_str(), (target + FileName(n)).c_str(), FALSE)) ++failed;
        Sleep(step);
    }
    return failed;
}

int ShellDelete(const std::string& folder, int count)
{
    int failed = 0;
    for (int n = 1; n <= count; ++n) {
        std::string from = folder + FileName(n);
        from.append(2, '\0');
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        if (SHFileOperationA(&operation) != 0) ++failed;
    }
    return failed;
}

int Delete(const std::string& folder, int count)
{
    int failed = 0;
    for (int n = 1; n <= count; ++n)
        if (!DeleteFileA((folder + FileName(n)).c_str())) ++failed;
    return failed;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) return 2;
    const std::string mode = argv[1], first = std::string(argv[2]) + "\\";
    if (mode == "copy" && argc == 6) return Copy(first, std::string(argv[3]) + "\\", std::atoi(argv[4]),
                                                 static_cast<DWORD>(std::atoi(argv[5]))) == 0 ? 0 : 1;
    if (mode == "shell") return ShellDelete(first, std::atoi(argv[3])) == 0 ? 0 : 1;
    if (mode == "delete") return Delete(first, std::atoi(argv[3])) == 0 ? 0 : 1;
    return 2;
}
