#pragma once
// The passes of the uninstall run, in the order the run calls them. Each reads
// the log copy of the run's context, asks the removal policy about every item,
// removes what it may and adds what failed or was left alone to the report.

#include <string>

#include "support/FailureReport.h"
#include "support/RunContext.h"
#include "support/UserInterface.h"
#include "uninstall/RecordedFiles.h"
#include "uninstall/RemovalPolicy.h"
#include "uninstall/UninstallRules.h"

struct UninstallRunState {
    UninstallRunState(RunContext& runContext, const UninstallChoices& runChoices, UserInterface& runUi,
                      const RemovalPolicy& removalPolicy)
        : context(runContext), script(runContext.script), choices(runChoices), ui(runUi), policy(removalPolicy)
    {
    }

    const std::string& Word() const { return context.keys.unSetupString; }
    const std::string& SetupWord() const { return context.keys.setupString; }
    // Adds the refusal's reason for the item to the report.
    void Refused(const char* tag, const std::string& item, Refusal refusal)
    {
        failures.Add(tag, item, RefusalText(refusal, SetupWord(), Word()));
    }

    RunContext& context;
    const IniDocument& script;
    const UninstallChoices& choices;
    UserInterface& ui;
    const RemovalPolicy& policy;
    std::string installFolder;
    std::string ownKeyPath;  // the product's Uninstall key: the one that names the log
    std::string recordedLog; // the log's DeleteFile entry, deleted last
    bool ownKeyLeft = false; // that key could not be deleted
    SharedFileDecisions decisions;
    FailureReport failures;
};

// The reason a removal failed; a refusal to delete through a link has its own.
std::string FailureReason(unsigned long code);

// [ProgramID] ID's section of the program list in the Windows folder.
void RemoveProgramListEntry(UninstallRunState& state);
// DeleteFile, then AddDeleteFile: files with their shared counts and flags;
// the log itself is kept for the end.
void RunFilePass(UninstallRunState& state);
// DeleteShortCut, and the program groups they leave empty.
void RunShortcutPass(UninstallRunState& state);
// DeleteFolder, latest first, with the uninstall options' patterns inside the install folder.
void RunFolderPass(UninstallRunState& state);
// DeleteRegistry.
void RunRegistryPass(UninstallRunState& state);
// RestoreRelate: the associations' previous values.
void RunAssociationPass(UninstallRunState& state);
// The product's Uninstall key, and the one the log records.
void RemoveUninstallKey(UninstallRunState& state);
// The journal of lowered counts, then the log.
void RemoveJournalAndLog(UninstallRunState& state);
// The install folder itself, unless protected.
void RemoveInstallFolder(UninstallRunState& state);
