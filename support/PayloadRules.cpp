#include "support/PayloadRules.h"

#include <cstring>
#include <cwchar>

namespace {

std::uint64_t Little(const char* bytes, int size)
{
    std::uint64_t value = 0;
    while (size-- > 0) value = value << 8 | static_cast<unsigned char>(bytes[size]);
    return value;
}

std::uint32_t Dword(const char* bytes) { return static_cast<std::uint32_t>(Little(bytes, 4)); }

constexpr std::uint32_t kNewHeaderPointer = 0x3C;
constexpr std::uint32_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr std::uint32_t kOptionalHeaderAt = 24; // after "PE\0\0" and the file header
constexpr std::uint32_t kSecurityDirectory = 4;

} // namespace

std::optional<std::uint32_t> TrailerEnd(std::string_view head, std::uint32_t fileSize)
{
    const char* bytes = head.data();
    const std::size_t size = head.size();
    if (size < kProgramHeadSize || std::memcmp(bytes, "MZ", 2) != 0) return std::nullopt;
    const std::uint32_t pe = Dword(bytes + kNewHeaderPointer);
    // The count of directories (after 92 bytes of a 32-bit optional header, 108 of a
    // 64-bit one), then the directories, 8 bytes each.
    if (pe > size - 256 || std::memcmp(bytes + pe, "PE\0\0", 4) != 0) return std::nullopt;
    const char* optional = bytes + pe + kOptionalHeaderAt;
    const std::uint32_t magic = static_cast<std::uint32_t>(Little(optional, 2));
    if (magic != kPe32 && magic != kPe32Plus) return std::nullopt;
    const char* count = optional + (magic == kPe32 ? 92 : 108);
    if (Dword(count) <= kSecurityDirectory) return fileSize;
    const std::uint32_t table = Dword(count + 4 + kSecurityDirectory * 8), tableSize = Dword(count + 8 + kSecurityDirectory * 8);
    if (table == 0) return fileSize;
    if (table > fileSize || tableSize > fileSize - table) return std::nullopt;
    return table;
}

TrailerRead ParsePayloadTrailer(std::string_view bytes, std::uint32_t trailerEnd)
{
    TrailerRead read;
    if (bytes.size() != kPayloadTrailerSize || trailerEnd < kPayloadTrailerSize ||
        bytes.substr(kPayloadTrailerSize - kPayloadMagic.size()) != kPayloadMagic)
        return read;
    read.state = TrailerState::Damaged;
    const std::uint64_t offset = Little(bytes.data(), 8), length = Little(bytes.data() + 8, 8);
    PayloadTrailer& trailer = read.trailer;
    trailer.expandedSize = Little(bytes.data() + 16, 8);
    std::memcpy(trailer.digest, bytes.data() + 24, sizeof trailer.digest);
    const std::uint32_t start = trailerEnd - kPayloadTrailerSize;
    if (length == 0 || offset > start || length > start - offset || start - offset - length >= 8) return read;
    trailer.cabinetOffset = static_cast<std::uint32_t>(offset);
    trailer.cabinetLength = static_cast<std::uint32_t>(length);
    read.state = TrailerState::Found;
    return read;
}

bool IsPlainFileName(std::wstring_view name)
{
    if (name.empty() || name == L".." || name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name)
        if (c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c)) return false;
    return true;
}
