#pragma once
// Code page 932 as the system reports it: lead bytes 0x81-0x9F and 0xE0-0xFC.

#include "support/MBUtils.h"

inline void UseCodePage932() { SetLeadByteRanges({{0x81, 0x9F}, {0xE0, 0xFC}}); }

// Characters whose trail byte looks like ASCII: 表 and ソ end in a backslash,
// ポ in a vertical bar.
inline const std::string kHyo = "\x95\x5C";  // 表
inline const std::string kSo = "\x83\x5C";   // ソ
inline const std::string kPo = "\x83\x7C";   // ポ
