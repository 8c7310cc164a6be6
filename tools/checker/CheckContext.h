#pragma once
// What every check of a script shares: the file as the program reads it,
// where its lines stand, the findings so far, and what the script puts into
// the install folder.

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "support/IniDocument.h"
#include "tools/checker/LineIndex.h"
#include "tools/checker/ScriptCheck.h"

class CheckContext {
public:
    explicit CheckContext(const CheckInput& input);

    const CheckInput& Input() const { return input_; }
    bool IsLog() const { return input_.kind == DocumentKind::UninstallLog; }
    const IniDocument& Script() const { return script_; }
    const LineIndex& Index() const { return index_; }

    void Add(Severity severity, int line, const std::string& section, const std::string& key, const char* rule,
             const std::string& message);
    // At the line of the key that is read, else of its section's header.
    void AddAt(Severity severity, const std::string& section, const std::string& key, const char* rule,
               const std::string& message);
    // The findings in the order of their lines; those of one line as they were added.
    std::vector<Finding> TakeFindings();

    std::optional<std::string> Find(const std::string& section, const std::string& key) const
    {
        return script_.Find(section, key);
    }
    std::string Get(const std::string& section, const std::string& key) const { return script_.Get(section, key); }
    // The number of the first entry the list does not reach.
    int ListEnd(const std::string& section, const std::string& prefix) const;

    std::set<std::string> madeFolders;  // [MakeFolder] folders, comparable
    std::vector<std::string> installed; // [CopyFile] targets, comparable

private:
    const CheckInput& input_;
    IniDocument script_;
    LineIndex index_;
    std::vector<Finding> findings_;
};
