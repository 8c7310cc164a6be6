#pragma once
// Lists of numbered keys in a script or log: File1, File2, ... read from 1 up
// to the first key that is missing or empty, so a gap ends the list.

#include <string>
#include <vector>

#include "support/IniDocument.h"

std::vector<std::string> NumberedList(const IniDocument& script, const std::string& section,
                                      const std::string& prefix);
