#include "log/LogSchema.h"
#include "log/LogValues.h"
#include "support/Protection.h"
#include "support/ScriptLists.h"
#include "support/StepHook.h"
#include "support/uIniFile.h"
#include "support/uStrOp.h"
#include "uninstall/RegistryDeletion.h"
#include "uninstall/UninstallPasses.h"

namespace {

void RemoveRecordedKey(UninstallRunState& state, const std::string& rootToken, const std::string& written)
{
    if (written.empty()) return;
    // "Software\X\" names the same key as "Software\X".
    const std::string path = DelBackSlash(written, "B");
    if (const Refusal refusal = state.policy.ForKey(RootOfToken(rootToken), path); refusal != Refusal::None) {
        state.Refused("<Registry> ", rootToken + written, refusal);
        return;
    }
    DeleteRegKey(rootToken, NormalizedKeyPath(path));
}

} // namespace

void RemoveProgramListEntry(UninstallRunState& state)
{
    const std::string id = state.script.Get(section::kProgramID, key::kID);
    if (id.empty()) return;
    const std::string programList = DelBackSlash(state.context.files.windowsFolder, "B") + "\\" + kProgramListName;
    if (!state.policy.ReachesOutside()) {
        if (!ReadIniStr(id, key::kFolder, "", programList).empty())
            state.Refused("<IniFile> ", programList + " [" + id + "]", Refusal::Unvouched);
        return;
    }
    if (StepFault("remove entry", programList) != 0) return;
    DeleteIniSection(id, programList);
}

void RunRegistryPass(UninstallRunState& state)
{
    for (const std::string& value : NumberedList(state.script, section::kDeleteRegistry, key::kKey)) {
        const RecordedKey key = SplitRecordedKey(value);
        if (!state.policy.ReachesOutside()) {
            if (RegistryKeyExists(key.rootToken, NormalizedKeyPath(key.path)))
                state.Refused("<Registry> ", value, Refusal::Unvouched);
            continue;
        }
        RemoveRecordedKey(state, key.rootToken, key.path);
    }
}

// The product's own key is the one that names the log. The key the log records
// goes too when the log is believed, and only when it is a product's key
// directly under ...\Uninstall.
void RemoveUninstallKey(UninstallRunState& state)
{
    const std::string recorded = state.script.Get(section::kUnSetupRegistryKey, key::kKey);
    const std::string own = NormalizedKeyPath(state.ownKeyPath);
    if (!own.empty() && IsProductUninstallKey(own)) {
        RemoveRecordedKey(state, "(Local)", own);
        if (RegistryKeyExists("(Local)", own)) {
            state.ownKeyLeft = true;
            state.failures.Add("<Registry> ", "(Local)" + own,
                               "キーを削除できなかったため，" + state.Word() + "情報を残しました．もう一度" +
                                   state.Word() + "してください．\r\n");
        }
    }
    if (recorded.empty() || NormalizedKeyPath(DelBackSlash(recorded, "B")) == own) return;
    const Refusal refusal = state.policy.ForRecordedUninstallKey(recorded);
    if (refusal == Refusal::None) {
        RemoveRecordedKey(state, "(Local)", recorded);
        return;
    }
    // A log that does not reach there says nothing of a key that is not there.
    if (refusal == Refusal::Unvouched && !RegistryKeyExists("(Local)", NormalizedKeyPath(recorded))) return;
    state.Refused("<Registry> ", "(Local)" + recorded, refusal);
}
