#pragma once
// The rules of a program that carries its medium as a payload: where the
// trailer that describes the payload lies, what it says, and which names a
// payload file may have. Pure: the system calls are the caller's.
//
// Layout of such a program: the program itself, the cabinet, zeros up to a
// multiple of 8 bytes, the trailer; then, when signed, the certificate table,
// which the signature requires to come last. The trailer is 64 bytes:
//   0  the cabinet's offset in the file      (64 bits, little-endian)
//   8  the cabinet's length in bytes         (64 bits)
//  16  the payload's size once expanded      (64 bits)
//  24  SHA-256 of the cabinet                (32 bytes)
//  56  kPayloadMagic                         (8 bytes)

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

constexpr std::size_t kPayloadTrailerSize = 64;
constexpr std::string_view kPayloadMagic{"TSRPAYLD", 8};
// Enough of the file's start to hold its headers up to the security directory.
constexpr std::size_t kProgramHeadSize = 4096;

// Where the trailer ends: at the certificate table of a signed program, at the
// end of the file otherwise. Nothing when `head` (the file's first bytes) is no
// program or names a certificate table beyond the file. A program is smaller
// than 4 GB: its headers count in 32 bits.
std::optional<std::uint32_t> TrailerEnd(std::string_view head, std::uint32_t fileSize);

struct PayloadTrailer {
    std::uint32_t cabinetOffset = 0;
    std::uint32_t cabinetLength = 0;
    std::uint64_t expandedSize = 0;
    unsigned char digest[32] = {}; // SHA-256
};

enum class TrailerState { None, Damaged, Found };

struct TrailerRead {
    TrailerState state = TrailerState::None;
    PayloadTrailer trailer;
};

// The trailer in the `kPayloadTrailerSize` bytes that end at `trailerEnd`: none
// without the magic; damaged when the cabinet it names is not wholly before it,
// with no more than 7 bytes of padding between.
TrailerRead ParsePayloadTrailer(std::string_view bytes, std::uint32_t trailerEnd);

// Whether a name from the payload names a file of the medium's one flat folder:
// not empty, not "." or "..", no folder or drive part, no character the system
// refuses in a name or reads as a wildcard, and no trailing dot or space (which
// the system drops, so that two names could mean one file).
bool IsPlainFileName(std::wstring_view name);
