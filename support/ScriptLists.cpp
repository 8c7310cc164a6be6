#include "support/ScriptLists.h"

std::vector<std::string> NumberedList(const IniDocument& script, const std::string& section,
                                      const std::string& prefix)
{
    std::vector<std::string> values;
    for (int n = 1;; ++n) {
        std::string value = script.Get(section, prefix + std::to_string(n));
        if (value.empty()) return values;
        values.push_back(std::move(value));
    }
}
