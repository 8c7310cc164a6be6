// The double-byte string functions and folder macros: results stay inside
// their strings and never split a character where the function promises not to.
#include "support/FolderMacros.h"
#include "support/MBUtils.h"
#include "support/uStrOp.h"
#include "tests/fuzz/FolderTableFor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const FolderTable folders = FolderTableFor(input);
    const std::string text = input.Field(), sub = input.Field();
    const int count = input.Number(-3, 300);

    const int at = MBPos(sub, text);
    FUZZ_EXPECT(at >= 0 && static_cast<std::size_t>(at) <= text.size());
    const int atText = MBPosText(sub, text);
    FUZZ_EXPECT(atText >= 0 && static_cast<std::size_t>(atText) <= text.size());
    if (!text.empty()) MatchIgnoringCase(text, static_cast<std::size_t>(count) % text.size(), sub);

    FUZZ_EXPECT(LeftStr(text, count).size() <= text.size());
    FUZZ_EXPECT(RightStr(text, count).size() <= text.size());
    FUZZ_EXPECT(MidStr(text, count).size() <= text.size());
    for (const char* where : {"B", "E", "BE", ""}) {
        AddBackSlash(text, where);
        DelBackSlash(text, where);
    }
    GetToken(text, sub, count);
    FolderPart(text);
    NamePart(text);
    ExpandFolderMacros(text, folders);
    ReplaceToken(text, sub, text);
    return 0;
}
