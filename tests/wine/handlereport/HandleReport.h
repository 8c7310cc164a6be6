#pragma once
// A test build of SETUP.EXE: the live owners of support/Handles.h, written for
// the test to read, since Wine keeps no count of a process's handles.

// For as long as it lives, keeps the file named by TESSERA_HANDLE_REPORT
// holding "<live> <taken>" (the owners that hold a handle now, and all that
// ever took one), updated from the message loop; it writes the counts a last
// time when it goes, after every other owner of the program.
class HandleReport {
public:
    HandleReport();
    ~HandleReport();
    HandleReport(const HandleReport&) = delete;
    HandleReport& operator=(const HandleReport&) = delete;
};
