#include "tools/tessauto/BuiltInAnswers.h"

namespace tessauto {

namespace {

constexpr char kRules[] = R"(
# The main window: on from the read-me page, start from the folder page, on after a report.
[answer]
caption = *
class = TfrmMain
press = #115
# The main window that cannot start (its message says why): end the program.
[answer]
caption = *
class = TfrmMain
press = #116

# The install folder does not exist yet: create it.
[answer]
caption = フォルダ作成
press = はい
# A file of the same name is there already: keep it.
[answer]
caption = 上書き確認
press = いいえ
# Associate the script's file types.
[answer]
caption = 関連付けの確認
press = はい
# An uninstall log that nothing vouches for: only what lies in the install folder is
# removed (by the uninstall) or carried into the new log (by a reinstall).
[answer]
caption = 警告
text = *確かめるための記録がありません*
press = いいえ
# The report of failed steps: not shown (the exit code says so).
[answer]
caption = 警告
text = *一部の処理が失敗しました*
press = いいえ

# Shared files and DLLs that other programs may use: keep them.
[answer]
caption = ファイル削除の確認
class = TfrmCustomDlg
press = すべて保存
[answer]
caption = ファイル削除の確認
press = いいえ

# The end of a run.
[answer]
caption = 完了
press = OK
# The restart offer: declined (exit code 3010), and the warning that follows it.
[answer]
caption = 再起動
class = #32770
press = いいえ
[answer]
caption = システム設定の変更
press = いいえ
[answer]
caption = 警告
text = Windowsを再起動すると*
press = OK
# The program named to start after the install could not be started; the install is done.
[answer]
caption = 警告
text = 終了後プログラムの起動に失敗しました*
press = OK
[answer]
caption = 内部エラー
text = ファイルサイズの取得に失敗*
press = OK

# Stops, acknowledged so that the program ends by itself (the exit code says so).
[answer]
caption = 致命的エラー
press = OK
[answer]
caption = *中止
class = #32770
press = OK
[answer]
caption = 中断
class = #32770
press = OK
[answer]
caption = OCX/DLL登録エラー*
press = OK
)";

} // namespace

const std::vector<Rule>& BuiltInAnswers()
{
    static const std::vector<Rule> rules = ParseAnswers(kRules, "built-in");
    return rules;
}

} // namespace tessauto
