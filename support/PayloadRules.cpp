#include "support/PayloadRules.h"

namespace {

std::uint64_t Little(std::string_view bytes, std::size_t at, std::size_t size)
{
    std::uint64_t value = 0;
    for (std::size_t i = size; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

constexpr std::size_t kNewHeaderPointer = 0x3C;
constexpr std::uint64_t kPe32 = 0x10B, kPe32Plus = 0x20B;
constexpr std::size_t kOptionalHeaderAt = 24; // after "PE\0\0" and the file header
constexpr std::uint64_t kSecurityDirectory = 4;

} // namespace

std::optional<std::uint64_t> TrailerEnd(std::string_view head, std::uint64_t fileSize)
{
    if (head.size() < 0x40 || head.substr(0, 2) != "MZ") return std::nullopt;
    const std::uint64_t pe = Little(head, kNewHeaderPointer, 4);
    if (pe > head.size() - 4 || head.substr(pe, 4) != std::string_view("PE\0\0", 4)) return std::nullopt;
    const std::uint64_t optional = pe + kOptionalHeaderAt;
    if (optional + 2 > head.size()) return std::nullopt;
    const std::uint64_t magic = Little(head, optional, 2);
    if (magic != kPe32 && magic != kPe32Plus) return std::nullopt;
    // The count of directories, then the directories, 8 bytes each.
    const std::uint64_t countAt = optional + (magic == kPe32 ? 92 : 108);
    const std::uint64_t security = countAt + 4 + kSecurityDirectory * 8;
    if (security + 8 > head.size()) return std::nullopt;
    if (Little(head, countAt, 4) <= kSecurityDirectory) return fileSize;
    const std::uint64_t table = Little(head, security, 4), tableSize = Little(head, security + 4, 4);
    if (table == 0) return fileSize;
    if (table > fileSize || tableSize > fileSize - table) return std::nullopt;
    return table;
}

TrailerRead ParsePayloadTrailer(std::string_view bytes, std::uint64_t trailerEnd)
{
    if (bytes.size() != kPayloadTrailerSize || trailerEnd < kPayloadTrailerSize ||
        bytes.substr(kPayloadTrailerSize - kPayloadMagic.size()) != kPayloadMagic)
        return {};
    TrailerRead read{TrailerState::Damaged, {}};
    PayloadTrailer& trailer = read.trailer;
    trailer.cabinetOffset = Little(bytes, 0, 8);
    trailer.cabinetLength = Little(bytes, 8, 8);
    trailer.expandedSize = Little(bytes, 16, 8);
    constexpr char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 24; i < 56; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        trailer.digest += kDigits[byte >> 4];
        trailer.digest += kDigits[byte & 0xF];
    }
    const std::uint64_t start = trailerEnd - kPayloadTrailerSize;
    if (trailer.cabinetLength == 0 || trailer.cabinetOffset > start ||
        trailer.cabinetLength > start - trailer.cabinetOffset)
        return read;
    if (start - trailer.cabinetOffset - trailer.cabinetLength >= 8) return read;
    read.state = TrailerState::Found;
    return read;
}

bool IsPlainFileName(std::wstring_view name)
{
    if (name.empty() || name == L"." || name == L".." || name.back() == L'.' || name.back() == L' ') return false;
    for (const wchar_t c : name)
        if (c < 0x20 || std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) return false;
    return true;
}
