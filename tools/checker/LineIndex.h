#pragma once
// Where the sections and keys of a script stand, line by line. Lines are split
// and names compared as the parsed script (support/IniDocument.h) does it, so
// that the line named for a key is the line whose value the program reads:
// the first section of a name, and the first key of a name in it.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

struct IndexedKey {
    std::string name; // as written, without white space around it
    int line = 0;
    bool hasEquals = false;
    bool first = false;       // the first key of its name in its section: the one that is read
    bool openBracket = false; // begins with "[" but has no "]", so it is no header
};

struct IndexedSection {
    std::string name;
    int line = 0;       // of its header; 0 for the lines before the first header
    bool first = false; // the first section of its name: the one that is read
    std::vector<IndexedKey> keys;
};

class LineIndex {
public:
    // `text` in the active code page: a lead byte takes the next byte with it,
    // a line break too.
    static LineIndex Build(const std::string& text);

    // The line of the header or key that is read; 0 when there is none.
    int SectionLine(const std::string& section) const;
    int KeyLine(const std::string& section, const std::string& key) const;

    // The section that is read, or nullptr.
    const IndexedSection* FindSection(const std::string& section) const;
    // Every section in file order, the part before the first header first.
    const std::vector<IndexedSection>& Sections() const { return sections_; }

private:
    std::vector<IndexedSection> sections_;
    std::unordered_map<std::string, std::size_t> firstSection_;
    std::vector<std::unordered_map<std::string, std::size_t>> firstKey_; // per section
};

// A name as names are compared: ASCII letters in upper case, the trail bytes
// of double-byte characters left alone.
std::string FoldedName(const std::string& name);
