// The association stage: each [Relate] pair the user agrees to, its previous
// association saved first.
#include <windows.h>

#include "install/AssociationRules.h"
#include "install/InstallStages.h"
#include "log/LogValues.h"
#include "support/Registry.h"
#include "support/SysErrorText.h"

namespace {

// The key's default value written; 0 or the registry's refusal.
long WriteDefault(const std::string& keyPath, const std::string& value)
{
    UniqueRegKey key;
    if (const long status = CreateRegistryKey(HKEY_CLASSES_ROOT, keyPath, key)) return status;
    return SetRegistryString(key.get(), "", value);
}

// The extension's association before this one, for the uninstall to put back.
void SavePreviousAssociation(InstallRecord& record, const std::string& extension)
{
    UniqueRegKey key;
    CreateRegistryKey(HKEY_CLASSES_ROOT, "." + extension, key);
    if (RestoreTableHolds(record.RestoreSlots(), extension)) return; // saved by an earlier install
    record.StoreRestoreEntry(extension + "," + ReadRegistryString(HKEY_CLASSES_ROOT, "." + extension, ""));
}

} // namespace

StageOutcome RunAssociationStage(InstallRunState& state, UserInterface& ui)
{
    for (const auto& [name, file] : state.associations) {
        ui.ShowStatus("関連付けを設定しています．．．");
        ui.ProcessMessages();
        if (ui.AbortRequested()) return StageOutcome::Aborted;
        Association association = ParseAssociation(name, ExpandFolderMacros(file, state.context.folders));
        if (ui.ShowMessage(AssociationQuestion(association), "関連付けの確認", MB_YESNO | MB_ICONQUESTION) != IDYES)
            continue;
        // The shell reads them, a 64-bit one on 64-bit Windows.
        association.commandLine = ForOtherProcesses(association.commandLine, state.context.files);
        association.icon = ForOtherProcesses(association.icon, state.context.files);
        SavePreviousAssociation(state.record, association.extension);

        const std::string type = AutoFileType(association.extension);
        const std::pair<std::string, std::string> keys[] = {
            {"." + association.extension, type},
            {type, association.description},
            {type + "\\DefaultIcon", association.icon},
            {type + "\\shell\\" + association.verb + "\\command", association.commandLine},
        };
        for (const auto& [key, value] : keys)
            if (const long status = WriteDefault(key, value))
                state.failures.Add("<Registry> ", "(Class)" + key, SysErrorText(static_cast<unsigned long>(status)));
    }
    return StageOutcome::Continue;
}
