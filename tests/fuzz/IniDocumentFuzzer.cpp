// The parsed script and log: any bytes parse; a value set is read back as the
// profile functions would read it, and so is every value of a file the program writes.
#include "support/IniDocument.h"
#include "tests/fuzz/FuzzInput.h"

namespace {

// Section and key names are the program's own constants: letters and digits.
std::string ConstantName(const std::string& field)
{
    std::string name = "K";
    for (char c : field)
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) name += c;
    return name;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string file = input.Field(), section = input.Field(), key = input.Field(), value = input.Field();

    IniDocument document = IniDocument::Parse(file);
    document.Find(section, key);
    // A name asked for is trimmed and ends at a zero byte, as the system's are: a
    // section whose name holds either cannot be found, there as here.
    for (const std::string& name : document.SectionNames())
        if (name.find('\0') == std::string::npos && TrimIniSpace(name) == name) FUZZ_EXPECT(document.HasSection(name));

    const std::string ownSection = ConstantName(section), ownKey = ConstantName(key);
    document.Set(ownSection, ownKey, value);
    FUZZ_EXPECT(document.Find(ownSection, ownKey) == IniDocument::ReadBack(value));

    // A file the program writes (as the uninstall log): every value comes back from it.
    IniDocument own;
    own.Set(ownSection, ownKey, value);
    own.Set(ownSection, ownKey + "2", file);
    own.Set("Other", ownKey, key);
    const IniDocument written = IniDocument::Parse(own.Text());
    FUZZ_EXPECT(written.Find(ownSection, ownKey) == IniDocument::ReadBack(value));
    FUZZ_EXPECT(written.Find(ownSection, ownKey + "2") == IniDocument::ReadBack(file));
    FUZZ_EXPECT(written.Find("Other", ownKey) == IniDocument::ReadBack(key));
    return 0;
}
