#include "log/LogValues.h"

#include "support/MBUtils.h"

namespace {

constexpr std::size_t kFlagLength = 5;
constexpr std::size_t kRootTokenLength = 7;

std::string AsciiUpper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

RecordedFile SplitRecordedFile(const std::string& value)
{
    const int comma = MBPos(",", value);
    if (comma == 0) return {value, {}};
    return {value.substr(0, static_cast<std::size_t>(comma - 1)),
            value.substr(static_cast<std::size_t>(comma - 1), kFlagLength)};
}

bool HasRecordedFlag(const RecordedFile& file, char letter)
{
    return MBPosText(std::string("/") + letter, file.flags) > 0;
}

RecordedKey SplitRecordedKey(const std::string& value)
{
    if (value.size() >= kRootTokenLength && value[0] == '(' && value[kRootTokenLength - 1] == ')')
        return {value.substr(0, kRootTokenLength), value.substr(kRootTokenLength)};
    return {"(Cuser)", value};
}

RegistryRoot RootOfToken(const std::string& rootToken)
{
    if (rootToken == "(Class)") return RegistryRoot::ClassesRoot;
    if (rootToken == "(Local)") return RegistryRoot::LocalMachine;
    if (rootToken == "(Users)") return RegistryRoot::Users;
    return RegistryRoot::CurrentUser;
}

SavedAssociation SplitSavedAssociation(const std::string& value)
{
    const std::size_t comma = value.find(',');
    if (comma == std::string::npos) return {value, {}};
    return {value.substr(0, comma), value.substr(comma + 1)};
}

std::string AutoFileType(const std::string& extension) { return extension + "_auto_file"; }

bool IsOwnFileType(const std::string& previous, const std::string& extension)
{
    return AsciiUpper(previous) == AsciiUpper(AutoFileType(extension));
}
