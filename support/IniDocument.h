#pragma once
// An INI file held in memory: read and written whole, so that a log of
// thousands of keys costs one pass instead of one profile call per key.
// It reads a file the way the system's profile functions do, and writes the
// file those functions would write for the same sequence of writes.

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

class IniDocument {
public:
    static IniDocument Parse(const std::string& text);

    // The value the profile functions would read; nothing when the section, the
    // key or its "=" is missing. Sections and keys match without regard to ASCII
    // case; the first section of a name and the first key in it count.
    std::optional<std::string> Find(const std::string& section, const std::string& key) const;
    // As Find, with "" for a missing key.
    std::string Get(const std::string& section, const std::string& key) const;

    // As a profile write: a new section goes to the end of the file, a new key to
    // the end of its section, an existing key keeps its place. The value is kept
    // without surrounding white space, up to a zero byte, and a line break inside
    // it becomes a space so that it cannot start a line of its own. Section and
    // key names are the caller's own constants.
    void Set(const std::string& section, const std::string& key, const std::string& value);

    // What the profile functions read back for a value written with Set.
    static std::string ReadBack(const std::string& value);

    bool HasSection(const std::string& section) const;
    std::vector<std::string> SectionNames() const;

    // The file: "[Section]" lines and "key=value" lines, each ending in CR LF.
    std::string Text() const;

private:
    struct Entry {
        std::string key;
        std::optional<std::string> value; // a line without "=" has none
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, std::size_t> keyIndex; // folded key -> first entry
    };

    std::size_t AddSection(const std::string& name);
    Section& SectionFor(const std::string& name);
    static void AddEntry(Section& section, Entry entry);
    const Section* FindSection(const std::string& name) const;

    std::vector<Section> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // folded name -> first section
};
