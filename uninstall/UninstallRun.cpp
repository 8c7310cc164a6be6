#include "uninstall/UninstallRun.h"

#include <windows.h>

#include <vector>

#include "support/CodePage.h"
#include "support/FailureReport.h"
#include "support/FileOps.h"
#include "support/ScriptLists.h"
#include "support/StepHook.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "support/uStrOp.h"
#include "uninstall/CountJournal.h"
#include "uninstall/Protection.h"
#include "uninstall/ProtectedPaths.h"
#include "uninstall/RecordedFiles.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/RegistryDeletion.h"
#include "support/SystemText.h"

namespace {

// Why a recorded item was left alone, as the failure report says it.
constexpr char kWildcardSkip[] = "ワイルドカードを含むため，削除しませんでした．\r\n";
constexpr char kProtectedFolderSkip[] = "保護されたフォルダのため，削除しませんでした．\r\n";
constexpr char kProtectedPatternSkip[] = "保護されたフォルダのファイルすべてにあたるため，削除しませんでした．\r\n";
constexpr char kProtectedKeySkip[] = "保護されたレジストリキーのため，削除しませんでした．\r\n";
constexpr char kUnnamedKeySkip[] = "キーの名前が空のため，削除しませんでした．\r\n";
constexpr char kExtensionSkip[] = "拡張子が正しくないため，関連付けを戻しませんでした．\r\n";

class Run {
public:
    Run(RunContext& context, const UninstallChoices& choices, const std::string& log, UserInterface& ui)
        : context_(context), script_(context.script), choices_(choices), log_(log), ui_(ui)
    {
    }
    UninstallEnd Go();

private:
    const std::string& Word() const { return context_.keys.unSetupString; }
    bool Protected(const std::string& folder) const { return IsProtectedFolder(ComparableFolder(folder), protected_); }
    bool InInstallFolder(const std::string& path) const
    {
        return IsSameOrUnder(ComparableFolder(path), installComparable_);
    }

    bool IsTheLog(const std::string& path) const;
    void RemoveProgramListEntry();
    void FilePass();
    void ShortcutPass();
    void FolderPass();
    void RemoveRecordedKey(const std::string& rootToken, const std::string& path, bool deleteKey = true);
    void RegistryPass();
    void AssociationPass();
    void RemoveLogAndJournal();
    void RemoveInstallFolder();
    void Finish();

    RunContext& context_;
    const IniDocument& script_;
    UninstallChoices choices_;
    std::string log_;
    std::string logName_ = UpperCase(NamePart(log_));
    UserInterface& ui_;
    std::string installFolder_;
    std::string installComparable_;
    bool installProtected_ = false;
    std::vector<std::string> protected_;
    SharedFileDecisions decisions_;
    FailureReport failures_;
};

UninstallEnd Run::Go()
{
    ui_.BeginRun(0); // the uninstall never pauses
    ui_.ShowStatus(Word() + "を行っています．．．");

    installFolder_ = context_.folderField;
    if (IsUnknownInstallFolder(installFolder_)) {
        ui_.ShowMessage(Word() + "フォルダが不明です．\r\n" + Word() + "は続行できません．", "致命的エラー", MB_ICONSTOP);
        ui_.EndRun();
        return UninstallEnd::Stopped;
    }
    context_.folders[FolderMacro::App] = installFolder_;
    protected_ = ProtectedFolders(context_.files, context_.folders);
    installComparable_ = ComparableFolder(installFolder_);
    installProtected_ = IsProtectedFolder(installComparable_, protected_);
    decisions_.journal = CountJournal(FolderPart(log_) + kJournalName);

    RemoveProgramListEntry();
    // No folder to be removed may be the program's current one.
    os::SetCurrentDirectory(context_.files.tempFolder);
    FilePass();
    ShortcutPass();
    FolderPass();
    RegistryPass();
    AssociationPass();
    RemoveRecordedKey("(Local)", script_.Get("UnSetupRegistryKey", "Key"));
    RemoveLogAndJournal();
    RemoveInstallFolder();
    Finish();
    return UninstallEnd::Completed;
}

void Run::RemoveProgramListEntry()
{
    const std::string id = script_.Get("ProgramID", "ID");
    if (id.empty()) return;
    const std::string programList = DelBackSlash(context_.files.windowsFolder, "B") + "\\" + kProgramListName;
    if (StepFault("remove entry", programList) != 0) return;
    DeleteIniSection(id, programList);
}

bool Run::IsTheLog(const std::string& path) const
{
    return UpperCase(NamePart(path)) == logName_ && ComparableFolder(path) == ComparableFolder(log_);
}

void Run::FilePass()
{
    for (const char* section : {"DeleteFile", "AddDeleteFile"}) {
        const bool recorded = std::string(section) == "DeleteFile";
        for (int n = 1;; ++n) {
            const std::string value = script_.Get(section, "File" + std::to_string(n));
            const std::string path = SplitRecordedFile(value).path;
            if (path.empty()) break;
            if (recorded && IsTheLog(path)) continue; // it goes last
            const bool pattern = HasWildcard(path);
            if (pattern && recorded) {
                failures_.Add("<File> ", path, kWildcardSkip);
                continue;
            }
            if (pattern && NameStartsWithWildcard(path) && Protected(FolderPart(path))) {
                failures_.Add("<File> ", path, kProtectedPatternSkip);
                continue;
            }
            // A pattern outside the install folder deletes files, never folders.
            const bool filesOnly = pattern && (installProtected_ || !InInstallFolder(FolderPart(path)));
            const unsigned long code = RemoveRecordedFile(value, context_.files, decisions_, ui_, filesOnly);
            if (code != 0 && recorded) failures_.Add("<File> ", path, SysErrorText(code));
        }
    }
}

void Run::ShortcutPass()
{
    for (const std::string& shortcut : NumberedList(script_, "DeleteShortCut", "File")) {
        if (HasWildcard(shortcut)) {
            failures_.Add("<ShortCut> ", shortcut, kWildcardSkip);
            continue;
        }
        if (const unsigned long code = RemoveFile(shortcut)) failures_.Add("<ShortCut> ", shortcut, SysErrorText(code));
        // An emptied program group goes with its last shortcut; the standard
        // shortcut folders never do.
        const std::string folder = FolderPart(shortcut);
        if (!folder.empty() && !Protected(folder)) RemoveFolder(folder, "");
    }
}

void Run::FolderPass()
{
    const std::vector<std::string> folders = NumberedList(script_, "DeleteFolder", "Folder");
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        const std::string& folder = *it;
        if (Protected(folder)) {
            failures_.Add("<Folder> ", folder, kProtectedFolderSkip);
            continue;
        }
        const bool inside = !installProtected_ && InInstallFolder(folder);
        unsigned long code = RemoveFolder(folder, inside ? choices_.patterns : std::string());
        if (inside && choices_.deleteAll) code = 0; // the install folder goes whole
        if (code != 0) failures_.Add("<Folder> ", folder, SysErrorText(code));
    }
}

void Run::RemoveRecordedKey(const std::string& rootToken, const std::string& path, bool deleteKey)
{
    if (path.empty()) return;
    const std::string shown = rootToken + path;
    if (LastNameEmpty(path)) {
        failures_.Add("<Registry> ", shown, kUnnamedKeySkip);
        return;
    }
    const std::string key = NormalizedKeyPath(path);
    if (IsProtectedRegistryKey(RootOfToken(rootToken), key)) {
        failures_.Add("<Registry> ", shown, kProtectedKeySkip);
        return;
    }
    if (deleteKey) DeleteRegKey(rootToken, key);
}

void Run::RegistryPass()
{
    for (const std::string& value : NumberedList(script_, "DeleteRegistry", "Key")) {
        const RecordedKey key = SplitRecordedKey(value);
        RemoveRecordedKey(key.rootToken, key.path);
    }
}

void Run::AssociationPass()
{
    for (const std::string& value : NumberedList(script_, "RestoreRelate", "Key")) {
        const SavedAssociation saved = SplitSavedAssociation(value);
        if (!UsableExtension(saved.extension)) {
            failures_.Add("<Registry> ", "(Class)." + saved.extension, kExtensionSkip);
            continue;
        }
        const std::string extensionKey = "." + saved.extension;
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

// The log and the journal go after everything else they guard: a run cut short
// before this point can be started again from the same log. The log goes first:
// a log left without its journal would have its counts lowered a second time.
void Run::RemoveLogAndJournal()
{
    if (const unsigned long code = RemoveFile(log_)) failures_.Add("<File> ", log_, SysErrorText(code));
    decisions_.journal.Remove();
}

void Run::RemoveInstallFolder()
{
    if (installProtected_) {
        failures_.Add("<SetupFolder> ", installFolder_, kProtectedFolderSkip);
        return;
    }
    const unsigned long code = RemoveFolder(installFolder_, choices_.deleteAll ? "*.*|" : choices_.patterns);
    if (code == 0) return;
    std::string reason;
    if (code == ERROR_DIR_NOT_EMPTY || code == ERROR_ACCESS_DENIED)
        reason = std::string(choices_.deleteAll ? "全ファイル・フォルダの削除を試みましたが，エラーが発生したため，"
                                                : "フォルダにファイルが残っているため，") +
                 context_.keys.setupString + "フォルダを削除できませんでした．エクスプローラなどから，直接削除してください．\r\n";
    else
        reason = SysErrorText(code);
    failures_.Add("<SetupFolder> ", installFolder_, reason);
}

void Run::Finish()
{
    if (failures_.count != 0) {
        ui_.ShowStatus("一部の処理に失敗しました．");
        const std::string question = Word() + "の過程で，一部の処理が失敗しました．\r詳細を表示しますか？";
        if (ui_.ShowMessage(question, "警告", MB_YESNO | MB_ICONEXCLAMATION) == IDYES)
            ui_.ShowFailureReport(failures_.text, "削除処理失敗　詳細表示");
    }
    const std::string done = Word() + "を完了しました．";
    ui_.ShowStatus(done);
    ui_.ShowMessage(done, "完了", MB_ICONINFORMATION);
    ui_.EndRun();
}

} // namespace

UninstallEnd RunUninstall(RunContext& context, const UninstallChoices& choices, const std::string& log,
                          UserInterface& ui)
{
    return Run(context, choices, log, ui).Go();
}
