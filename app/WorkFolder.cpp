#include "app/WorkFolder.h"

#include "app/StartupRules.h"
#include "support/FileOps.h"
#include "support/SystemText.h"
#include "support/uStrOp.h"

namespace {

bool NtFamily() { return (GetVersion() & 0x80000000u) == 0; }
// Windows 2000 and later: links, junctions and descriptors written as text.
bool NtFive() { return NtFamily() && LOBYTE(LOWORD(GetVersion())) >= 5; }

constexpr DWORD kSddlRevision = 1; // SDDL_REVISION_1

// The security calls, looked up at run time: the 9x family and NT4 lack them.
struct SecurityFunctions {
    decltype(&::OpenProcessToken) OpenProcessToken;
    decltype(&::GetTokenInformation) GetTokenInformation;
    BOOL(WINAPI* ConvertSidToStringSidA)(PSID, LPSTR*);
    BOOL(WINAPI* ConvertStringSecurityDescriptorToSecurityDescriptorA)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
};

// Who owns what the program makes, as text: the Administrators when it runs
// with their rights, the System account or else the user. "" when the system
// cannot tell.
std::string DefaultOwner(const SecurityFunctions& f)
{
    HANDLE token = nullptr;
    if (!f.OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return {};
    const UniqueKernelHandle ownedToken(token);
    union {
        TOKEN_OWNER owner;
        BYTE bytes[sizeof(TOKEN_OWNER) + SECURITY_MAX_SID_SIZE];
    } found{};
    DWORD size = 0;
    char* text = nullptr;
    if (!f.GetTokenInformation(token, TokenOwner, &found, sizeof found, &size) ||
        !f.ConvertSidToStringSidA(found.owner.Owner, &text))
        return {};
    const UniqueLocalMemory ownedText(text);
    return text;
}

// The descriptor a new work folder gets: none (the system's default) on the
// 9x family and NT4, which cannot describe one. False when it cannot be made.
bool MakeWorkFolderDescriptor(UniqueLocalMemory& made)
{
    if (!NtFive()) return true;
    const HMODULE advapi = GetModuleHandleA("advapi32.dll");
    SecurityFunctions f{};
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!os::LookUp(advapi, "OpenProcessToken", f.OpenProcessToken) ||
        !os::LookUp(advapi, "GetTokenInformation", f.GetTokenInformation) ||
        !os::LookUp(advapi, "ConvertSidToStringSidA", f.ConvertSidToStringSidA) ||
        !os::LookUp(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA",
                    f.ConvertStringSecurityDescriptorToSecurityDescriptorA))
        return false;
    const std::string owner = DefaultOwner(f);
    if (owner.empty() || !f.ConvertStringSecurityDescriptorToSecurityDescriptorA(WorkFolderSecurity(owner).c_str(),
                                                                                  kSddlRevision, &descriptor, nullptr))
        return false;
    made.reset(descriptor);
    return true;
}

// Opens the folder itself, never what a link there points to, against renaming
// and deleting: false when it is a link or cannot be opened. The 9x family has
// neither links nor folder handles: true there, with no handle.
bool HoldFolder(const std::string& folder, UniqueKernelHandle& hold)
{
    if (!NtFamily()) return true;
    const DWORD flags = FILE_FLAG_BACKUP_SEMANTICS | (NtFive() ? FILE_FLAG_OPEN_REPARSE_POINT : 0);
    hold = OwnFileHandle(os::CreateFile(DelBackSlash(folder, "B"), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING, flags));
    BY_HANDLE_FILE_INFORMATION facts{};
    return hold && GetFileInformationByHandle(hold.get(), &facts) &&
           (facts.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ==
               FILE_ATTRIBUTE_DIRECTORY;
}

// Whether a folder of the path is a link or junction, or cannot be told apart from one.
bool PathHoldsLink(const std::string& folder)
{
    for (const std::string& step : FoldersAlongPath(folder)) {
        const DWORD attributes = os::GetFileAttributes(step);
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return true;
    }
    return false;
}

// How deep the removal goes into subfolders.
constexpr int kDeepestLevel = 16;

// Held while its entries go, the folder cannot be swapped for a link meanwhile.
void RemoveTree(const std::string& folder, int level)
{
    {
        UniqueKernelHandle hold;
        if (!HoldFolder(folder, hold)) return;
        os::FoundFile found;
        const UniqueFindHandle search = OwnFindHandle(os::FindFirstFile(folder + "*", found));
        for (bool more = search != nullptr; more; more = os::FindNextFile(search.get(), found)) {
            if (found.name == "." || found.name == "..") continue;
            const std::string path = folder + found.name;
            const bool isFolder = found.attributes & FILE_ATTRIBUTE_DIRECTORY;
            if (found.attributes & FILE_ATTRIBUTE_REPARSE_POINT)
                isFolder ? os::RemoveDirectory(path) : os::DeleteFile(path); // the link, not what it points to
            else if (isFolder && level < kDeepestLevel)
                RemoveTree(path + "\\", level + 1);
            else if (!isFolder)
                os::DeleteFile(path);
        }
    }
    os::RemoveDirectory(folder);
}

// Where the names after TSTMP99 start: hard to foresee, so that nobody can
// make them all beforehand.
unsigned long RandomSeed()
{
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return (counter.LowPart ^ GetTickCount() ^ (GetCurrentProcessId() << 16)) | 1;
}

// Xorshift: the next of a sequence that never reaches 0.
unsigned long NextRandom(unsigned long x)
{
    x ^= x << 13;
    x ^= x >> 17;
    return x ^ (x << 5);
}

} // namespace

WorkFolder CreateWorkFolder(const std::string& tempFolder)
{
    WorkFolder work;
    UniqueLocalMemory descriptor;
    if (!MakeWorkFolderDescriptor(descriptor)) return work;
    SECURITY_ATTRIBUTES security{sizeof security, descriptor.get(), FALSE};
    if (!FolderExists(tempFolder)) CreateFolderPath(tempFolder);

    unsigned long random = RandomSeed();
    for (int attempt = 1; attempt <= 2 * kWorkFolderLimit; ++attempt) {
        const int number = attempt <= kWorkFolderLimit ? attempt : (random = NextRandom(random)) & 0x7FFFFFFF;
        const std::string candidate = WorkFolderName(tempFolder, number);
        // Made here and now: a folder that was there already is refused.
        if (!os::CreateDirectory(candidate, descriptor ? &security : nullptr)) continue;
        work.path = candidate;
        HoldFolder(candidate, work.hold);
        break;
    }
    return work;
}

void RemoveWorkFolder(const std::string& folder)
{
    if (!PathHoldsLink(folder)) RemoveTree(folder, 0);
}
