#pragma once
// The shared counts an uninstall has lowered, kept beside the log while it
// runs, so that a run cut short and started again lowers none of them twice.
// A file goes into the journal before its count is lowered: a run that ends in
// between leaves the count one too high, never one too low.

#include <string>
#include <unordered_set>

constexpr char kJournalName[] = "UNSETUP.JNL";

class CountJournal {
public:
    CountJournal() = default;
    // Reads what an earlier run wrote at `path`, if anything.
    explicit CountJournal(std::string path);

    bool Holds(const std::string& file) const;
    // Appends the file and puts it on disk before returning: 0 or a system error
    // (0 at once for a journal without a path, which keeps nothing; kLinkOnPath
    // for one that is a link or lies beyond one, which is never read or written).
    unsigned long Add(const std::string& file);
    // The run has finished: the journal goes.
    void Remove() const;

private:
    std::string path_;
    std::unordered_set<std::string> files_; // upper-case
};
