#include "support/uIniFile.h"

#include <windows.h>

#include "support/IniDocument.h"
#include "support/SystemText.h"
#include "support/WholeFile.h"

namespace {

// The profile functions carry a file's text through Unicode and back by the
// system's ANSI code page: only where that is code page 932 (or on the 9x
// family, which converts nothing) do they keep its bytes. Elsewhere the file
// is read and written whole here, as those functions would write it.
IniAccess Chosen()
{
    return !os::WideCalls() || GetACP() == 932 ? IniAccess::ProfileFunctions : IniAccess::WholeFile;
}

std::optional<IniAccess>& ChosenForTests()
{
    static std::optional<IniAccess> chosen;
    return chosen;
}

IniAccess Access() { return ChosenForTests().value_or(Chosen()); }

// A file the profile functions read as Unicode: the program leaves it to them.
bool IsUnicodeText(const std::string& text)
{
    return text.rfind("\xFF\xFE", 0) == 0 || text.rfind("\xFE\xFF", 0) == 0 || text.rfind("\xEF\xBB\xBF", 0) == 0;
}

// The file as the program edits it itself: "" for a file not there yet;
// nothing when it cannot be read, or when it is Unicode text, which the
// profile functions keep as such.
struct WholeIni {
    bool readable = false;
    IniDocument document;
};
WholeIni ReadWholeIni(const std::string& fileName, bool& leaveToSystem)
{
    const FileText file = ReadFileText(fileName);
    leaveToSystem = file.error == 0 && IsUnicodeText(file.text);
    if (file.error == ERROR_FILE_NOT_FOUND) return {true, IniDocument::Parse("")};
    if (file.error != 0 || leaveToSystem) return {};
    return {true, IniDocument::Parse(file.text)};
}

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
    if (Access() == IniAccess::WholeFile) {
        const FileText file = ReadFileText(fileName);
        if (file.error != 0) return defaultValue;
        if (!IsUnicodeText(file.text))
            return IniDocument::Parse(file.text).Find(section, key).value_or(defaultValue);
    }
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
    bool leaveToSystem = false;
    if (Access() == IniAccess::WholeFile) {
        WholeIni ini = ReadWholeIni(fileName, leaveToSystem);
        if (!leaveToSystem) {
            if (!ini.readable) return false;
            ini.document.Set(section, key, value);
            return WriteNewFile(fileName, ini.document.Text()) == 0;
        }
    }
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName.c_str());
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName.c_str()) != FALSE;
}

bool DeleteIniSection(const std::string& section, const std::string& fileName)
{
    if (!FitsProfileCall(section) || !FitsFileName(fileName)) return false;
    bool leaveToSystem = false;
    if (Access() == IniAccess::WholeFile) {
        WholeIni ini = ReadWholeIni(fileName, leaveToSystem);
        if (!leaveToSystem) {
            if (!ini.readable) return false;
            if (!ini.document.HasSection(section)) return true;
            ini.document.RemoveSection(section);
            return WriteNewFile(fileName, ini.document.Text()) == 0;
        }
    }
    return WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName.c_str()) != FALSE;
}

void FlushIniFile(const std::string& fileName)
{
    if (Access() == IniAccess::ProfileFunctions && FitsFileName(fileName))
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName.c_str());
}

IniAccess CurrentIniAccess() { return Access(); }

void UseIniAccessForTests(std::optional<IniAccess> access) { ChosenForTests() = access;
}
