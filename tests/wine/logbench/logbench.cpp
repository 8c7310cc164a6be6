// Times the uninstall log written and read in memory against the same work
// done one profile call per key, and the parse of a large setup script.
//   logbench <folder>
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "log/LogMerge.h"
#include "support/IniDocument.h"
#include "support/ScriptLists.h"
#include "support/WholeFile.h"
#include "tests/wine/LiteralLog.h"

namespace {

double Seconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

InstallRecord RecordOf(int files, const std::string& folder)
{
    InstallRecord record;
    for (int n = 0; n < files; ++n)
        record.Append(PendingList::DeleteFiles, folder + "ポ表\\file" + std::to_string(n) + ".dat" + (n % 7 ? "" : ",/S"));
    record.Append(PendingList::DeleteFiles, folder + "UNSETUP.INI");
    return record;
}

LogTexts TextsFor(const std::string& folder)
{
    return {"Bench", folder, "", "インストール", "アンインストール",
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Bench", "BENCH"};
}

void Report(const char* what, int files, double seconds)
{
    std::printf("%-42s %6d files %9.3f s\n", what, files, seconds);
}

void Ours(int files, const std::string& folder)
{
    const InstallRecord record = RecordOf(files, folder);
    const std::string log = folder + "OURS.INI";
    Report("in memory: write (build, write, rename)", files, Seconds([&] {
        const std::string text = BuildUninstallLog(record, TextsFor(folder), [](const std::string&) {}).Text();
        WriteNewFile(folder + "OURS.NEW", text);
        RenameOver(folder + "OURS.NEW", log);
    }));
    InstallRecord merged;
    Report("in memory: read (read, parse, merge)", files, Seconds([&] {
        MergePreviousLog(IniDocument::Parse(ReadFileText(log).text), merged);
    }));
    if (merged.Items(PendingList::DeleteFiles).size() != record.Items(PendingList::DeleteFiles).size())
        std::printf("  (read back %u items, expected %u)\n",
                    static_cast<unsigned>(merged.Items(PendingList::DeleteFiles).size()),
                    static_cast<unsigned>(record.Items(PendingList::DeleteFiles).size()));
}

void Literal(int files, const std::string& folder, bool write)
{
    const std::string log = folder + (write ? "LITERAL.INI" : "OURS.INI");
    if (write) {
        const InstallRecord record = RecordOf(files, folder);
        Report("profile calls: write", files, Seconds([&] { WriteLiteralLog(record, TextsFor(folder), log); }));
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, log.c_str());
    std::size_t read = 0;
    Report("profile calls: read", files, Seconds([&] { read = ReadLiteralList("DeleteFile", "File", log).size(); }));
    if (read != static_cast<std::size_t>(files) + 1) std::printf("  (read back %u items)\n", static_cast<unsigned>(read));
}

// A setup script of `entries` [CopyFile] entries, parsed and its list read.
void ScriptParse(int entries)
{
    std::string text = "[Title]\r\nSetup=Bench\r\n[CopyFile]\r\n";
    for (int n = 1; n <= entries; ++n)
        text += "File" + std::to_string(n) + "=(App)\\表\\F" + std::to_string(n) + ".DAT,/S\r\n";
    std::size_t read = 0;
    Report("script: parse and read [CopyFile]", entries, Seconds([&] {
        read = NumberedList(IniDocument::Parse(text), "CopyFile", "File").size();
    }));
    if (read != static_cast<std::size_t>(entries)) std::printf("  (read %u entries)\n", static_cast<unsigned>(read));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) return 2;
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    CreateDirectoryA(folder.c_str(), nullptr);
    Ours(300, folder);
    Literal(300, folder, true);
    Ours(10000, folder);
    Literal(10000, folder, false); // the profile calls read what we wrote
    ScriptParse(10000);
    return 0;
}
