#include <windows.h>

#include "log/ComponentLoading.h"
#include "log/ComponentRules.h"
#include "log/LogSchema.h"
#include "log/LogValues.h"
#include "support/FileOps.h"
#include "support/Protection.h"
#include "support/ReparsePoints.h"
#include "support/SysErrorText.h"
#include "uninstall/UninstallPasses.h"

namespace {

// What unregisters one recorded file before it is deleted. A component is
// loaded to unregister it only from a place the log is believed for, and only
// while its bytes are vouched for. One that the install registered and that
// is not loaded stays registered, and the report says so.
class EntryGate : public ComponentGate {
public:
    EntryGate(UninstallRunState& state, bool registeredByInstall) : state_(state), registered_(registeredByInstall) {}

    void Unregister(const std::string& path) override
    {
        if (!IsOcxOrDll(path) || !FileExists(path)) return; // nothing would be loaded
        const IniDocument* believed = state_.policy.BelievesComponentDigests() ? &state_.script : nullptr;
        const std::string reason = state_.policy.MayUnregisterComponent(path)
                                       ? UnregisterComponent(path, believed, state_.context)
                                       : "この場所からは読み込まないため，登録を解除しませんでした．\r\n";
        if (!reason.empty() && registered_) state_.failures.Add("<File> ", path, reason);
    }

private:
    UninstallRunState& state_;
    bool registered_;
};

} // namespace

std::string FailureReason(unsigned long code)
{
    return code == kLinkOnPath ? "リンクを含むため，削除しませんでした．\r\n" : SysErrorText(code);
}

void RunFilePass(UninstallRunState& state)
{
    const RemovalPolicy& policy = state.policy;
    for (const char* list : {section::kDeleteFile, section::kAddDeleteFile}) {
        const bool recorded = list == section::kDeleteFile;
        for (int n = 1;; ++n) {
            const std::string value = state.script.Get(list, key::kFile + std::to_string(n));
            const std::string path = SplitRecordedFile(value).path;
            if (path.empty()) break;
            if (recorded && policy.IsTheLog(path)) {
                state.recordedLog = path; // it goes last
                continue;
            }
            const Refusal refusal = policy.ForFile(path, recorded, [&] {
                return state.decisions.counts.Get(path) != 0 || state.decisions.journal.Holds(path);
            });
            if (refusal != Refusal::None) {
                state.Refused("<File> ", path, refusal);
                continue;
            }
            const bool pattern = HasWildcard(path);
            EntryGate gate(state, RegisteredByInstall(value));
            const unsigned long code = RemoveRecordedFile(value, state.context.files, state.decisions, state.ui,
                                                          policy.FilesOnly(path), pattern ? nullptr : &gate);
            // A refusal for a link is listed for every section: it counts as a failure.
            if (code == kLinkOnPath || (code != 0 && recorded))
                state.failures.Add("<File> ", path, FailureReason(code));
        }
    }
}

// The journal and the log go after everything else they guard: a run cut short
// before this point can be started again from the same log. The Uninstall key
// that vouched for the log is gone by now, so a log left without its journal is
// believed no more: a run over it lowers no count and removes only what is left
// in the install folder. The log is the one the log records in the install
// folder, not whatever the command line named.
void RemoveJournalAndLog(UninstallRunState& state)
{
    // A key that still vouches for the log would let a run over it lower the
    // counts again: the journal stays with it, and the log for that run.
    if (state.ownKeyLeft) return;
    state.decisions.journal.Remove();
    if (state.recordedLog.empty()) return;
    if (const unsigned long code = RemoveFile(state.recordedLog))
        state.failures.Add("<File> ", state.recordedLog, FailureReason(code));
}
