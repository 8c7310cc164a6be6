// [Registry] values with their type tokens, key names, and [IniFile] data.
#include "install/RegistryRules.h"
#include "tests/fuzz/FolderTableFor.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const FolderTable folders = FolderTableFor(input);
    const std::string value = input.Field(), key = input.Field(), ini = input.Field();

    ParseRegistryValue(value, folders);
    ParseRegistryNumber(value);
    ParseRegistryKey(key);
    ParseIniEntry(ini, folders);
    return 0;
}
