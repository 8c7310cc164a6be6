#include "tools/tessauto/LogFileRules.h"

namespace tessauto {

std::string LogRefusal(const ExistingLog& log)
{
    if (log.link) return "it is a link";
    if (log.names > 1) return "it has other names (hard links)";
    if (!log.ownedByAdministrators) return "neither the Administrators nor the System account own it";
    return {};
}

} // namespace tessauto
