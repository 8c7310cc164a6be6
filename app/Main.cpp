#include "app/Main.h"

#include "support/Back.h"
#include "support/Handles.h"
#include "support/ShownText.h"
#include "support/uStrOp.h"
#include "support/SystemText.h"

namespace {

enum {
    kReadmeFrame = 100, kReadme, kMessageGroup, kMessage, kFolderGroup, kFolder, kRefer, kOptionGroup, kOverWrite,
    kShortCutFrame, kUnSetupInfo, kDesktop, kStartMenu, kStartUp, kSendTo, kEvent, kEnd, kFormShare
};
constexpr UINT kFirstActivation = WM_APP + 1;

ScrollBars MemoScrollBars(ReadmeScrollBars bars)
{
    switch (bars) {
    case ReadmeScrollBars::Horizontal: return ScrollBars::Horizontal;
    case ReadmeScrollBars::Both: return ScrollBars::Both;
    default: return ScrollBars::Vertical;
    }
}

struct ReadmeText {
    std::string lines;      // each ended by CR LF, as the edit control shows them
    bool continues = false; // the file goes on past what was read
};

// The read-me's start, no more than the edit control can show: a file of any
// size costs at most that much memory.
ReadmeText ReadReadme(const std::string& path, std::size_t limit)
{
    const UniqueFileHandle file(
        os::CreateFile(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL));
    if (!file) return {};
    DWORD high = 0;
    const DWORD low = GetFileSize(file.get(), &high);
    const unsigned long long size = (static_cast<unsigned long long>(high) << 32) | low;
    std::string bytes(size < limit ? static_cast<std::size_t>(size) : limit, '\0');
    DWORD done = 0, got = 0;
    while (done < bytes.size() &&
           ReadFile(file.get(), bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &got, nullptr) && got > 0)
        done += got;
    bytes.resize(done);
    return {TextFileLines(bytes), size > limit};
}

} // namespace

TfrmMain::TfrmMain(TfrmBack& backdrop, MessageBoxes& boxes)
    : backdrop_(backdrop), boxes_(boxes), font_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 12))), readmeFont_(KeepFont(MakeFont("ＭＳ ゴシック", 12))),
      folderFont_(KeepFont(MakeFont("ＭＳ Ｐゴシック", 16)))
{
    Create("TfrmMain", "Tessera Setup", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_DLGFRAME,
           WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT, backdrop.Handle(), 489, 313);
    SetFont(font_);

    fraReadme = std::make_unique<TGroupBox>(At(kReadmeFrame, 8, 8, 473, 265), "");
    txtReadme = std::make_unique<TMemo>(Inside(*fraReadme, kReadme, 8, 16, 457, 241));
    txtReadme->SetFont(readmeFont_);
    fraReadme->SetVisible(false);

    grpMessage = std::make_unique<TGroupBox>(At(kMessageGroup, 8, 8, 473, 113), "メッセージ");
    lblMessage = std::make_unique<TLabel>(Inside(*grpMessage, kMessage, 8, 16, 457, 89));
    grpMessage->SetVisible(false);

    grpSetupFolder = std::make_unique<TGroupBox>(At(kFolderGroup, 8, 128, 473, 49), "セットアップフォルダ");
    txtFolder = std::make_unique<TEdit>(Inside(*grpSetupFolder, kFolder, 8, 16, 401, 24));
    txtFolder->SetFont(folderFont_);
    txtFolder->SetEnabled(false);
    btnRefer = std::make_unique<TButton>(Inside(*grpSetupFolder, kRefer, 416, 16, 49, 25), "参照(&R)");
    btnRefer->SetEnabled(false);
    grpSetupFolder->SetVisible(false);

    grpOption = std::make_unique<TGroupBox>(At(kOptionGroup, 8, 184, 473, 89), "セットアップオプション");
    chkOverWrite = std::make_unique<TCheckBox>(
        Inside(*grpOption, kOverWrite, 8, 16, 457, 17),
        "自動的に上書きする（同名ファイルが存在した場合は，最新ファイルをコピーします）．");
    chkOverWrite->SetEnabled(false);
    chkOverWrite->SetChecked(true);
    fraShortCut = std::make_unique<TGroupBox>(Inside(*grpOption, kShortCutFrame, 8, 40, 457, 41), "ショートカットの作成");
    lblUnSetupInfo = std::make_unique<TLabel>(Inside(*fraShortCut, kUnSetupInfo, 8, 8, 441, 25), "lblUnSetupInfo");
    lblUnSetupInfo->SetVisible(false);
    chkSCutDesktop = std::make_unique<TCheckBox>(Inside(*fraShortCut, kDesktop, 8, 16, 105, 17), "デスクトップ");
    chkSCutStartMenu = std::make_unique<TCheckBox>(Inside(*fraShortCut, kStartMenu, 120, 16, 105, 17), "スタートメニュー");
    chkSCutStartUp = std::make_unique<TCheckBox>(Inside(*fraShortCut, kStartUp, 232, 16, 105, 17), "スタートアップ");
    chkSCutSendTo = std::make_unique<TCheckBox>(Inside(*fraShortCut, kSendTo, 344, 16, 105, 17), "送る");
    for (TCheckBox* box : {chkSCutDesktop.get(), chkSCutStartMenu.get(), chkSCutStartUp.get(), chkSCutSendTo.get()})
        box->SetEnabled(false);
    grpOption->SetVisible(false);

    btnEvent = std::make_unique<TButton>(At(kEvent, 64, 280, 161, 25), "");
    btnEvent->SetEnabled(false);
    btnEnd = std::make_unique<TButton>(At(kEnd, 264, 280, 161, 25), "セットアップ終了(&E)");
    btnEnd->SetEnabled(false);
    lblFormShare = std::make_unique<TLabel>(At(kFormShare, 8, 296, 63, 12), "Can't Delete");
    lblFormShare->SetVisible(false);

    // Room for faces larger than the layout's, with every control in place.
    lblMessage->HoldLines(12);
    for (TCheckBox* box : {chkOverWrite.get(), chkSCutDesktop.get(), chkSCutStartMenu.get(), chkSCutStartUp.get(),
                           chkSCutSendTo.get()})
        box->FitText();

    dlgFolder.Title = "セットアップフォルダを選択してください．";
    CentreOnScreen();
}

LRESULT TfrmMain::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ACTIVATE:
        // The start-up runs once, after the activation itself has finished.
        if (LOWORD(wParam) != WA_INACTIVE && !activated_) {
            activated_ = true;
            os::PostMessage(handle_, kFirstActivation, 0, 0);
        }
        return TForm::HandleMessage(message, wParam, lParam);
    case kFirstActivation:
        DisableSystemClose();
        if (OnFirstActivation) OnFirstActivation();
        return 0;
    default:
        return TForm::HandleMessage(message, wParam, lParam);
    }
}

void TfrmMain::OnCommand(int id, int code)
{
    if (code != BN_CLICKED) return;
    switch (id) {
    case kEvent: btnEventClick(); break;
    case kEnd: btnEndClick(); break;
    case kRefer: btnReferClick(); break;
    default: break;
    }
}

void TfrmMain::SetReadmePage(bool on)
{
    fraReadme->SetVisible(on);
    grpMessage->SetVisible(!on);
    grpSetupFolder->SetVisible(!on);
    grpOption->SetVisible(!on);
}

void TfrmMain::EnterFatalState(const std::string& message)
{
    state_ = MainState::Fatal;
    lblMessage->SetCaption(message);
    btnEvent->SetCaption("処理開始(&S)");
    btnEvent->SetEnabled(false);
    btnEnd->SetCaption("終了(&E)");
    btnEnd->SetEnabled(true);
    SetReadmePage(false);
}

void TfrmMain::FillForRunMode(const SetupSettings& settings, RunMode mode)
{
    words_ = settings.general;
    const bool install = mode == RunMode::Install;

    backdrop_.SetProductBanner(settings.productBanner);
    txtFolder->SetCaption(settings.proposedFolder);

    if (install) {
        const bool hits[] = {settings.shortcuts.desktop, settings.shortcuts.startMenu, settings.shortcuts.startUp,
                             settings.shortcuts.sendTo};
        TCheckBox* boxes[] = {chkSCutDesktop.get(), chkSCutStartMenu.get(), chkSCutStartUp.get(), chkSCutSendTo.get()};
        for (int i = 0; i < 4; ++i) {
            if (!hits[i]) continue;
            boxes[i]->SetChecked(true);
            boxes[i]->SetEnabled(settings.optionsEnabled);
        }
    }
    lblMessage->SetCaption(ShortenLongLines(settings.mainMessage));
    if (install) {
        txtFolder->SetEnabled(settings.optionsEnabled);
        btnRefer->SetEnabled(settings.optionsEnabled);
        chkOverWrite->SetEnabled(settings.optionsEnabled);
    }

    const std::string& setup = settings.general.setupString;
    const std::string& title = install ? settings.general.setupTitle : settings.general.unSetupTitle;
    backdrop_.SetProgramTitle(title);
    SetCaption(title);

    grpSetupFolder->SetCaption(setup + "フォルダ");
    grpOption->SetCaption(setup + "オプション");
    btnEnd->SetCaption(setup + "終了(&E)");

    if (!install) {
        FillUninstallOptions(settings);
        return;
    }
    if (!settings.readmeFile.empty()) {
        state_ = MainState::InstallReadme;
        btnEvent->SetCaption(setup + "続行(&C)");
        btnEvent->SetEnabled(true);
        btnEnd->SetEnabled(true);
        txtReadme->SetScrollBars(MemoScrollBars(settings.readmeScrollBars));
        const ReadmeText readme = ReadReadme(settings.readmeFile, MemoTextLimit(IsNineXFamily()));
        txtReadme->SetText(readme.lines, readme.continues);
        fraReadme->SetCaption(settings.readmeTitle);
        SetReadmePage(true);
        btnEvent->SetFocus();
    } else {
        state_ = MainState::InstallReady;
        btnEvent->SetCaption(setup + "開始(&S)");
        btnEvent->SetEnabled(true);
        btnEnd->SetEnabled(true);
        SetReadmePage(false);
    }
}

void TfrmMain::FillUninstallOptions(const SetupSettings& settings)
{
    const std::string& word = settings.general.unSetupString;
    state_ = MainState::UninstallReady;
    grpSetupFolder->SetCaption(word + "フォルダ");
    txtFolder->SetReadOnly(true);
    txtFolder->SetEnabled(true);
    btnEvent->SetCaption(word + "開始(&S)");
    btnEvent->SetEnabled(true);
    btnEnd->SetCaption(word + "終了(&E)");
    btnEnd->SetEnabled(true);
    grpOption->SetCaption(word + "オプション");

    chkOverWrite->SetVisible(false);
    fraShortCut->SetCaption("ファイルの追加削除");
    fraShortCut->SetBounds(fraShortCut->Left(), Scaled(16), fraShortCut->Width(), grpOption->Height() - Scaled(24));

    const UninstallOptions options = ParseUninstallOptions(settings.uninstallOptions);
    if (options.deleteAll) {
        chkSCutDesktop->SetCaption(word + "フォルダ以下の全ファイル・フォルダ");
        chkSCutDesktop->SetWidth(fraShortCut->Width() - Scaled(16));
        chkSCutDesktop->FitText();
        chkSCutDesktop->SetChecked(true);
        chkSCutDesktop->SetEnabled(true);
        for (TCheckBox* box : {chkSCutStartMenu.get(), chkSCutStartUp.get(), chkSCutSendTo.get()}) {
            box->SetChecked(false);
            box->SetVisible(false);
        }
    } else {
        chkSCutDesktop->SetCaption("*.INIファイル");
        chkSCutDesktop->SetChecked(options.ticked[0]);
        chkSCutDesktop->SetEnabled(true);
        chkSCutStartMenu->SetCaption("*.GIDファイル");
        chkSCutStartMenu->SetChecked(options.ticked[1]);
        chkSCutStartMenu->SetEnabled(true);
        chkSCutStartUp->SetCaption("");
        chkSCutStartUp->SetChecked(options.ticked[2]);
        chkSCutStartUp->SetEnabled(false);
        chkSCutSendTo->SetCaption("");
        chkSCutSendTo->SetChecked(options.ticked[3]);
        chkSCutSendTo->SetEnabled(false);
    }
    lblUnSetupInfo->SetTop(chkSCutDesktop->Top() + chkSCutDesktop->Height() + Scaled(2));
    lblUnSetupInfo->SetCaption("　" + word +
                               "フォルダの中で，コピーされたファイル以外に追加削除するファイルをチェック(選択)してください．");
    lblUnSetupInfo->HoldLines(12);
    lblUnSetupInfo->SetVisible(true);
    SetReadmePage(false);
}

void TfrmMain::btnEventClick()
{
    switch (state_) {
    case MainState::InstallReady:
        if (OnStartInstall) OnStartInstall();
        break;
    case MainState::UninstallReady:
        if (OnStartUninstall) OnStartUninstall();
        break;
    case MainState::ClosingReport:
        btnEvent->SetEnabled(false);
        break;
    case MainState::InstallReadme:
        SetReadmePage(false);
        btnEvent->SetCaption(words_.setupString + "開始(&S)");
        state_ = MainState::InstallReady;
        break;
    case MainState::NotSetUp:
    case MainState::Fatal:
        break;
    }
}

void TfrmMain::ShowClosingReport(const std::string& report, const std::string& title)
{
    state_ = MainState::ClosingReport;
    txtReadme->SetScrollBars(ScrollBars::Vertical);
    txtReadme->SetCaption("");
    txtReadme->SetText(report);
    btnEvent->SetCaption("続行(&C)");
    btnEvent->SetEnabled(true);
    fraReadme->SetCaption(title);
    SetReadmePage(true);
    Show();
}

void TfrmMain::btnEndClick() { SetModalResult(IDOK); }

bool TfrmMain::FormCloseQuery()
{
    if (closeConfirmed_ || state_ == MainState::Fatal || (RunIsOver && RunIsOver())) return true;
    const std::string text =
        words_.setupString + "/" + words_.unSetupString + "は終了していません．\r終了してもよろしいですか？";
    if (boxes_.ShowMessage(text, "終了確認", MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    closeConfirmed_ = true;
    backdrop_.SetEnabled(true);
    SetModalResult(IDOK);
    return true;
}

void TfrmMain::btnReferClick()
{
    if (dlgFolder.Execute(handle_)) txtFolder->SetCaption(AddBackSlash(dlgFolder.FolderName, "B"));
}

void TfrmMain::FormClose()
{
    ProcessMessages();
    if (OnClosed) OnClosed();
}
