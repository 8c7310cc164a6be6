#pragma once
// SHA-256 of a byte string, written out here: the oldest systems' CryptoAPI
// has no SHA-256 provider.

#include <string>
#include <string_view>

// The digest as 64 lower-case hexadecimal digits.
std::string Sha256Hex(std::string_view bytes);
