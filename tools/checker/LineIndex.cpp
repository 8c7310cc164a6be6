#include "tools/checker/LineIndex.h"

#include <algorithm>
#include <string_view>

#include "support/IniDocument.h"
#include "support/MBUtils.h"

namespace {

// A name ends at a zero byte, as a C string does.
std::string Name(std::string_view s)
{
    return std::string(TrimIniSpace(s.substr(0, s.find('\0'))));
}

bool LeadsPair(std::string_view text, std::size_t at)
{
    return IsLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size() && text[at + 1] != '\0';
}

std::size_t LastClosingBracket(std::string_view line)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < line.size(); i += LeadsPair(line, i) ? 2 : 1)
        if (line[i] == ']') found = i;
    return found;
}

// Where each line of an editor begins: after CR LF, a lone CR or a lone LF.
std::vector<std::size_t> EditorLineStarts(std::string_view text)
{
    std::vector<std::size_t> starts{0};
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        if (text[i] == '\r' || text[i] == '\n') starts.push_back(i + 1);
    }
    return starts;
}

} // namespace

std::string FoldedName(const std::string& name)
{
    std::string folded = name;
    for (std::size_t i = 0; i < folded.size(); ++i) {
        if (LeadsPair(folded, i))
            ++i;
        else if (folded[i] >= 'a' && folded[i] <= 'z')
            folded[i] = static_cast<char>(folded[i] - 'a' + 'A');
    }
    return folded;
}

LineIndex LineIndex::Build(const std::string& text)
{
    LineIndex index;
    const std::vector<std::size_t> starts = EditorLineStarts(text);
    auto lineAt = [&starts](std::size_t offset) {
        return static_cast<int>(std::upper_bound(starts.begin(), starts.end(), offset) - starts.begin());
    };
    auto addSection = [&index](std::string name, int line) {
        const std::size_t number = index.sections_.size();
        const bool first = index.firstSection_.emplace(FoldedName(name), number).second;
        index.sections_.push_back({std::move(name), line, first, {}});
        index.firstKey_.emplace_back();
    };
    addSection("", 0);

    const std::string_view all(text);
    for (std::size_t next = 0; next < all.size();) {
        const std::size_t start = next;
        while (next < all.size() && all[next] != '\r' && all[next] != '\n') next += LeadsPair(all, next) ? 2 : 1;
        next = std::min(next, all.size());
        const std::string_view line = TrimIniSpace(all.substr(start, next - start));
        while (next < all.size() && (all[next] == '\r' || all[next] == '\n')) ++next;
        if (line.empty()) continue;
        const int number = lineAt(static_cast<std::size_t>(line.data() - all.data()));

        if (line[0] == '[') {
            const std::size_t close = LastClosingBracket(line);
            if (close != std::string_view::npos) {
                addSection(Name(line.substr(1, close - 1)), number);
                continue;
            }
        }
        const std::size_t equals = line.find('=');
        IndexedKey key;
        key.name = Name(line.substr(0, equals));
        key.line = number;
        key.hasEquals = equals != std::string_view::npos;
        key.openBracket = line[0] == '[';
        const std::size_t section = index.sections_.size() - 1;
        key.first = index.firstKey_[section].emplace(FoldedName(key.name), index.sections_[section].keys.size()).second;
        index.sections_[section].keys.push_back(std::move(key));
    }
    return index;
}

const IndexedSection* LineIndex::FindSection(const std::string& section) const
{
    const auto found = firstSection_.find(FoldedName(Name(section)));
    return found == firstSection_.end() ? nullptr : &sections_[found->second];
}

int LineIndex::SectionLine(const std::string& section) const
{
    const IndexedSection* found = FindSection(section);
    return found ? found->line : 0;
}

int LineIndex::KeyLine(const std::string& section, const std::string& key) const
{
    const auto s = firstSection_.find(FoldedName(Name(section)));
    if (s == firstSection_.end()) return 0;
    const auto& keys = firstKey_[s->second];
    const auto k = keys.find(FoldedName(Name(key)));
    return k == keys.end() ? 0 : sections_[s->second].keys[k->second].line;
}
