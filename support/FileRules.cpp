#include "support/FileRules.h"

#include <climits>

#include "support/MBUtils.h"
#include "support/uStrOp.h"

bool IsOcxOrDll(const std::string& path) { return MBPosText(".OCX", path) > 0 || MBPosText(".DLL", path) > 0; }

std::vector<std::string> FolderPrefixes(const std::string& path)
{
    const std::string full = AddBackSlash(path, "B");
    const bool network = full.rfind("\\\\", 0) == 0;
    std::vector<std::string> prefixes;
    int separators = 0;
    std::size_t from = 0;
    while (from < full.size()) {
        const int found = MBPos("\\", full.substr(from));
        if (found == 0) break;
        from += static_cast<std::size_t>(found);
        ++separators;
        // \, \\ and \\server\ name no folder of their own.
        if (network && separators < 4) continue;
        prefixes.push_back(full.substr(0, from));
    }
    return prefixes;
}

std::vector<std::string> SplitPatterns(const std::string& patterns)
{
    std::vector<std::string> list;
    std::string rest = patterns;
    while (!rest.empty()) {
        const int bar = MBPos("|", rest);
        const std::string pattern = bar ? LeftStr(rest, bar - 1) : rest;
        if (!pattern.empty()) list.push_back(pattern);
        rest = bar ? MidStr(rest, bar + 1) : std::string();
    }
    return list;
}

int CountAfterIncrement(int count, bool fileExists)
{
    if (count <= 0) count = fileExists ? 1 : 0;
    return count == INT_MAX ? count : count + 1;
}
