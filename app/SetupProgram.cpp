#include "app/SetupProgram.h"

#include <utility>

#include "app/ScriptSettings.h"
#include "install/FolderRules.h"
#include "install/InstallRun.h"
#include "uninstall/UninstallRun.h"
#include "support/AppWindow.h"
#include "support/TimerResolution.h"
#include "support/SystemText.h"

SetupProgram::SetupProgram(MessageBoxes& boxes)
    : boxes_(boxes), main_(backdrop_, boxes), status_(backdrop_.Handle(), main_, backdrop_, boxes),
      deleteConfirmation_(backdrop_.Handle(), *main_.lblFormShare), ui_(main_, status_, backdrop_, deleteConfirmation_, boxes)
{
    backdrop_.ShowMainWindow = [this] { main_.ShowModal(); };
    main_.OnFirstActivation = [this] { StartUp(); };
    main_.OnStartInstall = [this] { StartInstall(); };
    main_.OnStartUninstall = [this] { StartUninstall(); };
    main_.OnClosed = [this] { CleanUp(); };
    main_.RunIsOver = [this] { return ui_.IsOver(); };
    status_.OnAbortConfirmed = [this] { ui_.AbortConfirmed(); };
}

int SetupProgram::Run()
{
    SetAppWindow(backdrop_.Handle());
    ShowWindow(backdrop_.Handle(), SW_SHOWMAXIMIZED);
    MSG message{};
    while (os::GetMessage(message) > 0) {
        TranslateMessage(&message);
        os::DispatchMessage(message);
    }
    SetAppWindow(nullptr);
    return static_cast<int>(message.wParam);
}

void SetupProgram::StartUp()
{
    const std::string argument = os::FirstArgument();
    program_ = StartUpProgram(argument, std::move(runningProgram_));
    if (!program_.fatalMessage.empty()) {
        main_.EnterFatalState(program_.fatalMessage);
        return;
    }
    const LoadedSettings loaded =
        LoadScriptSettings(program_.script, program_.mode, program_.files.sourceFolder, program_.folders);
    if (loaded.error) {
        // A value the script cannot mean: say which, and offer only the end button.
        main_.EnterFatalState(FatalMessage(ScriptErrorFatalText(*loaded.error)));
        return;
    }
    settings_ = loaded.settings;
    main_.FillForRunMode(settings_, program_.mode);
}

void SetupProgram::StartInstall()
{
    // Macros typed into the field name the real folder; a folder the log
    // cannot hold is refused before anything starts.
    const std::string folder = ExpandFolderMacros(main_.txtFolder->Caption(), program_.folders);
    if (const std::string problem = InstallFolderProblem(folder); !problem.empty()) {
        boxes_.ShowMessage(problem, settings_.general.setupString + "フォルダ", MB_ICONEXCLAMATION);
        return;
    }
    RunContext context = TakeRunContext(folder);
    context.overwrite = main_.chkOverWrite->Checked();
    context.shortcuts = {main_.chkSCutDesktop->Checked(), main_.chkSCutStartMenu->Checked(),
                         main_.chkSCutStartUp->Checked(), main_.chkSCutSendTo->Checked()};

    const FineTimerResolution pausesAsLongAsAsked; // given back however the run ends
    restartRequested_ = RunInstall(context, ui_).restartRequested;
}

void SetupProgram::StartUninstall()
{
    const UninstallChoices choices = ChoicesFromBoxes(
        {main_.chkSCutDesktop->Checked(), main_.chkSCutStartMenu->Checked(),
         main_.chkSCutStartMenu->Visible() || main_.chkSCutStartUp->Visible() || main_.chkSCutSendTo->Visible()});
    for (TCheckBox* box : {main_.chkSCutDesktop.get(), main_.chkSCutStartMenu.get(), main_.chkSCutStartUp.get(),
                           main_.chkSCutSendTo.get()})
        box->SetEnabled(false);
    RunContext context = TakeRunContext(main_.txtFolder->Caption());
    // The log the uninstaller was started with, and the digest of the text read from it.
    RunUninstall(context, choices, {program_.argument, program_.scriptDigest}, ui_);
}

RunContext SetupProgram::TakeRunContext(const std::string& folderField)
{
    RunContext context;
    context.files = program_.files;
    context.keys = settings_.general;
    context.script = std::move(program_.script); // one run per program: it reads the script from here on
    context.folders = program_.folders;
    context.folderField = folderField;
    return context;
}

void SetupProgram::CleanUp() { CleanUpWorkFolders(program_); }
