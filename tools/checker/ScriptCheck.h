#pragma once
// The script checker's rules: what the program will make of a setup script
// (or an uninstall log) that the vendor did not mean. A script format that
// fails silently (a gap ends a list, "false" is not "False", "(str)" is
// written literally) is judged here the way the program reads it, with the
// program's own rules.

#include <string>
#include <vector>

enum class Severity { Error, Warning };

struct Finding {
    Severity severity = Severity::Error;
    int line = 0;        // 1-based; 0 when the finding is about no line of the file
    std::string section; // "" when about no section
    std::string key;     // "" when about a whole section
    std::string rule;    // a short name for the rule, such as "gap"
    std::string message; // one line of English: what the program will do
};

// A file of the distribution folder: its path below the folder, with a
// backslash between names, and its first bytes (enough for a compressed
// file's header; only needed for names that end in "_").
struct DistributionFile {
    std::string path;
    std::string head;
};

enum class DocumentKind { SetupScript, UninstallLog };

struct CheckInput {
    std::string text; // the file's bytes, code page 932
    DocumentKind kind = DocumentKind::SetupScript;
    bool haveDistribution = false;
    std::vector<DistributionFile> distribution; // when haveDistribution
};

// Every finding, in the order of their lines. The active code page
// (support/CodePage.h) must be the one the program runs under.
std::vector<Finding> CheckScript(const CheckInput& input);

// The uninstall log is the file the program takes as one: "UNSETUP.INI".
DocumentKind KindOfFile(const std::string& path);
