// A whole script: its numbered lists, and the deletions that the log records of it.
#include "support/IniDocument.h"
#include "support/ScriptLists.h"
#include "tests/fuzz/FolderTableFor.h"
#include "log/InstallRecord.h"
#include "log/ScriptDeletions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const FolderTable folders = FolderTableFor(input);
    const std::string prefix = input.Field();

    const IniDocument script = IniDocument::Parse(input.Whole());
    for (const char* section : {"CopyFile", "ShortCut", "Registry", "DeleteRegistry", "IniFile", "MakeFolder"}) {
        for (const std::string& item : NumberedList(script, section, prefix)) FUZZ_EXPECT(!item.empty());
    }
    InstallRecord record;
    RecordScriptDeletions(script, folders, record);
    return 0;
}
