#pragma once
// The numbered keys of one log section (File1, File2, ...) as the log writer
// fills them: an item lands on the key that already holds its path, whatever
// the case and the flag tail, or else on the first free key.

#include <string>
#include <unordered_map>
#include <vector>

// The item up to its first comma: the path without its flag tail.
std::string PathPart(const std::string& item);

// A DeleteFile item about to replace `stored`: a file once recorded as shared
// ("/S" in the flag tail) stays shared. Both tests ignore case.
std::string KeepSharedFlag(const std::string& item, const std::string& stored);

class NumberedKeys {
public:
    // The number under which the item is to be written (from 1). Paths are
    // compared by their upper-case form from the system's locale mapping.
    int FindKeyNumber(const std::string& item) const;
    // The value under key n, "" for a free key.
    const std::string& ValueAt(int n) const;
    // Writes key n, which is a key FindKeyNumber gave for this item.
    void Store(int n, const std::string& item);
    const std::vector<std::string>& Values() const { return values_; }

private:
    std::vector<std::string> values_;
    std::unordered_map<std::string, int> numbers_; // upper-case path -> key number
};
