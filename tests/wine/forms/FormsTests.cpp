// The program's windows as SETUP.EXE makes them, in a program with its
// manifest: the common controls come from the side-by-side store, and the
// windows still work by keyboard and show every text whole.
//
// TextFits prints one line per text (e2e runs it at several DPI, system locales
// and font sets and keeps the lines), tab separated, UTF-8:
//   fits|CUT <scene> <control id> <needed width>x<height> <room width>x<height> <text>
//   font <scene> <control id> <face the system gave> <line height>
//   client <scene> <width>x<height>
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "app/Main.h"
#include "support/Back.h"
#include "support/Handles.h"
#include "support/Status.h"
#include "support/SystemText.h"
#include "tests/wine/ScriptedUi.h"
#include "uninstall/CusDlg.h"

namespace {

std::string Utf8(const std::string& text)
{
    const std::wstring wide = os::Wide(text);
    std::string out(wide.size() * 3 + 1, '\0');
    const int size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(),
                                         static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(size > 0 ? size : 0);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n' || c == '\t'; }, ' ');
    return out;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

LONG StyleOf(HWND window) { return static_cast<LONG>(GetWindowLongPtrA(window, GWL_STYLE)); }

// Shown with its form: the control and every window between it and the form are visible.
bool ShownWithForm(HWND control, HWND form)
{
    for (HWND window = control; window && window != form; window = GetParent(window))
        if (!(StyleOf(window) & WS_VISIBLE)) return false;
    return true;
}

// A control of the program's windows, seen through the forms layer's own measures.
class Seen : public Control {
public:
    explicit Seen(HWND window) { handle_ = window; }
};

int HalfDigitWidth(HWND control)
{
    const WindowDC dc(control);
    const SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    INT width = 0;
    GetCharWidth32A(dc.Get(), '0', '0', &width);
    return width / 2;
}

std::string FaceOf(HWND control)
{
    const WindowDC dc(control);
    const SelectedObject font(dc.Get(), reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    WCHAR face[LF_FACESIZE] = {};
    GetTextFaceW(dc.Get(), LF_FACESIZE, face);
    return os::Narrow(face);
}

// The top of the frame's first visible child: its caption must end above it.
int FirstChildTop(HWND frame)
{
    int top = INT_MAX;
    for (HWND child = GetWindow(frame, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (StyleOf(child) & WS_VISIBLE) top = std::min(top, Seen(child).Top());
    return top;
}

BOOL CALLBACK CollectChild(HWND child, LPARAM list)
{
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

struct Measured {
    std::vector<std::string> cut;
    std::map<HWND, int> roomHeights; // labels that a frame partly covers

    // The room each kind of control gives its text, as the system's controls
    // draw it: a label wraps its words in its client area (one line, centred,
    // with SS_CENTERIMAGE; the backdrop's own labels keep the lines they are
    // given); a push button's one line stays inside its frame; a check box's
    // line (or lines, when it wraps) follows the box and a gap of half a digit; a group box's caption
    // is one line between its corners that ends above its first child; an edit
    // shows whole lines, so one line must be as tall as it is at most.
    void Check(const std::string& scene, HWND control, HWND form)
    {
        const std::string text = os::WindowText(control);
        if (text.empty() || !ShownWithForm(control, form)) return;
        const Seen seen(control);
        RECT client;
        GetClientRect(control, &client);
        const auto covered = roomHeights.find(control);
        int width = client.right, height = covered != roomHeights.end() ? covered->second : client.bottom;
        const std::string kind = ClassOf(control);
        const LONG style = StyleOf(control);
        SIZE need{};
        if (kind == "Static") {
            UINT format = DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX;
            if ((style & SS_TYPEMASK) == SS_OWNERDRAW) format = DT_NOPREFIX;
            if (style & SS_CENTERIMAGE) format = DT_SINGLELINE | DT_NOPREFIX;
            need = seen.TextExtent(text, format, width);
        } else if (kind == "Button") {
            switch (style & BS_TYPEMASK) {
            case BS_GROUPBOX:
                width -= 2 * Scaled(8);
                height = FirstChildTop(control);
                break;
            case BS_CHECKBOX:
            case BS_AUTOCHECKBOX:
                width -= Scaled(13) + HalfDigitWidth(control);
                break;
            default:
                width -= 2 * Scaled(3);
                break;
            }
            need = seen.TextExtent(text, (style & BS_MULTILINE) ? DT_WORDBREAK : DT_SINGLELINE, width);
        } else if (kind == "Edit") {
            need = {0, seen.FontMetrics().tmHeight}; // the text itself scrolls
        } else {
            return;
        }
        const bool fits = need.cx <= width && need.cy <= height;
        const std::string line = scene + "\t" + std::to_string(seen.Id()) + "\t" + std::to_string(need.cx) + "x" +
                                 std::to_string(need.cy) + "\t" + std::to_string(width) + "x" + std::to_string(height) +
                                 "\t" + Utf8(text);
        std::printf("%s\t%s\n", fits ? "fits" : "CUT", line.c_str());
        std::printf("font\t%s\t%d\t%s\t%d\n", scene.c_str(), seen.Id(), Utf8(FaceOf(control)).c_str(),
                    static_cast<int>(seen.FontMetrics().tmHeight));
        if (!fits) cut.push_back(line);
    }

    void CheckAll(const std::string& scene, const TForm& form)
    {
        RECT client;
        GetClientRect(form.Handle(), &client);
        std::printf("client\t%s\t%dx%d\n", scene.c_str(), static_cast<int>(client.right), static_cast<int>(client.bottom));
        std::vector<HWND> controls;
        EnumChildWindows(form.Handle(), CollectChild, reinterpret_cast<LPARAM>(&controls));
        for (HWND control : controls) Check(scene, control, form.Handle());
    }
};

SetupSettings InstallSettings()
{
    SetupSettings settings;
    settings.proposedFolder = "C:\\Program Files\\テスト製品\\";
    settings.shortcuts = {true, true, true, true};
    // The most the script gives: five lines, then the program's own.
    settings.mainMessage = "テスト製品をインストールします．\r二行目の案内です．\r三行目の案内です．\r"
                           "四行目の案内です．\r五行目の案内です．\r\r"
                           "※　処理を開始する前に，必ずすべてのプログラムを終了させてください．";
    return settings;
}

TEST(TextFits, EveryTextOfEveryWindowState)
{
    ScriptedUi ui;
    Measured measured;
    TfrmBack backdrop;
    backdrop.SetProgramTitle("テスト製品セットアップ");
    backdrop.SetProductBanner(SetupSettings{}.productBanner);
    measured.CheckAll("backdrop", backdrop);
    {
        TfrmMain main(backdrop, ui);
        main.EnterFatalState("【致命的エラー  →  iniファイル読み込み失敗】\r\r\n処理は続行できません．");
        measured.CheckAll("main-fatal", main);
    }
    {
        TfrmMain main(backdrop, ui);
        main.FillForRunMode(InstallSettings(), RunMode::Install);
        measured.CheckAll("main-install", main);
    }
    {
        TfrmMain main(backdrop, ui);
        SetupSettings settings = InstallSettings();
        settings.readmeFile = "C:\\windows\\win.ini";
        settings.readmeTitle = "お読みください";
        main.FillForRunMode(settings, RunMode::Install);
        measured.CheckAll("main-readme", main);
    }
    for (const char* options : {"1,0,1,0", "DeleteAll"}) {
        TfrmMain main(backdrop, ui);
        SetupSettings settings = InstallSettings();
        settings.mainMessage = "アンインストールを行います．\r\r開始するには，「アンインストール開始(S)」を選択してください．\r";
        settings.uninstallOptions = options;
        main.FillForRunMode(settings, RunMode::Uninstall);
        measured.CheckAll(std::string("main-uninstall-") + options, main);
    }
    TfrmMain main(backdrop, ui);
    TfrmStatus status(backdrop.Handle(), main, backdrop, ui);
    status.SetMessage("ファイルをコピーしています．．．\rCopying -> C:\\Program Files\\テスト製品\\TEST.EXE");
    status.ShowProgressFrame(true);
    status.SetProgress(100, 10000, 10000); // an install of 10,000 files
    status.EnableAbort(true);
    // While the progress frame is up, the message shows above it only.
    measured.roomHeights[status.lblMessage->Handle()] = status.fraStatus->Top() - status.lblMessage->Top();
    measured.CheckAll("status", status);

    TfrmCustomDlg confirmation(backdrop.Handle(), *main.lblFormShare);
    confirmation.lblMessage->SetCaption("C:\\WINDOWS\\SYSTEM\\COMMON.DLL\r\r"
                                        "この共有ファイルは，現在，他のどのプログラムからも使われていません．\r"
                                        "しかし，今後，他のプログラムで使われる可能性があります．\r"
                                        "このファイルを削除してもよろしいですか？");
    measured.CheckAll("confirmation", confirmation);
    std::fflush(stdout);
    EXPECT_TRUE(measured.cut.empty()) << ::testing::PrintToString(measured.cut);
}

// ---------------------------------------------------------------- the common controls of the manifest

class CommonControls6 : public ::testing::Test {
protected:
    ScriptedUi ui;
    TfrmBack backdrop;
    TfrmMain main{backdrop, ui};
    void SetUp() override
    {
        main.FillForRunMode(InstallSettings(), RunMode::Install);
        main.Show(); // the dialog manager looks for access keys in visible windows only
    }
};

TEST_F(CommonControls6, ComeFromTheSideBySideStore)
{
    const std::string path = os::ModuleFileName(GetModuleHandleA("comctl32.dll"));
    std::printf("comctl32\t%s\n", Utf8(path).c_str());
    std::string upper = path;
    CharUpperA(upper.data());
    EXPECT_NE(upper.find("\\WINSXS\\"), std::string::npos) << path;
    EXPECT_NE(upper.find("COMMON-CONTROLS"), std::string::npos) << path;
}

TEST_F(CommonControls6, TabVisitsTheEnabledControlsInOrder)
{
    std::vector<HWND> order;
    HWND control = GetNextDlgTabItem(main.Handle(), nullptr, FALSE);
    for (int i = 0; control && i < 20 && (order.empty() || control != order.front()); ++i) {
        order.push_back(control);
        control = GetNextDlgTabItem(main.Handle(), control, FALSE);
    }
    const std::vector<HWND> expected{main.txtFolder->Handle(),        main.btnRefer->Handle(),
                                     main.chkOverWrite->Handle(),     main.chkSCutDesktop->Handle(),
                                     main.chkSCutStartMenu->Handle(), main.chkSCutStartUp->Handle(),
                                     main.chkSCutSendTo->Handle(),    main.btnEvent->Handle(),
                                     main.btnEnd->Handle()};
    EXPECT_EQ(order, expected);

    main.chkOverWrite->SetEnabled(false); // a disabled option is passed over
    EXPECT_EQ(GetNextDlgTabItem(main.Handle(), main.btnRefer->Handle(), FALSE), main.chkSCutDesktop->Handle());
}

TEST_F(CommonControls6, AccessKeysPressTheirButtons)
{
    bool started = false;
    main.OnStartInstall = [&] { started = true; };
    // Alt+S, as the modal loop's dialog manager gets it: "インストール開始(&S)".
    MSG key{};
    key.hwnd = main.Handle();
    key.message = WM_SYSCHAR;
    key.wParam = 's';
    key.lParam = 0x20000000;
    EXPECT_TRUE(os::IsDialogMessage(main.Handle(), key));
    EXPECT_TRUE(started);
    // Alt+E: "インストール終了(&E)" ends the modal display.
    key.wParam = 'e';
    EXPECT_TRUE(os::IsDialogMessage(main.Handle(), key));
    EXPECT_EQ(main.ModalResult(), IDOK);
}

TEST_F(CommonControls6, TheProgressBarKeepsItsRange)
{
    TfrmStatus status(backdrop.Handle(), main, backdrop, ui);
    EXPECT_EQ(status.SetProgress(45, 9, 20), 45);
    EXPECT_EQ(status.SetProgress(105, 3, 4), 100);
    EXPECT_EQ(status.lblStatus->Caption(), "100%(3/4)");
}

} // namespace
