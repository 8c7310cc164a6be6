#include "support/uIniFile.h"

#include <windows.h>

namespace {

bool FitsProfileCall(const std::string& argument) { return argument.size() < kProfileArgumentLimit; }
bool FitsFileName(const std::string& fileName) { return fileName.size() < kProfileFileNameLimit; }

// Stands in for a default too long for the system: no line of an INI file can
// hold a line feed, so no value read from a file equals it.
const std::string kAbsentMarker = "\x7F\n\x7F";

// Beyond this the read gives up growing and returns what it has.
constexpr DWORD kLargestBuffer = 1u << 30;

} // namespace

std::string ReadIniStr(const std::string& section, const std::string& key, const std::string& defaultValue,
                       const std::string& fileName)
{
    if (!FitsProfileCall(section) || !FitsProfileCall(key) || !FitsFileName(fileName)) return defaultValue;
    const bool longDefault = !FitsProfileCall(defaultValue);
    const std::string& systemDefault = longDefault ? kAbsentMarker : defaultValue;

    std::string value;
    for (DWORD size = 256;; size *= 2) {
        value.assign(size, '\0');
        const DWORD stored = GetPrivateProfileStringA(section.c_str(), key.c_str(), systemDefault.c_str(),
                                                      value.data(), size, fileName.c_str());
        value.resize(stored < size ? stored : size - 1);
        // A value that filled the buffer may have been cut: read again, larger.
        if (stored != size - 1 || size >= kLargestBuffer) break;
    }
    if (longDefault && value == kAbsentMarker) return defaultValue;
    return value;
}

bool WriteIniStr(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& fileName)
{
    if (!FitsProfileCall(section) || !FitsProfileCall(key) || !FitsProfileCall(value) || !FitsFileName(fileName))
        return false;
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName.c_str());
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str()) != FALSE;
}

bool DeleteIniSection(const std::string& section, const std::string& fileName)
{
    if (!FitsProfileCall(section) || !FitsFileName(fileName)) return false;
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName.c_str()) != FALSE;
}
