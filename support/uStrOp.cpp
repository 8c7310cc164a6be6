#include "support/uStrOp.h"

#include "support/CodePage.h"
#include "support/MBUtils.h"

namespace {

// Copy of `count` bytes from 1-based `start`, with the shared clamping rule.
std::string CopyRange(const std::string& s, long long start, long long count)
{
    if (start < 1) start = 1;
    if (count < 0 || start > static_cast<long long>(s.size())) return {};
    return s.substr(static_cast<std::size_t>(start - 1), static_cast<std::size_t>(count));
}

bool IsSeparatorAt(const std::string& path, std::size_t at)
{
    return at < path.size() && path[at] == '\\' && IsCharStart(path, at);
}

// Index just past the last separator (backslash or colon), 0 when there is none.
std::size_t NameStart(const std::string& path)
{
    std::size_t start = 0;
    for (std::size_t i = 0; i < path.size(); i += CharLength(path, i))
        if (path[i] == '\\' || path[i] == ':') start = i + 1;
    return start;
}

} // namespace

std::string UpperCase(std::string_view s)
{
    const CodePage& page = ActiveCodePage();
    std::string upper;
    upper.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t length = CharLength(s, i);
        upper += page.UpperOf(s, i, length);
        i += length;
    }
    return upper;
}

std::string LeftStr(const std::string& s, int count) { return CopyRange(s, 1, count); }

std::string RightStr(const std::string& s, int count)
{
    if (count < 0) return {};
    return CopyRange(s, static_cast<long long>(s.size()) - count + 1, count);
}

std::string MidStr(const std::string& s, int start)
{
    return CopyRange(s, start, static_cast<long long>(s.size()));
}

std::string AddBackSlash(const std::string& path, const std::string& where)
{
    if (where.empty()) return path;
    if (where[0] == 'T') return IsSeparatorAt(path, 0) ? path : "\\" + path;
    if (where[0] == 'B') return !path.empty() && IsSeparatorAt(path, path.size() - 1) ? path : path + "\\";
    return path;
}

std::string DelBackSlash(const std::string& path, const std::string& where)
{
    if (where.empty() || path.empty()) return path;
    if (where[0] == 'T') return IsSeparatorAt(path, 0) ? path.substr(1) : path;
    if (where[0] == 'B') return IsSeparatorAt(path, path.size() - 1) ? path.substr(0, path.size() - 1) : path;
    return path;
}

std::string GetToken(const std::string& s, const std::string& delim, int n)
{
    std::string field;
    int counter = 1;
    for (char c : s) {
        if (delim.size() == 1 && c == delim[0])
            ++counter;
        else if (counter == n)
            field += c;
    }
    return field;
}

std::string FolderPart(const std::string& path) { return path.substr(0, NameStart(path)); }

std::string NamePart(const std::string& path) { return path.substr(NameStart(path)); }
