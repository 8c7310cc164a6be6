#pragma once
// Texts as the answers file compares them: UTF-8, patterns with * ? and [set],
// case ignored; a button named as shown, with or without its access key.

#include <string>
#include <string_view>

namespace tessauto {

std::u32string DecodeUtf8(std::string_view text); // a broken sequence becomes U+FFFD
bool IsValidUtf8(std::string_view text);
char32_t FoldCase(char32_t c);

// Whole-text match; * and ? stand for any characters, [abc] [a-z] [!abc] for one of a set.
bool MatchPattern(std::string_view pattern, std::string_view text);

// A control's caption as shown: "はい(&Y)" is "はい(Y)", "&&" one ampersand.
std::string ShownCaption(std::string_view caption);
// True when `wanted` names the control captioned `caption`: "いいえ", "いいえ(N)"
// and "いいえ(&N)" all name "いいえ(&N)".
bool NamesButton(std::string_view wanted, std::string_view caption);

std::string Trimmed(std::string_view text); // without white space (the ideographic space too) at either end
std::string Lowered(std::string_view text); // ASCII letters only

} // namespace tessauto
