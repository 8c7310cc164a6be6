#include "install/FolderRules.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"
#include "support/Protection.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDriveLetter(const std::string& folder)
{
    return folder.size() >= 2 && IsAsciiLetter(folder[0]) && folder[1] == ':';
}

bool IsNetworkPath(const std::string& folder) { return folder.rfind("\\\\", 0) == 0; }

// Index of the first backslash (a character of its own) at or after `from`.
std::size_t NextSeparator(const std::string& text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1)
        if (text[i] == '\\' && IsCharStart(text, i)) return i;
    return std::string::npos;
}

// "\\server\share" of a network path, or "" when the server or share is missing.
std::string NetworkShare(const std::string& folder)
{
    const std::size_t serverEnd = NextSeparator(folder, 2);
    if (serverEnd == std::string::npos || serverEnd == 2) return {};
    const std::size_t shareEnd = NextSeparator(folder, serverEnd + 1);
    const std::size_t end = shareEnd == std::string::npos ? folder.size() : shareEnd;
    if (end == serverEnd + 1) return {};
    return folder.substr(0, end);
}

} // namespace

std::string DrivePart(const std::string& folder)
{
    if (HasDriveLetter(folder)) return folder.substr(0, 2);
    if (IsNetworkPath(folder)) return NetworkShare(folder);
    return {};
}

std::string InstallFolderProblem(const std::string& folder)
{
    const bool absolute = (HasDriveLetter(folder) && folder.size() >= 3 && folder[2] == '\\') ||
                          (IsNetworkPath(folder) && !NetworkShare(folder).empty());
    if (!absolute)
        return "フォルダは，ドライブ名から始まるパス（例 C:\\Program Files\\App）か，"
               "ネットワークのパス（例 \\\\server\\share\\App）で指定してください．";
    // The uninstall removes nothing from a folder that climbs or stays with "." or "..".
    if (HasRelativeParts(folder)) return "フォルダ名に「.」や「..」だけの部分は使えません．";
    if (DelBackSlash(folder, "B").size() >= kLongestFolder)
        return "フォルダ名が長すぎます．半角で247文字（全角で123文字）までにしてください．";
    if (MBPos(",", folder) > 0) return "フォルダ名に「,」（半角のカンマ）は使えません．";
    if (MBPos("|", folder) > 0) return "フォルダ名に「|」（半角の縦線）は使えません．";
    return {};
}
