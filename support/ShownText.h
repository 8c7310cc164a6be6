#pragma once
// Texts from outside (a read-me, paths in a failure report, names from a
// script) fitted to the controls that show them. Cuts fall on character
// boundaries only, never inside a two-byte character or a CR LF.

#include <cstddef>
#include <string>
#include <string_view>

// The bytes a multi-line edit control of the 9x family holds, its closing zero included.
constexpr std::size_t kNineXMemoLimit = 0x10000;
// What the NT family's edit control is given at most: it takes about a second
// per megabyte to lay a text out (under Wine a read-me of 50 MB froze the
// window for 49 s at a peak of 413 MB), and no one reads further.
constexpr std::size_t kLargestMemoText = 4u << 20;
// Longer lines are broken: the edit control's time for a line grows with the
// square of its length.
constexpr std::size_t kLongestMemoLine = 1024;
// The line that ends a text that was cut.
constexpr char kMemoCutLine[] = "……（長すぎるため，ここから先は表示していません．）";

std::size_t MemoTextLimit(bool nineXFamily);

// `text` as a multi-line edit control holding fewer than `limit` bytes shows
// it: lines longer than kLongestMemoLine broken with CR LF and, when the text
// would not fit or `continues` past what was given, cut after a whole line or
// character and ended by kMemoCutLine.
std::string FitMemoText(std::string_view text, std::size_t limit, bool continues = false);

// A text file's bytes as lines that each end in CR LF, as the edit control
// shows them: CR, LF and CR LF each end a line, zero bytes are dropped.
std::string TextFileLines(std::string_view bytes);

// Lines longer than this (no path the system can open is) keep their start and
// end around "．．．": so go message boxes and the paths of a failure report.
constexpr std::size_t kLongestReadableLine = 400;
std::string ShortenLongLines(std::string_view text);
