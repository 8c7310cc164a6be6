#pragma once
// TfrmMain: the dialog through which the user drives an install or an
// uninstall, shown modally over the backdrop for the whole life of the program.

#include <functional>
#include <string>

#include "app/Settings.h"
#include "support/Forms.h"
#include "support/FldrDlg.h"
#include "support/UserInterface.h"

class TfrmBack;

// Which page and start action the window is in. The start button acts on this
// state, so that an empty action word or equal action words cannot start the
// wrong run; the captions shown stay those of each state.
enum class MainState { NotSetUp, Fatal, InstallReadme, InstallReady, UninstallReady, ClosingReport };

// The window shows the program's states and passes the user's requests on; the
// start-up, the runs and the clean-up are the program's (SetupProgram).
class TfrmMain : public TForm {
public:
    TfrmMain(TfrmBack& backdrop, MessageBoxes& boxes);

    // Set by the program: its first activation, the start button in each ready
    // state, the window's closing, and whether a run is over (or aborted), so
    // that the window may close without asking.
    std::function<void()> OnFirstActivation;
    std::function<void()> OnStartInstall;
    std::function<void()> OnStartUninstall;
    std::function<void()> OnClosed;
    std::function<bool()> RunIsOver;

    MainState State() const { return state_; }
    void SetReadmePage(bool on);
    void EnterFatalState(const std::string& message);
    void FillForRunMode(const SetupSettings& settings, RunMode mode);
    // A run's closing report on the read-me page, until "続行(&C)" is pressed.
    void ShowClosingReport(const std::string& report, const std::string& title);

    std::unique_ptr<TGroupBox> fraReadme;
    std::unique_ptr<TMemo> txtReadme;
    std::unique_ptr<TGroupBox> grpMessage;
    std::unique_ptr<TLabel> lblMessage;
    std::unique_ptr<TGroupBox> grpSetupFolder;
    std::unique_ptr<TEdit> txtFolder;
    std::unique_ptr<TButton> btnRefer;
    std::unique_ptr<TGroupBox> grpOption;
    std::unique_ptr<TCheckBox> chkOverWrite;
    std::unique_ptr<TGroupBox> fraShortCut;
    std::unique_ptr<TLabel> lblUnSetupInfo;
    std::unique_ptr<TCheckBox> chkSCutDesktop;
    std::unique_ptr<TCheckBox> chkSCutStartMenu;
    std::unique_ptr<TCheckBox> chkSCutStartUp;
    std::unique_ptr<TCheckBox> chkSCutSendTo;
    std::unique_ptr<TButton> btnEvent;
    std::unique_ptr<TButton> btnEnd;
    std::unique_ptr<TLabel> lblFormShare;
    TFolderDialog dlgFolder;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code) override;
    bool CloseQuery() override { return FormCloseQuery(); }
    void OnClose() override { FormClose(); }

private:
    void FormClose();
    bool FormCloseQuery();
    void btnEventClick();
    void btnEndClick();
    void btnReferClick();
    void FillUninstallOptions(const SetupSettings& settings);

    TfrmBack& backdrop_;
    MessageBoxes& boxes_;
    MainState state_ = MainState::NotSetUp;
    bool activated_ = false;
    bool closeConfirmed_ = false;
    GeneralKeys words_; // the action words of the captions and the close question
    HFONT font_, readmeFont_, folderFont_;
};
