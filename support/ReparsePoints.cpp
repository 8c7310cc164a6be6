#include "support/ReparsePoints.h"

#include <iterator>

#include "support/Handles.h"
#include "support/LinkRules.h"
#include "support/SystemText.h"

namespace {

// FILE_INFO_BY_HANDLE_CLASS's FileDispositionInfo and its record (Vista's headers).
constexpr int kDispositionInfo = 4;
struct Disposition {
    BOOLEAN deleteFile;
};
using SetFileInformationByHandleCall = BOOL(WINAPI*)(HANDLE, int, void*, DWORD);

// This computer's name on the network (in capitals, ASCII in practice),
// asked once: the program has one thread.
const char* ComputerName()
{
    static char name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof name;
    if (name[0] == '\0' && !GetComputerNameA(name, &size)) name[0] = '\0';
    return name;
}

// What the system maps a drive to. A run asks about every path it removes,
// and each question costs a call into the kernel: a drive found to be no
// mapping (a disk, a share) is not asked about again. Only this session's
// own programs can map a drive for it.
std::string DriveMapping(const std::string& drive)
{
    static bool unmapped['Z' - 'A' + 1];
    const unsigned letter = static_cast<unsigned char>(drive[0]) - 'A';
    const bool known = letter < std::size(unmapped);
    if (known && unmapped[letter]) return {};
    std::string target = os::DosDeviceTarget(drive);
    if (known && target.rfind("\\??\\", 0) != 0) unmapped[letter] = true;
    return target;
}

unsigned long LastError(unsigned long fallback)
{
    const DWORD error = GetLastError();
    return error != 0 ? error : fallback;
}

} // namespace

std::string PlainPath(const std::string& path)
{
    const std::string full = path.empty() ? std::string() : os::FullPathName(path);
    if (full.empty()) return {};
    const std::string plain = PlainForm(full, ComputerName(), DriveMapping);
    // What a form stood for is made full as the system makes a path full.
    return plain == full ? plain : os::FullPathName(plain);
}

LinkOnPath FindLink(const std::string& plainPath)
{
    for (std::size_t end = NextStepEnd(plainPath, 0); end != std::string::npos;) {
        const std::string step = plainPath.substr(0, end);
        const DWORD attributes = os::GetFileAttributes(step);
        if (attributes == INVALID_FILE_ATTRIBUTES)
            // A folder that hides what it is may be a link; a name that is not there hides nothing below it.
            return GetLastError() == ERROR_ACCESS_DENIED ? LinkOnPath::Before : LinkOnPath::None;
        end = NextStepEnd(plainPath, end);
        if (IsLink(step, attributes)) return end == std::string::npos ? LinkOnPath::Last : LinkOnPath::Before;
    }
    return LinkOnPath::None;
}

bool HasLink(const std::string& path) { return FindLink(PlainPath(path)) != LinkOnPath::None; }

bool IsLink(const std::string& path, DWORD attributes)
{
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
           IsLinkTag(os::ReparseTag(path));
}

unsigned long RemoveLinkItself(const std::string& path)
{
    static const auto setInformation = reinterpret_cast<SetFileInformationByHandleCall>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetFileInformationByHandle")));
    if (setInformation == nullptr) return kLinkOnPath;
    const HANDLE opened = os::CreateFile(path, DELETE | FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT);
    if (opened == INVALID_HANDLE_VALUE) return LastError(ERROR_GEN_FAILURE);
    const UniqueKernelHandle link(opened);
    // A system that opened what the link leads to, whatever was asked, has no
    // link to remove here: that is never deleted in its place.
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!GetFileInformationByHandle(link.get(), &facts) || !(facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return kLinkOnPath;
    Disposition disposition{TRUE};
    const bool removed = setInformation(link.get(), kDispositionInfo, &disposition, sizeof disposition);
    return removed ? 0 : LastError(ERROR_GEN_FAILURE);
}
