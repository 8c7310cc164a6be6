#include "support/ShownText.h"
#include "support/MBUtils.h"

#include <algorithm>


namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kMiddleCut = "．．．";

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The length of the unit at `at`: a CR LF pair, or one character.
std::size_t UnitLength(std::string_view s, std::size_t at)
{
    if (s[at] == '\r' && at + 1 < s.size() && s[at + 1] == '\n') return 2;
    return CharLength(s, at);
}

} // namespace

std::size_t MemoTextLimit(bool nineXFamily) { return nineXFamily ? kNineXMemoLimit : kLargestMemoText; }

std::string FitMemoText(std::string_view text, std::size_t limit, bool continues)
{
    const std::string_view cutLine = kMemoCutLine;
    // Room for the cut line on a line of its own and the closing zero.
    const std::size_t reserve = kLineEnd.size() + cutLine.size() + 1;
    const std::size_t budget = limit > reserve ? limit - reserve : 0;
    const std::size_t room = limit > 0 ? limit - 1 : 0; // what fits when nothing is cut

    std::string shown;
    shown.reserve(std::min(text.size() + text.size() / kLongestMemoLine * kLineEnd.size(), limit));
    std::size_t lineLength = 0;
    std::size_t fits = 0, lineEndFits = 0; // the last cut points within the budget
    bool whole = true;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = UnitLength(text, at);
        const bool lineEnd = IsLineEnd(text[at]);
        const bool broken = !lineEnd && lineLength + length > kLongestMemoLine;
        const std::size_t grows = length + (broken ? kLineEnd.size() : 0);
        if (shown.size() + grows > room) {
            whole = false;
            break;
        }
        if (broken) {
            shown += kLineEnd;
            lineLength = 0;
            if (shown.size() <= budget) lineEndFits = fits = shown.size();
        }
        shown.append(text, at, length);
        at += length;
        lineLength = lineEnd ? 0 : lineLength + length;
        if (shown.size() <= budget) {
            fits = shown.size();
            if (lineEnd) lineEndFits = fits;
        }
    }
    if (whole && !continues) return shown;

    // After the last whole line that fits (lines are short by now), else after a
    // character; what `continues` has only begun is dropped.
    if (lineEndFits > 0) {
        shown.resize(lineEndFits);
    } else {
        shown.resize(fits);
        if (!shown.empty()) shown += kLineEnd;
    }
    if (shown.size() + cutLine.size() < limit) shown += cutLine;
    return shown;
}

std::string TextFileLines(std::string_view bytes)
{
    std::string lines;
    lines.reserve(bytes.size() + bytes.size() / 16);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (IsLineEnd(bytes[i])) {
            if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
            lines += kLineEnd;
        } else if (bytes[i] != '\0') {
            lines += bytes[i];
        }
    }
    return lines;
}

std::string ShortenLongLines(std::string_view text)
{
    constexpr std::size_t kKept = (kLongestReadableLine - kMiddleCut.size()) / 2;
    std::string shown;
    for (std::size_t start = 0; start <= text.size();) {
        std::size_t end = start;
        while (end < text.size() && !IsLineEnd(text[end])) ++end;
        const std::string_view line = text.substr(start, end - start);
        if (line.size() <= kLongestReadableLine) {
            shown += line;
        } else {
            // The start up to kKept bytes, and the end from the first character
            // boundary within kKept bytes of it.
            std::size_t head = 0, tail = 0;
            for (std::size_t at = 0; at < line.size(); at += CharLength(line, at)) {
                if (at <= kKept) head = at;
                if (line.size() - at <= kKept) {
                    tail = at;
                    break;
                }
            }
            shown.append(line.substr(0, head)).append(kMiddleCut).append(line.substr(tail));
        }
        if (end == text.size()) break;
        shown += text[end];
        start = end + 1;
    }
    return shown;
}
