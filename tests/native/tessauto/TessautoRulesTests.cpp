// TESSAUTO's decisions over windows described as data: the answers file, the
// built-in answers, the signs of a run's end and the exit codes, the command line.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "tools/tessauto/Answers.h"
#include "tools/tessauto/BuiltInAnswers.h"
#include "tools/tessauto/LogFileRules.h"
#include "tools/tessauto/MainWindow.h"
#include "tools/tessauto/Outcome.h"
#include "tools/tessauto/Request.h"
#include "tools/tessauto/Text.h"

using namespace tessauto;
using winauto::ControlInfo;
using winauto::WindowInfo;

namespace {

ControlInfo button(int id, const std::string& text, const std::string& kind = "push", bool enabled = true) {
    ControlInfo c;
    c.className = "Button";
    c.id = id;
    c.text = text;
    c.buttonKind = kind;
    c.enabled = enabled;
    c.visible = true;
    if (kind == "check") c.checked = 0;
    return c;
}

ControlInfo label(const std::string& text, int id = 0xFFFF) {
    ControlInfo c;
    c.className = "Static";
    c.id = id;
    c.text = text;
    c.enabled = c.visible = true;
    return c;
}

ControlInfo edit(int id, const std::string& text = "", bool readonly = false) {
    ControlInfo c;
    c.className = "Edit";
    c.id = id;
    c.text = text;
    c.enabled = c.visible = true;
    c.readonly = readonly;
    return c;
}

WindowInfo window(const std::string& caption, const std::string& className, std::vector<ControlInfo> controls) {
    WindowInfo w;
    w.caption = caption;
    w.className = className;
    w.visible = w.enabled = true;
    w.controls = std::move(controls);
    return w;
}

// A message box as the system makes it: Yes/No (6/7), OK (1), OK/Cancel (1/2).
WindowInfo messageBox(const std::string& caption, const std::string& text, const std::string& buttons) {
    std::vector<ControlInfo> controls;
    if (buttons == "yesno") controls = {button(6, "はい(&Y)", "default"), button(7, "いいえ(&N)")};
    else if (buttons == "okcancel") controls = {button(1, "OK", "default"), button(2, "キャンセル")};
    else controls = {button(1, "OK", "default")};
    controls.push_back(label(text));
    return window(caption, "#32770", controls);
}

WindowInfo sharedFileDialog() {
    return window("ファイル削除の確認", "TfrmCustomDlg",
                  {label("C:\\WINDOWS\\SYSTEM\\X.DLL\r\rこの共有ファイルは，現在…", 100), button(101, "はい(&Y)"),
                   button(102, "いいえ(&N)"), button(103, "すべて削除(&D)"), button(104, "すべて保存(&A)")});
}

// The main window on its folder page: the folder field, the four shortcut boxes, start and end.
WindowInfo mainWindow(const std::string& start, bool optionsEnabled = true) {
    std::vector<ControlInfo> controls = {label("Tessera サンプルをインストールします．", 103), edit(105, "C:\\Program Files\\X\\")};
    controls[1].enabled = optionsEnabled;
    const char* boxes[] = {"デスクトップ", "スタートメニュー", "スタートアップ", "送る"};
    for (int i = 0; i < 4; ++i) controls.push_back(button(111 + i, boxes[i], "check", optionsEnabled));
    controls[2].checked = 1;  // the desktop box ticked by the script
    controls.push_back(button(115, start));
    controls.push_back(button(116, "インストール終了(&E)"));
    return window("Tessera サンプル", "TfrmMain", controls);
}

std::string pressed(const Choice& choice) { return choice.answer ? choice.answer->button : "(none)"; }

std::string readSource(const std::string& relative) {
    std::ifstream file(std::string(TESSERA_SOURCE_DIR) + "/" + relative, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

TEST(TessautoText, PatternsMatchAsTheSandboxDoes) {
    const struct {
        const char* pattern;
        const char* text;
        bool matches;
    } cases[] = {
        {"完了", "完了", true},
        {"完了", "完了 ", false},
        {"*中止", "インストール中止", true},
        {"*中止", "中止です", false},
        {"警告", "けいこく", false},
        {"?了", "完了", true},                           // ? is one character, not one byte
        {"*MISSING.DAT*", "C:\\x\\missing.dat\nnext", true},  // case ignored, * spans lines
        {"ＡＢＣ*", "ａｂｃです", true},                      // full-width letters fold too
        {"[ab]*", "Bee", true},
        {"[!ab]*", "bee", false},
        {"[a-c]x", "bx", true},
        {"a[b", "a[b", true},  // no closing bracket: an ordinary character
        {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false},
        {"", "", true},
    };
    for (const auto& c : cases) EXPECT_EQ(MatchPattern(c.pattern, c.text), c.matches) << c.pattern << " / " << c.text;
}

TEST(TessautoText, AButtonIsNamedAsShownWithOrWithoutItsAccessKey) {
    const struct {
        const char* wanted;
        const char* caption;
        bool names;
    } cases[] = {
        {"いいえ", "いいえ(&N)", true},     {"いいえ(N)", "いいえ(&N)", true}, {"いいえ(&N)", "いいえ(&N)", true},
        {"ok", "OK", true},                 {"すべて保存", "すべて保存(&A)", true}, {"すべて", "すべて保存(&A)", false},
        {"インストール開始", "インストール開始(&S)", true}, {"A&B", "A&&B", false}, {"A&&B", "A&&B", true},
        {"はい", "いいえ(&N)", false},
    };
    for (const auto& c : cases) EXPECT_EQ(NamesButton(c.wanted, c.caption), c.names) << c.wanted << " / " << c.caption;
}

TEST(TessautoAnswers, TheSandboxAnswersFilesReadTheSame) {
    const std::vector<Rule> sample = ParseAnswers(readSource("examples/sample-answers.txt"), "sample-answers.txt");
    ASSERT_EQ(sample.size(), 8u);
    EXPECT_EQ(sample[1].origin, "sample-answers.txt:10");
    EXPECT_EQ(sample[1].tick, std::vector<std::string>{"デスクトップ"});
    EXPECT_EQ(*sample[3].text, "*.tsmp*");
    const std::vector<Rule> defaults = ParseAnswers(readSource("tools/sandbox/default-answers.txt"), "defaults");
    ASSERT_EQ(defaults.size(), 1u);
    EXPECT_EQ(*defaults[0].windowClass, "TfrmMain");
    // A byte order mark, CR LF lines and the ideographic space around a value.
    const std::vector<Rule> marked = ParseAnswers("\xEF\xBB\xBF[Answer]\r\ncaption = 完了\u3000\r\npress=OK\r\n", "m");
    ASSERT_EQ(marked.size(), 1u);
    EXPECT_EQ(marked[0].caption, "完了");
    EXPECT_EQ(*marked[0].press, "OK");
}

TEST(TessautoAnswers, AFaultyFileIsRefusedWithItsLine) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        {"[answer]\ncaption = a\nbutton = OK\n", "f:3: expected one of caption, class, text, press, type, tick, untick"},
        {"caption = a\n", "f:1: caption outside an [answer] block"},
        {"[answer]\ncaption = a\npress = OK\npress = No\n", "f:4: press given twice in the block of f:1"},
        {"# c\n[answer]\npress = OK\n", "f:2: the block names no caption"},
        {"[answer]\ncaption = \x82\xA0\n", "f:2: the line is not UTF-8"},  // code page 932 where UTF-8 belongs
    };
    for (const auto& c : cases) {
        try {
            ParseAnswers(c.text, "f");
            ADD_FAILURE() << "accepted: " << c.text;
        } catch (const AnswersError& error) {
            EXPECT_EQ(std::string(error.what()).substr(0, std::string(c.message).size()), c.message);
        }
    }
}

TEST(TessautoAnswers, TheFirstFittingRuleAnswersWithItsActions) {
    const std::vector<Rule> rules = ParseAnswers(R"(
[answer]
caption = 警告
text = *MISSING.DAT*
press = いいえ
[answer]
caption = 警告
press = #6
[answer]
caption = 入力
type = C:\App
tick = 毎回
untick = 確認
[answer]
caption = 既定
[answer]
caption = 上書き確認
press = すべて上書き
)", "a");
    const WindowInfo missing = messageBox("警告", "C:\\D\\MISSING.DAT\r\rが見つかりません．", "yesno");
    EXPECT_EQ(pressed(ChooseAnswer(missing, rules)), "いいえ(N)");
    EXPECT_EQ(ChooseAnswer(missing, rules).answer->rule->origin, "a:2");
    EXPECT_EQ(pressed(ChooseAnswer(messageBox("警告", "other", "yesno"), rules)), "はい(Y)");

    WindowInfo form = window("入力", "TForm", {edit(10, "", true), edit(11), button(12, "毎回(&M)", "check"),
                                              button(13, "確認", "check"), button(14, "次へ", "default")});
    const Choice typed = ChooseAnswer(form, rules);
    ASSERT_TRUE(typed.answer);
    ASSERT_EQ(typed.answer->actions.size(), 4u);
    EXPECT_EQ(typed.answer->actions[0].verb, Action::Verb::SetText);
    EXPECT_EQ(typed.answer->actions[0].control, 11);  // the read-only edit is passed over
    EXPECT_EQ(typed.answer->actions[1].value, "1");
    EXPECT_EQ(typed.answer->actions[2].value, "0");
    EXPECT_EQ(typed.answer->actions[3].control, 14);

    // Without press, the default button; a rule that fits the caption but not the buttons is named.
    EXPECT_EQ(pressed(ChooseAnswer(messageBox("既定", "t", "okcancel"), rules)), "OK");
    const Choice miss = ChooseAnswer(messageBox("上書き確認", "t", "yesno"), rules);
    EXPECT_FALSE(miss.answer);
    EXPECT_EQ(miss.nearMiss, "rule a:16 fits the caption but no usable button 'すべて上書き'");
    form.controls[4].enabled = false;
    form.controls[4].buttonKind = "push";
    EXPECT_FALSE(ChooseAnswer(form, rules).answer);
}

// A window hidden or disabled between the look that found it and its read (the
// program went on after a click) reads with hidden controls: no buttons, and no
// rule would fit. It is not waiting, so it is looked at again, never answered.
TEST(TessautoAnswers, OnlyAWindowShownEnabledAndReadWholeWaitsForAnAnswer) {
    struct Case {
        const char* what;
        void (*change)(WindowInfo&);
        bool waits;
    } cases[] = {
        {"as shown", [](WindowInfo&) {}, true},
        {"hidden since it was found", [](WindowInfo& w) { w.visible = false; }, false},
        {"disabled under a new box", [](WindowInfo& w) { w.enabled = false; }, false},
        {"its thread busy", [](WindowInfo& w) { w.busy = true; }, false},
        {"a control unanswered", [](WindowInfo& w) { w.controls[1].answered = false; }, false},
    };
    for (const Case& c : cases) {
        WindowInfo read = mainWindow("インストール開始(&S)");
        c.change(read);
        EXPECT_EQ(WaitsForAnswer(read), c.waits) << c.what;
    }
}

TEST(TessautoAnswers, BuiltInAnswersAreTheSafeChoices) {
    const struct {
        WindowInfo window;
        const char* answer;
    } cases[] = {
        {messageBox("フォルダ作成", "C:\\X\\\r\rこのフォルダは存在しません．作成してもよろしいですか？", "yesno"), "はい(Y)"},
        {messageBox("上書き確認", "C:\\X\\A.TXT\r\rこのファイルは既に存在します．\r上書きしてもよろしいですか？", "yesno"),
         "いいえ(N)"},
        {messageBox("関連付けの確認", "拡張子 *.tsmp を\rC:\\X\\S.EXE\rに関連付けします．よろしいですか？", "yesno"), "はい(Y)"},
        {messageBox("警告", "フォルダの作成・ファイルのコピーで，一部の処理が失敗しました．\r詳細を表示しますか？", "yesno"),
         "いいえ(N)"},
        {messageBox("警告", "アンインストールの過程で，一部の処理が失敗しました．\r詳細を表示しますか？", "yesno"), "いいえ(N)"},
        {messageBox("ファイル削除の確認", "C:\\W\\S\\X.DLL\r\rこのDLL/OCXファイルは，…", "yesno"), "いいえ(N)"},
        // A log without a digest: what lies outside the install folder is neither removed nor carried over.
        {messageBox("警告", "アンインストール情報に，書き換えられていないことを確かめるための記録がありません．\r…も削除しますか？",
                    "yesno"),
         "いいえ(N)"},
        {messageBox("警告", "以前のアンインストール情報に，書き換えられていないことを確かめるための記録がありません．\r…",
                    "yesno"),
         "いいえ(N)"},
        {sharedFileDialog(), "すべて保存(A)"},
        {messageBox("完了", "インストールが完了しました．", "ok"), "OK"},
        {messageBox("再起動", "Windows を再起動しますか?", "yesno"), "いいえ(N)"},
        {messageBox("警告", "Windowsを再起動すると，セットアップは完了します．", "ok"), "OK"},
        {messageBox("致命的エラー", "インストールを続行できませんでした．", "ok"), "OK"},
        {messageBox("セットアップ中止", "インストールを続行できませんでした．", "ok"), "OK"},
        {mainWindow("インストール続行(&C)"), "インストール続行(C)"},
        {mainWindow("アンインストール開始(&S)"), "アンインストール開始(S)"},
        // No safe answer: the run ends as failed and the log names the window.
        {messageBox("ディスク交換", "2枚目のディスクに交換してください．", "okcancel"), "(none)"},
        {messageBox("インストールフォルダ", "このフォルダにはインストールできません．", "ok"), "(none)"},
        {messageBox("終了確認", "終了してもよろしいですか？", "yesno"), "(none)"},
        {messageBox("警告", "何か別のこと", "yesno"), "(none)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pressed(ChooseAnswer(c.window, {}, BuiltInAnswers())), c.answer) << c.window.caption;

    // The main window that cannot start: its end button.
    WindowInfo fatal = mainWindow("処理開始(&S)");
    fatal.controls[6].enabled = false;
    EXPECT_EQ(pressed(ChooseAnswer(fatal, {}, BuiltInAnswers())), "インストール終了(E)");
    EXPECT_EQ(ReadSign(fatal), Sign::Stopped);
    // The answers file comes first: a vendor's rule for the disk prompt goes on.
    const std::vector<Rule> own = ParseAnswers("[answer]\ncaption = ディスク交換\npress = OK\n", "own");
    const WindowInfo diskPrompt = messageBox("ディスク交換", "2枚目のディスクに交換してください．", "okcancel");
    EXPECT_EQ(pressed(ChooseAnswer(diskPrompt, own, BuiltInAnswers())), "OK");
}

TEST(TessautoOutcome, SignsOfTheEndAndTheExitCode) {
    const struct {
        WindowInfo window;
        Sign sign;
    } signs[] = {
        {messageBox("完了", "インストールが完了しました．", "ok"), Sign::Completed},
        {messageBox("再起動", "Windows の再起動をシミュレートしますか?", "yesno"), Sign::RestartNeeded},
        {messageBox("システム設定の変更", "Windows を再起動しますか?", "yesno"), Sign::RestartNeeded},
        {messageBox("警告", "Windowsを再起動すると，セットアップは完了します．", "ok"), Sign::RestartNeeded},
        {messageBox("致命的エラー", "インストールを続行できませんでした．", "ok"), Sign::Cancelled},
        {messageBox("インストール中止", "インストールを続行できませんでした．", "ok"), Sign::Cancelled},
        {messageBox("致命的エラー", "インストールフォルダの作成に失敗しました．", "ok"), Sign::Stopped},
        {messageBox("中断", "セットアップを中断しました．", "ok"), Sign::Cancelled},
        {messageBox("警告", "フォルダの作成・ファイルのコピーで，一部の処理が失敗しました．", "yesno"), Sign::StepsFailed},
        {messageBox("OCX/DLL登録エラー(LoadLibrary)", "C:\\X.DLLの読み込みに失敗しました．", "ok"), Sign::StepsFailed},
        {messageBox("上書き確認", "…", "yesno"), Sign::None},
        {mainWindow("インストール開始(&S)"), Sign::None},
    };
    for (const auto& s : signs) EXPECT_EQ(ReadSign(s.window), s.sign) << s.window.caption;

    auto facts = [](std::initializer_list<Sign> seen, std::optional<unsigned long> exit = 0, std::string halted = {}) {
        RunFacts f;
        for (Sign sign : seen) f.Note(sign, "「x」");
        f.programExit = exit;
        f.halted = std::move(halted);
        return f;
    };
    const struct {
        RunFacts facts;
        ExitCode code;
        const char* why;
    } verdicts[] = {
        {facts({Sign::Completed}), kDone, ""},
        {facts({Sign::RestartNeeded}), kRestartNeeded, ""},
        {facts({Sign::Completed, Sign::RestartNeeded}), kRestartNeeded, ""},
        {facts({}), kFailed, "the program ended without its completion box"},
        {facts({Sign::Completed}, 3), kFailed, "the program ended with 3"},
        {facts({Sign::Completed}, 1603), kFailed, "the program ended with 1603"},
        // The program's own codes: a declined restart is no failure.
        {facts({Sign::RestartNeeded}, 3010), kRestartNeeded, ""},
        {facts({}, 1641), kRestartStarted, ""},
        {facts({}, 1602), kCancelled, "the program says it was ended by the user"},
        {facts({}, 1618), kAnotherRun, "the program says another copy is running"},
        {facts({Sign::Completed}, std::nullopt), kFailed, "the program could not be started"},
        {facts({Sign::Cancelled}), kCancelled, "a question was answered no: 「x」"},
        {facts({Sign::Stopped}), kFailed, "the program stopped: 「x」"},
        {facts({Sign::StepsFailed, Sign::Completed}), kFailed, "some steps failed: 「x」"},  // not all of it
        {facts({}, 1603, "no rule answers the window 「ディスク交換」"), kFailed, "no rule answers the window 「ディスク交換」"},
    };
    for (const auto& v : verdicts) {
        EXPECT_EQ(VerdictOf(v.facts).code, v.code) << v.why;
        EXPECT_EQ(VerdictOf(v.facts).why, v.why);
    }
}

TEST(TessautoMainWindow, FolderAndShortcutBoxesAsAsked) {
    const WindowInfo ready = mainWindow("インストール開始(&S)");
    EXPECT_TRUE(IsInstallStartPage(ready));
    EXPECT_FALSE(IsInstallStartPage(mainWindow("インストール続行(&C)")));

    ShortcutChoice choice;  // start menu only: the desktop box (ticked) is unticked
    choice.startMenu = true;
    const Settings asked = SettingsFor(ready, std::string("D:\\App\\"), choice);
    ASSERT_EQ(asked.problem, "");
    ASSERT_EQ(asked.actions.size(), 3u);
    EXPECT_EQ(asked.actions[0].verb, Action::Verb::SetText);
    EXPECT_EQ(asked.actions[0].value, "D:\\App\\");
    EXPECT_EQ(asked.actions[1].control, 111);
    EXPECT_EQ(asked.actions[1].value, "0");
    EXPECT_EQ(asked.actions[2].control, 112);
    EXPECT_EQ(asked.actions[2].value, "1");
    EXPECT_TRUE(SettingsFor(ready, std::nullopt, std::nullopt).actions.empty());

    // A script that fixes its options: what it already has may be asked for, nothing else.
    const WindowInfo fixed = mainWindow("インストール開始(&S)", false);
    ShortcutChoice desktopOnly;
    desktopOnly.desktop = true;
    EXPECT_EQ(SettingsFor(fixed, std::nullopt, desktopOnly).problem, "");
    EXPECT_EQ(SettingsFor(fixed, std::nullopt, ShortcutChoice{}).problem,
              "the script does not let the shortcut box 'd' (デスクトップ) be unticked");
    EXPECT_EQ(SettingsFor(fixed, std::string("D:\\"), std::nullopt).problem,
              "the script does not let the install folder be changed");
}

TEST(TessautoRequest, CommandLines) {
    const Request install = ParseRequest({"INSTALL", "D:\\dist", "/Folder", "C:\\App", "/options", "d, t", "/log",
                                          "C:\\x.log", "/timeout", "60", "/answers", "a.txt"});
    EXPECT_EQ(install.verb, Request::Verb::Install);
    EXPECT_EQ(install.target, "D:\\dist");
    EXPECT_EQ(*install.folder, "C:\\App");
    EXPECT_TRUE(install.options->desktop && install.options->sendTo);
    EXPECT_FALSE(install.options->startMenu || install.options->startUp);
    EXPECT_EQ(install.timeoutSeconds, 60u);
    EXPECT_EQ(*install.answers, "a.txt");
    EXPECT_FALSE(ParseShortcutChoice("none").desktop);

    const Request uninstall = ParseRequest({"uninstall", "TesseraSample"});
    EXPECT_EQ(uninstall.verb, Request::Verb::Uninstall);
    EXPECT_FALSE(uninstall.log);
    EXPECT_EQ(uninstall.timeoutSeconds, 1800u);

    const std::vector<std::vector<std::string>> refused = {
        {},
        {"remove", "X"},
        {"install"},
        {"install", "a", "b"},
        {"install", "a", "/options", "d,x"},
        {"install", "a", "/options", ""},
        {"install", "a", "/timeout", "0"},
        {"install", "a", "/timeout", "9x"},
        {"install", "a", "/log"},
        {"install", "a", "/quiet"},
        {"uninstall", "K", "/folder", "C:\\"},
        {"detect", "K", "/log", "x"},
    };
    for (const auto& args : refused) EXPECT_THROW(ParseRequest(args), UsageError) << (args.empty() ? "" : args.back());
}

TEST(TessautoRequest, AnInstallStartsTheFoldersSetupOrTheSingleFile) {
    const std::pair<std::string, InstallProgram> cases[] = {
        {"D:\\dist", {"D:\\dist\\SETUP.EXE", "D:\\dist\\"}},
        {"D:\\dist\\", {"D:\\dist\\SETUP.EXE", "D:\\dist\\"}},
        {"D:\\dl\\Sample-1.0.exe", {"D:\\dl\\Sample-1.0.exe", "D:\\dl\\"}},
        {"D:\\dl\\SAMPLE.EXE", {"D:\\dl\\SAMPLE.EXE", "D:\\dl\\"}},
        {"D:\\tools.exe.d", {"D:\\tools.exe.d\\SETUP.EXE", "D:\\tools.exe.d\\"}},
    };
    for (const auto& [target, expected] : cases) {
        const InstallProgram install = InstallProgramOf(target);
        EXPECT_EQ(install.program, expected.program) << target;
        EXPECT_EQ(install.folder, expected.folder) << target;
    }
}

TEST(TessautoRequest, TheLogThatAnUninstallStringNames) {
    EXPECT_EQ(*LogPathOf("C:\\WINDOWS\\UNTESSR.EXE \"C:\\Program Files\\Tessera Sample\\UNSETUP.INI\""),
              "C:\\Program Files\\Tessera Sample\\UNSETUP.INI");
    EXPECT_FALSE(LogPathOf("C:\\WINDOWS\\UNTESSR.EXE"));
    EXPECT_FALSE(LogPathOf("C:\\WINDOWS\\UNTESSR.EXE \"\""));
    EXPECT_FALSE(LogPathOf("C:\\WINDOWS\\UNTESSR.EXE \"C:\\App"));
}

// The log may lie where any user can put a file or a link first: only a plain
// file of the Administrators or the System account is written to.
TEST(TessautoLog, AnExistingFileIsWrittenToOnlyWhenItIsThePrivilegedOnesOwn) {
    const struct {
        ExistingLog found;
        bool written;
    } cases[] = {
        {{false, 1, true}, true},
        {{false, 1, false}, false},  // a user's file, waiting to be written as the System account
        {{true, 1, true}, false},    // a link: what it points to is never written
        {{false, 2, true}, false},   // a hard link to a file elsewhere
    };
    for (const auto& c : cases)
        EXPECT_EQ(LogRefusal(c.found).empty(), c.written)
            << c.found.link << " " << c.found.names << " " << c.found.ownedByAdministrators;
}
