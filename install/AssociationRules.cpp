#include "install/AssociationRules.h"

#include "support/MBUtils.h"
#include "support/uStrOp.h"

namespace {

std::vector<std::string> Fields(const std::string& text)
{
    std::vector<std::string> fields(1);
    for (char c : text) {
        if (c == ',')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::string AsciiUpper(std::string text)
{
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

} // namespace

Association ParseAssociation(const std::string& name, const std::string& file)
{
    Association association;
    const int comma = MBPosText(",", name);
    association.extension = comma == 0 ? name : LeftStr(name, comma - 1);
    association.description = comma == 0 ? name + " File" : MidStr(name, comma + 1);

    // No comma can be a trail byte, so the fields split byte by byte.
    const std::vector<std::string> fields = Fields(file);
    association.verb = fields.front();
    std::string iconIndex;
    if (fields.size() >= 3) {
        association.program = fields[1];
        iconIndex = fields.back();
    } else if (fields.size() == 2) {
        iconIndex = fields[1];
    }
    association.commandLine =
        MBPos(" ", association.program) > 0 ? "\"" + association.program + "\"" : association.program;
    for (std::size_t i = 2; i + 1 < fields.size(); ++i)
        if (!fields[i].empty()) association.commandLine += " " + fields[i];
    association.icon = association.program + "," + iconIndex;
    return association;
}

std::string AssociationQuestion(const Association& association)
{
    return "拡張子 *." + association.extension + " を\r" + association.program + "\rに関連付けします．よろしいですか？";
}

bool RestoreTableHolds(const std::vector<std::string>& slots, const std::string& extension)
{
    const std::string wanted = AsciiUpper(extension);
    for (const std::string& slot : slots)
        if (AsciiUpper(slot.substr(0, slot.find(','))) == wanted) return true;
    return false;
}
