#pragma once
// The answers TESSAUTO gives where the answers file has no rule: the safe
// choice for every question of a run. A window that none of these fits (a disk
// prompt, a refused folder, anything unforeseen) ends the run as failed.

#include <vector>

#include "tools/tessauto/Answers.h"

namespace tessauto {

const std::vector<Rule>& BuiltInAnswers();

} // namespace tessauto
