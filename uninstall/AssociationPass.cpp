#include "log/LogSchema.h"
#include "log/LogValues.h"
#include "support/ScriptLists.h"
#include "uninstall/RegistryDeletion.h"
#include "uninstall/UninstallPasses.h"

void RunAssociationPass(UninstallRunState& state)
{
    for (const std::string& value : NumberedList(state.script, section::kRestoreRelate, key::kKey)) {
        const SavedAssociation saved = SplitSavedAssociation(value);
        const std::string extensionKey = "." + saved.extension;
        if (const Refusal refusal = state.policy.ForAssociation(saved.extension); refusal != Refusal::None) {
            // A log that does not reach there says nothing of a key that is not there.
            if (refusal != Refusal::UnvouchedAssociation || RegistryKeyExists("(Class)", extensionKey))
                state.Refused("<Registry> ", "(Class)" + extensionKey, refusal);
            continue;
        }
        const bool restored = !saved.previous.empty() && RegistryKeyExists("(Class)", extensionKey);
        if (restored) {
            SetDefaultValue("(Class)", extensionKey, saved.previous);
        } else if (KeyHoldsMoreThanItsDefault("(Class)", extensionKey)) {
            // Another program's values or subkeys (ShellNew, OpenWithProgids) stay.
            DeleteDefaultValue("(Class)", extensionKey);
        } else {
            DeleteRegKey("(Class)", extensionKey);
        }
        if (!IsOwnFileType(restored ? saved.previous : std::string(), saved.extension))
            DeleteRegKey("(Class)", AutoFileType(saved.extension));
    }
}
