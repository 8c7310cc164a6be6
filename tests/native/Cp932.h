#pragma once
// Code page 932 as a Japanese system has it (the wine tests check it against the system).

#include "support/CodePage.h"
#include "support/MBUtils.h"

inline void UseCodePage932() { UseCodePage(JapaneseCodePage()); }

// Characters whose trail byte looks like ASCII: 表 and ソ end in a backslash,
// ポ in a vertical bar.
inline const std::string kHyo = "\x95\x5C";  // 表
inline const std::string kSo = "\x83\x5C";   // ソ
inline const std::string kPo = "\x83\x7C";   // ポ
