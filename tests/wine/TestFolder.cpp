#include "tests/wine/TestFolder.h"

#include <windows.h>

#include <cstdio>
#include <memory>

#include <gtest/gtest.h>

#include "support/FileOps.h"
#include "support/SystemText.h"

namespace {

// Removes a folder tree, read-only files included, without the shell.
void RemoveTree(const std::string& folder)
{
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = folder + name;
            // A link stays (Wine cannot remove one), and what it leads to is not the test's.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(path + "\\");
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(path.c_str());
            }
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(folder.c_str());
}

} // namespace

TestFolder::TestFolder()
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::string(temp) + "tessera-tests\\" + test->test_suite_name() + "." + test->name() + "\\";
    RemoveTree(path_);
    CreateFolderPath(path_);
}

TestFolder::~TestFolder() { RemoveTree(path_); }

void TestFolder::Write(const std::string& name, const std::string& content) const { WriteWholeFile(path_ + name, content); }

std::string TestFolder::Read(const std::string& name) const { return ReadWholeFile(path_ + name); }

void WriteWholeFile(const std::string& path, const std::string& content)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "wb"), fclose);
    ASSERT_TRUE(file) << "cannot write " << path;
    fwrite(content.data(), 1, content.size(), file.get());
}

std::string ReadWholeFile(const std::string& path)
{
    std::unique_ptr<FILE, decltype(&fclose)> file(fopen(path.c_str(), "rb"), fclose);
    if (!file) return "<missing>";
    std::string content;
    char buffer[65536];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, file.get())) > 0;) content.append(buffer, n);
    return content;
}

std::string ExecutableFolder()
{
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

namespace {

// The Unix name of a path of the prefix (Wine's own export), as UTF-16.
std::wstring UnixName(const std::string& path)
{
    using Call = char*(CDECL*)(LPCWSTR);
    const auto call = reinterpret_cast<Call>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = call ? call(os::Wide(path).c_str()) : nullptr;
    if (name == nullptr) return {};
    wchar_t wide[4096] = {};
    MultiByteToWideChar(CP_UTF8, 0, name, -1, wide, 4095);
    HeapFree(GetProcessHeap(), 0, name);
    return wide;
}

} // namespace

void MakeLink(const std::string& link, const std::string& target)
{
    std::wstring command = L"ln -s \"" + UnixName(target) + L"\" \"" + UnixName(link) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessW(L"Z:\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << link;
    WaitForSingleObject(process.hProcess, 30000);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    for (int waited = 0; waited < 300 && GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; ++waited) Sleep(100);
    ASSERT_EQ(GetFileAttributesA(link.c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        << link;
}
