#pragma once
// A fresh, empty folder per test under the system's temporary folder.

#include <string>

class TestFolder {
public:
    TestFolder();  // named after the running test
    ~TestFolder(); // removed again with everything in it

    // The folder with a trailing backslash, and a path inside it.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + name; }

    void Write(const std::string& name, const std::string& content) const;
    std::string Read(const std::string& name) const;

private:
    std::string path_;
};

// Whole-file helpers on full paths.
void WriteWholeFile(const std::string& path, const std::string& content);
std::string ReadWholeFile(const std::string& path);

// The folder of the running test executable (test components lie beside it).
std::string ExecutableFolder();

// A Unix symbolic link at `link` to the folder `target`, made by ln(1) (Wine
// has no call of its own that makes one); Wine shows it as a reparse point.
void MakeLink(const std::string& link, const std::string& target);
