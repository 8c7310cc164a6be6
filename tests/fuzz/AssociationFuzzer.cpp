// [Relate] names and file values, and the restore table an install keeps.
#include "install/AssociationRules.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzInput input(data, size);
    const std::string name = input.Field(), file = input.Field(), slot = input.Field();

    const Association association = ParseAssociation(name, file);
    AssociationQuestion(association);
    RestoreTableHolds({slot, file}, association.extension);
    return 0;
}
