#pragma once
// An INI file held in memory: read and written whole, so that a log of
// thousands of keys costs one pass instead of one profile call per key.
// It answers every look-up as the system's profile functions answer it for the
// same file, and writes the file those functions would write for the same
// sequence of writes.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The white space that the profile functions trim around names and values:
// ^Z (a DOS end of file) counts as one, the ideographic space of code page 932
// does not.
bool IsIniSpace(char c);
std::string_view TrimIniSpace(std::string_view s);

class IniDocument {
public:
    // A file in code page 932. (The system reads a file that starts with a
    // UTF-8 or UTF-16 byte-order mark as Unicode; this reads its bytes.)
    static IniDocument Parse(const std::string& text);

    // The value the profile functions would read; nothing when the section, the
    // key or its "=" is missing. Names match without regard to ASCII case and to
    // white space around them; the first section of a name and the first key of
    // a name in it count. The lines before the first section header form the
    // section "".
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    // As Find, with "" for a missing key.
    std::string Get(const std::string& section, const std::string& key) const;

    // As a profile write: a new section goes to the end of the file, a new key to
    // the end of its section, an existing key keeps its place. The value is kept
    // without surrounding white space, up to a zero byte, and a line break inside
    // it becomes a space so that it cannot start a line of its own. Section and
    // key names are the caller's own constants.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    // As a profile deletion of a section: the first section of that name goes,
    // with its keys.
    void RemoveSection(const std::string& section);

    // What the profile functions read back for a value written with Set.
    static std::string ReadBack(const std::string& value);

    bool HasSection(const std::string& section) const;
    // In file order; a section without a name or keys (an empty start of a file) is left out.
    std::vector<std::string> SectionNames() const;

    // The file: "[Section]" lines and "key=value" lines, each ending in CR LF.
    std::string Text() const;

private:
    // Names and values are spans of one pool, so that a file of millions of
    // short lines costs a few words per line on top of its text.
    using Offset = std::uint32_t;
    static constexpr Offset kNone = ~Offset{0};
    struct Span {
        Offset at = 0, size = 0;
    };
    struct Section {
        Span name;
        Offset first = kNone, last = kNone; // its entries, chained through Entry::next
    };
    struct Entry {
        Span key;
        Span value; // value.at is kNone for a line without "="
        Offset section;
        Offset next = kNone;
    };
    // Section or entry numbers by the hash of their folded names (open addressing).
    class Index {
    public:
        template <class Same> Offset Find(std::uint32_t hash, Same same) const;
        void Add(std::uint32_t hash, Offset number);

    private:
        struct Slot {
            std::uint32_t hash = 0;
            Offset number = kNone;
        };
        std::vector<Slot> slots_;
        std::size_t used_ = 0;
    };

    std::string_view View(Span span) const { return std::string_view(pool_).substr(span.at, span.size); }
    Span Store(std::string_view text);
    Offset AddSection(Span name, const std::string& folded);
    void AddEntry(Offset section, Span key, Span value, const std::string& folded);
    Offset FindSection(const std::string& name) const;
    Offset FindEntry(Offset section, const std::string& folded) const;
    std::string TextWithout(Offset removed) const; // every section but that one

    std::string pool_;
    std::vector<Section> sections_;
    std::vector<Entry> entries_;
    Index sectionIndex_; // first section of each name
    Index entryIndex_;   // first entry of each name in each section
};
