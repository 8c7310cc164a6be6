// The floor under the bench's figures: with no argument a process that ends at
// once (what starting any program costs); "copy FROM TO N" copies F1.DAT ..
// FN.DAT from one folder to another with nothing else around it, and
// "delete FOLDER N" deletes them: what the files themselves cost.
#include <windows.h>

#include <cwchar>
#include <string>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 2) return 0;
    const std::wstring verb = argv[1];
    const bool copy = verb == L"copy" && argc == 5, remove = verb == L"delete" && argc == 4;
    if (!copy && !remove) return 2;
    const std::wstring folder = std::wstring(argv[2]) + L"\\";
    const std::wstring target = copy ? std::wstring(argv[3]) + L"\\" : std::wstring();
    const long count = std::wcstol(argv[copy ? 4 : 3], nullptr, 10);
    for (long n = 1; n <= count; ++n) {
        const std::wstring name = L"F" + std::to_wstring(n) + L".DAT";
        const BOOL done = copy ? CopyFileW((folder + name).c_str(), (target + name).c_str(), TRUE)
                               : DeleteFileW((folder + name).c_str());
        if (!done) return 1;
    }
    return 0;
}
