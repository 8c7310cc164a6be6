#pragma once
// The install run's stages before and during the copy: counting pass, disk
// space check, install folder check, [MakeFolder] and [CopyFile]. Each reads
// the parsed script of the run's context and updates the run state; status
// texts, questions and progress go through the user interface.

#include "install/RunState.h"
#include "support/StageOutcome.h"
#include "support/UserInterface.h"

// Counts the [CopyFile] entries and adds up their sources' sizes. A source that
// is missing or cannot be measured makes progress count entries instead of bytes,
// and the sources after it are not measured. Pending messages are processed
// now and then, so that a script of a million entries leaves the windows alive.
void CountCopyEntries(InstallRunState& state, UserInterface& ui);

// Compares the free space of the install folder's drive with the bytes to copy
// and asks whether to go on when it looks short; No is a fatal stop. Does
// nothing once progress counts entries (the bytes are not known then). The
// pause after a passed check is the run's.
StageOutcome CheckDiskSpace(InstallRunState& state, UserInterface& ui);

// Takes the install folder from the folder field, sets (App), offers to create
// a missing folder, and sets (Set) to its drive's root. Refusing or failing to
// create it is a fatal stop.
StageOutcome CheckInstallFolder(InstallRunState& state, UserInterface& ui);

// Creates each [MakeFolder] folder (one level) and records it for removal, or
// reports it; a status, an abort check and a pause per folder.
StageOutcome RunMakeFolderStage(InstallRunState& state, UserInterface& ui);

// Makes each [ShortCut] entry's shortcut that the option boxes allow and
// records it; a status, an abort check and a pause per shortcut.
StageOutcome RunShortcutStage(InstallRunState& state, UserInterface& ui);

// Writes each [Registry] entry's value (or creates its key). A write the
// registry refuses is a fatal stop that names it.
StageOutcome RunRegistryStage(InstallRunState& state, UserInterface& ui);

// Writes each [IniFile] entry.
StageOutcome RunIniStage(InstallRunState& state, UserInterface& ui);

// Associates each [Relate] pair the user agrees to, saving the extension's
// previous association for the uninstall.
StageOutcome RunAssociationStage(InstallRunState& state, UserInterface& ui);

// Copies each [CopyFile] entry with disk changes, expansion, the overwrite rules
// and the flags, records it, and updates the progress. A cancelled disk change
// is a fatal stop. Showing the progress frame and recording the log's own path
// are the run's.
StageOutcome RunCopyStage(InstallRunState& state, UserInterface& ui);
