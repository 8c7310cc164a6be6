// [CopyFile] entries with "|" and flag tails, and the headers of compressed sources.
#include "install/CopyEntry.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string entry = input.Field(), sourceFolder = input.Field(), start = input.Field();

    const CopyEntry copy = ParseCopyEntry(entry, sourceFolder);
    for (char flag : {'S', 'R', 'L', 'F', 'C'}) HasFlag(copy.flags, flag);
    FUZZ_EXPECT(copy.compressed == EndsInUnderscore(copy.source));
    const LzHeader header = ReadLzHeader(start);
    FUZZ_EXPECT(header.format != LzFormat::Compressed || start.size() >= kLzHeaderSize);
    TargetWithStoredName(copy.target, ExpandedName(copy.source, header));
    ExpansionIsWhole(header, entry.size());
    return 0;
}
