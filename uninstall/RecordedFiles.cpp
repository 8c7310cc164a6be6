#include "uninstall/RecordedFiles.h"

#include <windows.h>

#include "support/FileOps.h"
#include "uninstall/UninstallRules.h"

namespace {

constexpr char kConfirmCaption[] = "ファイル削除の確認";

bool Agrees(UserInterface& ui, const std::string& question)
{
    return ui.ShowMessage(question, kConfirmCaption, MB_YESNO | MB_ICONQUESTION) != IDNO;
}

unsigned long Delete(const RecordedFile& file, bool filesOnly, ComponentGate* components)
{
    if (components) components->Unregister(file.path);
    return RemoveFile(file.path, filesOnly);
}

// A counted file that this install counted: down by one, and gone only when no
// program is left. A count the journal says was lowered already is not lowered
// again (the run before this one was cut short).
unsigned long RemoveSharedFile(const RecordedFile& file, SharedFileDecisions& decisions, UserInterface& ui,
                               bool filesOnly, ComponentGate* components)
{
    int count = 0;
    if (decisions.journal.Holds(file.path)) {
        count = decisions.counts.Get(file.path);
        if (count == 0 && !FileExists(file.path)) return ERROR_FILE_NOT_FOUND; // removed by that run
    } else {
        // Lowered without a record of it, the count could be lowered again by a
        // run started after this one ends: kept, one too high, instead.
        if (decisions.journal.Add(file.path) != 0) return 0;
        count = decisions.counts.Change(file.path, false);
    }
    if (count != 0) return 0; // other programs still use it
    if (!decisions.forAll) {
        const SharedFileAnswer answer = ui.AskAboutSharedFile(UnusedSharedFileText(file.path));
        if (answer == SharedFileAnswer::DeleteAll || answer == SharedFileAnswer::KeepAll) decisions.forAll = answer;
        if (answer == SharedFileAnswer::Keep) return 0;
        if (answer == SharedFileAnswer::Delete) return Delete(file, filesOnly, components);
    }
    return *decisions.forAll == SharedFileAnswer::DeleteAll ? Delete(file, filesOnly, components) : 0;
}

} // namespace

unsigned long RemoveRecordedFile(const std::string& value, const ProgramFiles& files, SharedFileDecisions& decisions,
                                 UserInterface& ui, bool filesOnly, ComponentGate* components)
{
    const RecordedFile file = SplitRecordedFile(value);
    if (decisions.counts.Get(file.path) != 0 || decisions.journal.Holds(file.path)) {
        // Another program counted it, and this install did not: it stays.
        if (!HasRecordedFlag(file, 'S')) return 0;
        return RemoveSharedFile(file, decisions, ui, filesOnly, components);
    }
    switch (DecideUncountedFile(file, files.windowsFolder, files.systemFolder)) {
    case UncountedFile::Keep: return 0;
    case UncountedFile::Ask:
        if (!Agrees(ui, ConfirmDeletionText(file.path))) return 0;
        break;
    case UncountedFile::AskSystemDll:
        if (!Agrees(ui, SystemDllText(file.path))) return 0;
        break;
    case UncountedFile::Delete: break;
    }
    return Delete(file, filesOnly, components);
}
