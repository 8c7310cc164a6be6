#pragma once
// The decision about one recorded file of an uninstall: shared counts, the
// flags the install recorded with it, and the questions that go with them.

#include <optional>
#include <string>

#include "support/FileOps.h"
#include "support/RunContext.h"
#include "support/UserInterface.h"
#include "uninstall/CountJournal.h"

// What lasts for a whole uninstall run.
struct SharedFileDecisions {
    // "Delete all" or "Keep all", once the user has given it, for every later
    // shared file that no program uses any more.
    std::optional<SharedFileAnswer> forAll;
    CountJournal journal;
    SharedCounts counts;
};

// What unregisters a component right before its file is deleted.
class ComponentGate {
public:
    virtual void Unregister(const std::string& path) = 0;

protected:
    ~ComponentGate() = default;
};

// Deletes a DeleteFile or AddDeleteFile value's file, or keeps it by the rules:
// a shared file is counted down and goes only when no program is left (and the
// user agrees); "/C" asks, "/L" keeps, "/F" deletes, an uncounted DLL or OCX in
// the Windows or System folder is asked about. 0 when deleted or kept, else the
// deletion's error code. `filesOnly` keeps a pattern from deleting folders;
// `components`, when given, unregisters the file before it is deleted (no
// component is loaded otherwise).
unsigned long RemoveRecordedFile(const std::string& value, const ProgramFiles& files, SharedFileDecisions& decisions,
                                 UserInterface& ui, bool filesOnly = false, ComponentGate* components = nullptr);
