#include "uninstall/UninstallRun.h"

#include <windows.h>

#include <vector>

#include "support/CodePage.h"
#include "support/FailureReport.h"
#include "support/FileOps.h"
#include "support/ReparsePoints.h"
#include "support/ScriptLists.h"
#include "support/StepHook.h"
#include "support/SysErrorText.h"
#include "support/uIniFile.h"
#include "support/uStrOp.h"
#include "uninstall/ComponentLoading.h"
#include "uninstall/ComponentRules.h"
#include "uninstall/CountJournal.h"
#include "uninstall/LogTrust.h"
#include "uninstall/Protection.h"
#include "uninstall/ProtectedPaths.h"
#include "uninstall/RecordedFiles.h"
#include "uninstall/RegistrationRules.h"
#include "uninstall/RegistryDeletion.h"
#include "support/SystemText.h"
#include "uninstall/UninstallEntry.h"

namespace {

// Why a recorded item was left alone, as the failure report says it.
constexpr char kWildcardSkip[] = "ワイルドカードを含むため，削除しませんでした．\r\n";
constexpr char kProtectedFolderSkip[] = "保護されたフォルダのため，削除しませんでした．\r\n";
constexpr char kProtectedPatternSkip[] = "保護されたフォルダのファイルすべてにあたるため，削除しませんでした．\r\n";
constexpr char kProtectedKeySkip[] = "保護されたレジストリキーのため，削除しませんでした．\r\n";
constexpr char kUnnamedKeySkip[] = "キーの名前が空のため，削除しませんでした．\r\n";
constexpr char kExtensionSkip[] = "拡張子が正しくないため，関連付けを戻しませんでした．\r\n";
constexpr char kSystemTypeSkip[] = "システムのファイルの種類のため，関連付けを戻しませんでした．\r\n";
constexpr char kNotUninstallKeySkip[] = "製品のアンインストール情報のキーではないため，削除しませんでした．\r\n";
constexpr char kLinkSkip[] = "リンクを含むため，削除しませんでした．\r\n";

// The reason a removal failed; a refusal to delete through a link has its own.
std::string FailureReason(unsigned long code) { return code == kLinkOnPath ? kLinkSkip : SysErrorText(code); }

class Run {
public:
    Run(RunContext& context, const UninstallChoices& choices, const StartedLog& log, UserInterface& ui)
        : context_(context), script_(context.script), choices_(choices), started_(log), ui_(ui)
    {
    }
    UninstallEnd Go();

private:
    const std::string& Word() const { return context_.keys.unSetupString; }
    const std::string& SetupWord() const { return context_.keys.setupString; }
    bool Protected(const std::string& folder) const { return IsProtectedFolder(ComparableFolder(folder), protected_); }
    bool InInstallFolder(const std::string& path) const
    {
        return IsSameOrUnder(ComparableFolder(path), installComparable_);
    }
    // What a run held to the install folder may remove.
    // Another drive or share is never inside: it is not even looked at.
    bool Inside(const std::string& path) const
    {
        if (installProtected_ || DriveOf(ComparablePath(PlainPath(path))) != DriveOf(installComparable_)) return false;
        return InInstallFolder(path);
    }
    bool Reaches(const std::string& path) const { return reach_.outside || Inside(path); }
    std::string OutsideReason() const { return SetupWord() + "フォルダの外にあるため，削除しませんでした．\r\n"; }
    std::string UnvouchedReason(const char* what) const
    {
        return Word() + "情報が確かめられないため，" + what + "ませんでした．\r\n";
    }

    UninstallEnd Stop();
    void JudgeTheLog();
    bool Unregisters(const std::string& path) const;
    void Unregister(const std::string& path, bool registeredByInstall);
    // What unregisters one recorded file before it is deleted.
    class EntryGate : public ComponentGate {
    public:
        EntryGate(Run& run, bool registeredByInstall) : run_(run), registered_(registeredByInstall) {}
        void Unregister(const std::string& path) override { run_.Unregister(path, registered_); }

    private:
        Run& run_;
        bool registered_;
    };
    // The name first: asking the system about every recorded path costs a look at the disk each.
    bool IsTheLog(const std::string& path) const
    {
        return UpperCase(NamePart(path)) == kLogName && ComparableFolder(path) == logComparable_;
    }
    bool RefusedPattern(const std::string& path) const;
    void RemoveProgramListEntry();
    void FilePass();
    void ShortcutPass();
    void FolderPass();
    void RemoveRecordedKey(const std::string& rootToken, const std::string& path);
    void RegistryPass();
    void AssociationPass();
    void RemoveUninstallKey();
    void RemoveJournalAndLog();
    void RemoveInstallFolder();
    void Finish();

    RunContext& context_;
    const IniDocument& script_;
    UninstallChoices choices_;
    StartedLog started_;
    UserInterface& ui_;
    LogJudgement judged_;
    LogReach reach_;
    std::string installFolder_;
    std::string installComparable_;
    bool installProtected_ = false;
    std::vector<std::string> protected_;
    std::vector<std::string> systemFolders_; // comparable: the Windows and System folders
    std::string windowsComparable_;
    std::string logComparable_;              // the log in the install folder
    std::string recordedLog_;                // its DeleteFile entry, deleted last
    bool ownKeyLeft_ = false;                // the product's Uninstall key could not be deleted
    SharedFileDecisions decisions_;
    FailureReport failures_;
};

UninstallEnd Run::Stop()
{
    ui_.ShowMessage(Word() + "フォルダが不明です．\r\n" + Word() + "は続行できません．", "致命的エラー", MB_ICONSTOP);
    ui_.EndRun();
    return UninstallEnd::Stopped;
}

UninstallEnd Run::Go()
{
    ui_.BeginRun(0); // the uninstall never pauses
    ui_.ShowStatus(Word() + "を行っています．．．");

    installFolder_ = context_.folderField;
    // A relative folder, or one that climbs with "..", is no place to remove things from.
    if (IsUnknownInstallFolder(installFolder_) || HasRelativeParts(installFolder_)) return Stop();
    // Before the current folder changes: a relative argument names a log of the starting one.
    JudgeTheLog();
    if (IsUnknownInstallFolder(installFolder_)) return Stop();
    context_.folders[FolderMacro::App] = installFolder_;
    protected_ = ProtectedFolders(context_.files, context_.folders);
    installComparable_ = ComparableFolder(installFolder_);
    installProtected_ = IsProtectedFolder(installComparable_, protected_);
    if (!context_.files.windowsFolder.empty()) windowsComparable_ = ComparableFolder(context_.files.windowsFolder);
    for (const std::string& folder : {context_.files.windowsFolder, context_.files.systemFolder})
        if (!folder.empty()) systemFolders_.push_back(ComparableFolder(folder));
    logComparable_ = ComparableFolder(installFolder_ + kLogName);

    if (judged_.trust == LogTrust::Changed) {
        ui_.ShowMessage(ChangedLogText(SetupWord(), Word()), "警告", MB_ICONEXCLAMATION);
        reach_ = ReachOf(LogTrust::Changed, false);
    } else if (judged_.trust == LogTrust::Unvouched) {
        const int outside = OutsideItemCount(script_, [&](const std::string& path) { return Inside(path); });
        const bool agreed = outside == 0 || ui_.ShowMessage(UnvouchedLogText(SetupWord(), Word(), outside), "警告",
                                                            MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
        reach_ = ReachOf(LogTrust::Unvouched, agreed);
    }
    decisions_.journal = CountJournal(installFolder_ + kJournalName);

    RemoveProgramListEntry();
    // No folder to be removed may be the program's current one.
    os::SetCurrentDirectory(context_.files.tempFolder);
    FilePass();
    ShortcutPass();
    FolderPass();
    RegistryPass();
    AssociationPass();
    RemoveUninstallKey();
    RemoveJournalAndLog();
    RemoveInstallFolder();
    Finish();
    return UninstallEnd::Completed;
}

// A log that no digest vouches for tells nothing sure but where it lies: that
// folder is the install folder, whatever the log says.
void Run::JudgeTheLog()
{
    const std::string full = FullPath(started_.path);
    judged_ = JudgeLog(EntriesNamingLog(ComparableFolder(started_.path)), started_.digest,
                       script_.Get("UnSetupRegistryKey", "Key"));
    if (judged_.trust == LogTrust::Vouched) return;
    const std::string logFolder = full.empty() ? std::string() : FolderPart(full);
    if (ComparableFolder(logFolder) == ComparableFolder(installFolder_)) return;
    failures_.Add("<SetupFolder> ", installFolder_,
                  Word() + "情報のあるフォルダと違うため，このフォルダは使いませんでした．\r\n");
    installFolder_ = logFolder;
}

bool Run::Unregisters(const std::string& path) const
{
    // A share is refused before anything looks at it.
    if (DriveOf(ComparablePath(PlainPath(path))).empty()) return false;
    const std::string component = ComparableFolder(path);
    return MayUnregister(component, IsFixedDrive(DriveOf(component)), installComparable_, systemFolders_,
                         reach_.trusted);
}

// A component is loaded to unregister it only from a place the log is believed
// for, and only while its bytes are vouched for. One that the install
// registered and that is not loaded stays registered, and the report says so.
void Run::Unregister(const std::string& path, bool registeredByInstall)
{
    if (!IsOcxOrDll(path) || !FileExists(path)) return; // nothing would be loaded
    const IniDocument* believed = judged_.trust == LogTrust::Vouched ? &script_ : nullptr;
    const std::string reason = Unregisters(path) ? UnregisterComponent(path, believed, context_)
                                                 : "この場所からは読み込まないため，登録を解除しませんでした．\r\n";
    if (!reason.empty() && registeredByInstall) failures_.Add("<File> ", path, reason);
}

// A pattern in a protected folder, or anywhere below the Windows folder (Fonts,
// INF, ...), would take the system's own files with it.
bool Run::RefusedPattern(const std::string& path) const
{
    const std::string folder = FolderPart(path);
    if (Protected(folder)) return true;
    const std::string comparable = ComparableFolder(folder);
    return !IsRoot(windowsComparable_) && IsSameOrUnder(comparable, windowsComparable_);
}

void Run::RemoveProgramListEntry()
{
    const std::string id = script_.Get("ProgramID", "ID");
    if (id.empty()) return;
    const std::string programList = DelBackSlash(context_.files.windowsFolder, "B") + "\\" + kProgramListName;
    if (!reach_.outside) {
        if (!ReadIniStr(id, "Folder", "", programList).empty())
            failures_.Add("<IniFile> ", programList + " [" + id + "]", UnvouchedReason("削除し"));
        return;
    }
    if (StepFault("remove entry", programList) != 0) return;
    DeleteIniSection(id, programList);
}

void Run::FilePass()
{
    for (const char* section : {"DeleteFile", "AddDeleteFile"}) {
        const bool recorded = std::string(section) == "DeleteFile";
        for (int n = 1;; ++n) {
            const std::string value = script_.Get(section, "File" + std::to_string(n));
            const std::string path = SplitRecordedFile(value).path;
            if (path.empty()) break;
            if (recorded && IsTheLog(path)) {
                recordedLog_ = path; // it goes last
                continue;
            }
            const bool pattern = HasWildcard(path);
            if (!Reaches(path)) {
                failures_.Add("<File> ", path, OutsideReason());
                continue;
            }
            if (pattern && recorded) {
                failures_.Add("<File> ", path, kWildcardSkip);
                continue;
            }
            if (pattern && RefusedPattern(path)) {
                failures_.Add("<File> ", path, kProtectedPatternSkip);
                continue;
            }
            if (!reach_.outside && !pattern &&
                (decisions_.counts.Get(path) != 0 || decisions_.journal.Holds(path))) {
                failures_.Add("<File> ", path, UnvouchedReason("共有ファイルの数を変えず，削除し"));
                continue;
            }
            // A pattern outside the install folder deletes files, never folders.
            const bool filesOnly = pattern && (installProtected_ || !InInstallFolder(FolderPart(path)));
            EntryGate gate(*this, RegisteredByInstall(value));
            const unsigned long code =
                RemoveRecordedFile(value, context_.files, decisions_, ui_, filesOnly, pattern ? nullptr : &gate);
            // A refusal for a link is listed for every section: it counts as a failure.
            if (code == kLinkOnPath || (code != 0 && recorded)) failures_.Add("<File> ", path, FailureReason(code));
        }
    }
}

void Run::ShortcutPass()
{
    for (const std::string& shortcut : NumberedList(script_, "DeleteShortCut", "File")) {
        if (!Reaches(shortcut)) {
            failures_.Add("<ShortCut> ", shortcut, OutsideReason());
            continue;
        }
        if (HasWildcard(shortcut)) {
            failures_.Add("<ShortCut> ", shortcut, kWildcardSkip);
            continue;
        }
        if (const unsigned long code = RemoveFile(shortcut))
            failures_.Add("<ShortCut> ", shortcut, FailureReason(code));
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
        if (!Reaches(folder)) {
            failures_.Add("<Folder> ", folder, OutsideReason());
            continue;
        }
        if (Protected(folder)) {
            failures_.Add("<Folder> ", folder, kProtectedFolderSkip);
            continue;
        }
        const bool inside = !installProtected_ && InInstallFolder(folder);
        unsigned long code = RemoveFolder(folder, inside ? choices_.patterns : std::string());
        // The install folder goes whole, but never through a link.
        if (inside && choices_.deleteAll && code != kLinkOnPath) code = 0;
        if (code != 0) failures_.Add("<Folder> ", folder, FailureReason(code));
    }
}

void Run::RemoveRecordedKey(const std::string& rootToken, const std::string& written)
{
    if (written.empty()) return;
    const std::string shown = rootToken + written;
    // "Software\X\" names the same key as "Software\X".
    const std::string path = DelBackSlash(written, "B");
    if (LastNameEmpty(path)) {
        failures_.Add("<Registry> ", shown, kUnnamedKeySkip);
        return;
    }
    const std::string key = NormalizedKeyPath(path);
    if (IsProtectedRegistryKey(RootOfToken(rootToken), key, reach_.trusted)) {
        failures_.Add("<Registry> ", shown, kProtectedKeySkip);
        return;
    }
    DeleteRegKey(rootToken, key);
}

void Run::RegistryPass()
{
    for (const std::string& value : NumberedList(script_, "DeleteRegistry", "Key")) {
        const RecordedKey key = SplitRecordedKey(value);
        if (!reach_.outside) {
            if (RegistryKeyExists(key.rootToken, NormalizedKeyPath(key.path)))
                failures_.Add("<Registry> ", value, UnvouchedReason("削除し"));
            continue;
        }
        RemoveRecordedKey(key.rootToken, key.path);
    }
}

void Run::AssociationPass()
{
    for (const std::string& value : NumberedList(script_, "RestoreRelate", "Key")) {
        const SavedAssociation saved = SplitSavedAssociation(value);
        const std::string extensionKey = "." + saved.extension;
        if (!reach_.outside) {
            if (RegistryKeyExists("(Class)", extensionKey))
                failures_.Add("<Registry> ", "(Class)" + extensionKey, UnvouchedReason("関連付けを戻し"));
            continue;
        }
        if (!UsableExtension(saved.extension)) {
            failures_.Add("<Registry> ", "(Class)" + extensionKey, kExtensionSkip);
            continue;
        }
        if (IsSystemFileType(saved.extension)) {
            failures_.Add("<Registry> ", "(Class)" + extensionKey, kSystemTypeSkip);
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

// The product's own key is the one that names the log. The key the log records
// goes too when the log is believed, and only when it is a product's key
// directly under ...\Uninstall.
void Run::RemoveUninstallKey()
{
    const std::string recorded = script_.Get("UnSetupRegistryKey", "Key");
    const std::string own = NormalizedKeyPath(judged_.keyPath);
    if (!own.empty() && IsProductUninstallKey(own)) {
        RemoveRecordedKey("(Local)", own);
        if (RegistryKeyExists("(Local)", own)) {
            ownKeyLeft_ = true;
            failures_.Add("<Registry> ", "(Local)" + own,
                          "キーを削除できなかったため，" + Word() + "情報を残しました．もう一度" + Word() +
                              "してください．\r\n");
        }
    }
    if (recorded.empty() || NormalizedKeyPath(DelBackSlash(recorded, "B")) == own) return;
    if (!reach_.outside) {
        if (RegistryKeyExists("(Local)", NormalizedKeyPath(recorded)))
            failures_.Add("<Registry> ", "(Local)" + recorded, UnvouchedReason("削除し"));
        return;
    }
    if (!LastNameEmpty(DelBackSlash(recorded, "B")) && !IsProductUninstallKey(recorded)) {
        failures_.Add("<Registry> ", "(Local)" + recorded, kNotUninstallKeySkip);
        return;
    }
    RemoveRecordedKey("(Local)", recorded);
}

// The journal and the log go after everything else they guard: a run cut short
// before this point can be started again from the same log. The Uninstall key
// that vouched for the log is gone by now, so a log left without its journal is
// believed no more: a run over it lowers no count and removes only what is left
// in the install folder. The log is the one the log records in the install
// folder, not whatever the command line named.
void Run::RemoveJournalAndLog()
{
    // A key that still vouches for the log would let a run over it lower the
    // counts again: the journal stays with it, and the log for that run.
    if (ownKeyLeft_) return;
    decisions_.journal.Remove();
    if (recordedLog_.empty()) return;
    if (const unsigned long code = RemoveFile(recordedLog_))
        failures_.Add("<File> ", recordedLog_, FailureReason(code));
}

void Run::RemoveInstallFolder()
{
    if (installProtected_) return; // left alone, as a folder the system owns
    const unsigned long code = RemoveFolder(installFolder_, choices_.deleteAll ? "*.*|" : choices_.patterns);
    if (code == 0) return;
    std::string reason;
    if (code == ERROR_DIR_NOT_EMPTY || code == ERROR_ACCESS_DENIED)
        reason = std::string(choices_.deleteAll ? "全ファイル・フォルダの削除を試みましたが，エラーが発生したため，"
                                                : "フォルダにファイルが残っているため，") +
                 context_.keys.setupString + "フォルダを削除できませんでした．エクスプローラなどから，直接削除してください．\r\n";
    else
        reason = FailureReason(code);
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

UninstallEnd RunUninstall(RunContext& context, const UninstallChoices& choices, const StartedLog& log,
                          UserInterface& ui)
{
    return Run(context, choices, log, ui).Go();
}
