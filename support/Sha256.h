#pragma once
// SHA-256 of a byte string, written out here: the oldest systems' CryptoAPI
// has no SHA-256 provider.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);

// The same over bytes that come in parts: a file read piece by piece.
class Sha256 {
public:
    void Add(std::string_view bytes);
    // The digest of everything added, its 32 bytes or as Sha256Hex gives it; each ends the use.
    std::array<unsigned char, 32> Digest();
    std::string Hex();

private:
    std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                           0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
    unsigned char block_[64] = {};
    std::size_t held_ = 0;     // bytes of block_ in use
    std::uint64_t total_ = 0;  // bytes added
};
