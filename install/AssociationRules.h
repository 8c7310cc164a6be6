#pragma once
// How a [Relate] pair becomes an association: the extension and its
// description, the verb, the command line and the icon, and the saved entry
// that lets the uninstall put the previous association back.

#include <string>
#include <vector>

struct Association {
    std::string extension;   // without its dot
    std::string description; // "<ext> File" when the name gives none
    std::string verb;
    std::string program;     // unquoted
    std::string commandLine; // the program (quoted when it holds a space) and the arguments
    std::string icon;        // the program, a comma and the icon index
};

// Name<n> ("ext" or "ext,description") and File<n> (folder macros expanded:
// verb, program, arguments..., icon index; fewer than three fields give no program).
Association ParseAssociation(const std::string& name, const std::string& file);

// The question asked before an extension is associated.
std::string AssociationQuestion(const Association& association);

// Whether the restore table already holds an entry for the extension: the
// whole extension before an entry's first comma, in any case ("doc" is not "docx").
bool RestoreTableHolds(const std::vector<std::string>& slots, const std::string& extension);
