// The parsed script and log: any bytes parse; a value written is read back as
// the profile functions would read it, also from the file written.
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
    for (const std::string& name : document.SectionNames()) FUZZ_EXPECT(document.HasSection(name));

    const std::string ownSection = ConstantName(section), ownKey = ConstantName(key);
    document.Set(ownSection, ownKey, value);
    FUZZ_EXPECT(document.Find(ownSection, ownKey) == IniDocument::ReadBack(value));
    const IniDocument written = IniDocument::Parse(document.Text());
    FUZZ_EXPECT(written.Find(ownSection, ownKey) == IniDocument::ReadBack(value));
    return 0;
}
