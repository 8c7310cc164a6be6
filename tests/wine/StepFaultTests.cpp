// Every step of the log's replacement and of the uninstall run, failed or ended
// in turn (ended in a process of its own, stepcrash.exe): what each leaves, and
// what the next install or uninstall makes of it. Each test prints its table.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include "log/LogRecovery.h"
#include "log/LogTrust.h"
#include "log/RegistrationRules.h"
#include "support/FileOps.h"
#include "support/Handles.h"
#include "support/ScriptLists.h"
#include "support/Sha256.h"
#include "support/WholeFile.h"
#include "support/uIniFile.h"
#include "support/uStrOp.h"
#include "tests/wine/Registry.h"
#include "tests/wine/StepFaults.h"
#include "tests/wine/StepScenarios.h"
#include "tests/wine/TestFolder.h"
#include "uninstall/CountJournal.h"
#include "uninstall/RegistryDeletion.h"
#include "uninstall/UninstallRules.h"

namespace {

using Strings = std::vector<std::string>;
constexpr char kMissing[] = "<missing>";
const std::string kUninstallKey = std::string(kUninstallKeyParent) + "TesseraSteps";

// Starts stepcrash.exe for a run in `root` and returns its exit code.
DWORD RunStepCrash(const std::string& run, const std::string& root, const std::string& arguments)
{
    // A backslash before the closing quote would escape it.
    std::string command = "\"" + ExecutableFolder() + "stepcrash.exe\" " + run + " \"" + DelBackSlash(root, "B") +
                          "\" " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started))
        return GetLastError();
    const UniqueKernelHandle process(started.hProcess), thread(started.hThread);
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0) GetExitCodeProcess(process.get(), &code);
    return code;
}

std::string Content(const std::string& path)
{
    const FileText file = ReadFileText(path);
    return file.error == 0 ? file.text : kMissing;
}

void Put(const std::string& path, const std::string& content)
{
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
    const unsigned long written = content == kMissing ? 0 : WriteNewFile(path, content);
    EXPECT_EQ(written, 0u) << path;
}

// A string value; "" when the key is there without it, nothing when the key is not.
std::optional<std::string> RegistryString(HKEY root, const std::string& key, const std::string& name)
{
    HKEY opened = nullptr;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS) return std::nullopt;
    const UniqueRegKey owned(opened);
    char value[1024] = {};
    DWORD size = sizeof value - 1;
    if (RegQueryValueExA(opened, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
        return std::string();
    return std::string(value);
}

// The install folder's files that a log records, by name, the log itself left out.
Strings RecordedNames(const std::string& logText, const std::string& install)
{
    Strings names;
    for (const std::string& file : NumberedList(IniDocument::Parse(logText), "DeleteFile", "File"))
        if (file.rfind(install, 0) == 0 && file != install + kLogName) names.push_back(file.substr(install.size()));
    return names;
}

std::string Joined(const Strings& parts)
{
    std::string text;
    for (const std::string& part : parts) text += (text.empty() ? "" : ", ") + part;
    return text;
}

// ---- The log's replacement ------------------------------------------------

struct Replacement {
    const char* name;
    bool previousLog;      // an earlier install's log is there
    bool cannotRenameOver; // the 9x family's way: delete, then move
    int padding;           // recorded files of another folder that make the log long
    bool uninstallAfter;   // also start an uninstall from what is left
};

// What one install folder holds of the log's files, the Uninstall key included.
struct LogFiles {
    std::string log, whole, partial;
    std::optional<std::string> command; // the Uninstall key's UninstallString
    std::string digest;                 // and the log's digest there

    static LogFiles Read(const StepFolders& at)
    {
        return {Content(at.log), Content(at.install + kNewLogName), Content(at.install + kPartialLogName),
                RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"),
                RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, kLogDigestValue).value_or("")};
    }
    void Restore(const StepFolders& at) const
    {
        Put(at.log, log);
        Put(at.install + kNewLogName, whole);
        Put(at.install + kPartialLogName, partial);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
        if (command) {
            HKEY key = nullptr;
            RegCreateKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr);
            const UniqueRegKey owned(key);
            RegSetValueExA(key, "UninstallString", 0, REG_SZ, reinterpret_cast<const BYTE*>(command->c_str()),
                           static_cast<DWORD>(command->size() + 1));
            if (!digest.empty())
                RegSetValueExA(key, kLogDigestValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(digest.c_str()),
                               static_cast<DWORD>(digest.size() + 1));
        }
    }
};

class LogReplacement : public ::testing::Test {
protected:
    TestFolder folder;
    StepFolders at{folder.Path()};
    Replacement scenario{};
    std::optional<LogFiles> before; // what the install before this one left
    std::string oldLog, newLog;     // whole, as a run without faults leaves them
    std::string table;

    Strings Names(const char* own) const { return InstallNames(own, scenario.padding); }

    // The install folder as the install before this one left it (made by that
    // install the first time), with the files both installs copy.
    void Reset()
    {
        for (const std::string& path : {at.install, at.work, at.windows}) CreateFolderPath(path);
        Put(at.install + "a.txt", "a");
        Put(at.install + "b.txt", "b");
        if (before) return before->Restore(at);
        LogFiles{kMissing, kMissing, kMissing, std::nullopt, ""}.Restore(at);
        const int failures = scenario.previousLog ? WriteLog(PrepareInstall(at, Names("a.txt"))).failures.count : 0;
        EXPECT_EQ(failures, 0);
        before = LogFiles::Read(at);
    }

    std::string Which(const std::string& content) const
    {
        if (content == kMissing) return "none";
        if (content == newLog) return "new";
        if (content == oldLog) return "old";
        return "torn(" + std::to_string(content.size()) + ")";
    }

    std::string Describe(const LogFiles& left) const
    {
        std::string text = "INI " + Which(left.log);
        if (left.whole != kMissing) text += ", NEW " + Which(left.whole);
        if (left.partial != kMissing) text += ", TMP " + Which(left.partial);
        if (!scenario.previousLog) text += left.command ? ", key" : ", no key";
        return text;
    }

    // The next start after a run broken at some step: the log is the old one or
    // the new one, whole; the next install merges it, and an uninstall removes
    // what it records. Returns what it found.
    std::string CheckNextRuns(const LogFiles& left)
    {
        RecoverHalfReplacedLog(at.log);
        const LogFiles recovered = LogFiles::Read(at);
        const std::string which = Which(recovered.log);
        EXPECT_TRUE(which == "new" || which == (scenario.previousLog ? "old" : "none")) << which;
        EXPECT_EQ(recovered.whole, kMissing);
        EXPECT_EQ(recovered.partial, kMissing);
        // A key without its UninstallString (the run ended while writing it) names no log.
        EXPECT_TRUE(!recovered.command || recovered.command->empty() || recovered.log != kMissing)
            << "a key that names no log";
        const Strings names = recovered.log == kMissing ? Strings{} : RecordedNames(recovered.log, at.install);

        // The next install: what the log held, and its own file after it.
        EXPECT_EQ(WriteLog(PrepareInstall(at, {"c.txt"})).failures.count, 0);
        Strings expected = names;
        expected.push_back("c.txt");
        EXPECT_EQ(RecordedNames(Content(at.log), at.install), expected);
        EXPECT_EQ(Content(at.install + kNewLogName) + Content(at.install + kPartialLogName),
                  std::string(kMissing) + kMissing);
        std::string next = which + " -> install merged " + std::to_string(names.size());

        if (scenario.uninstallAfter) {
            left.Restore(at);
            const UninstallOutcome uninstall = UninstallFrom(at);
            EXPECT_EQ(uninstall.started, recovered.log != kMissing);
            Strings kept;
            for (const char* name : {"a.txt", "b.txt"}) {
                const bool recorded = std::find(names.begin(), names.end(), name) != names.end();
                EXPECT_EQ(FileExists(at.install + name), !recorded) << name;
                if (!recorded) kept.push_back(name);
            }
            for (const char* name : {kLogName, kNewLogName, kPartialLogName})
                EXPECT_FALSE(FileExists(at.install + name)) << name;
            EXPECT_TRUE(!uninstall.started || !RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString"));
            next += uninstall.started ? "; uninstall kept " + (kept.empty() ? "nothing" : Joined(kept)) : "; no uninstall";
        }
        return next;
    }

    void RunEveryStep(const Replacement& replacement)
    {
        scenario = replacement;
        before.reset();
        StepPlan plan;
        plan.cannotRenameOver = scenario.cannotRenameOver;
        Reset();
        oldLog = Content(at.log);
        Strings steps;
        {
            const LogRun run = PrepareInstall(at, Names("b.txt"));
            const StepFaults counting(plan);
            ASSERT_EQ(WriteLog(run).failures.count, 0);
            steps = counting.Steps();
        }
        newLog = Content(at.log);
        ASSERT_NE(newLog, oldLog);

        for (int k = 1; k <= static_cast<int>(steps.size()); ++k) {
            SCOPED_TRACE(std::string(scenario.name) + ", step " + std::to_string(k) + " " + steps[k - 1]);
            std::string row = std::string(scenario.name) + " | " + std::to_string(k) + " " + steps[k - 1];

            Reset();
            StageResult failed;
            {
                const LogRun run = PrepareInstall(at, Names("b.txt"));
                StepPlan failing = plan;
                failing.failAt = k;
                const StepFaults faults(failing);
                failed = WriteLog(run);
            }
            const std::string outcome = failed.outcome == StageOutcome::FatalStop ? "stopped"
                                        : failed.failures.count ? "reported"
                                                                : "done";
            EXPECT_NE(outcome, "done") << "a failed step went unreported";
            LogFiles left = LogFiles::Read(at);
            row += " | " + outcome + ": " + Describe(left) + " | " + CheckNextRuns(left);

            Reset();
            const std::string arguments = std::to_string(k) +
                                          (scenario.cannotRenameOver ? " 9x" : " rename") + " b.txt " +
                                          std::to_string(scenario.padding);
            EXPECT_EQ(RunStepCrash("install", at.root, arguments), kEndedAtStep);
            left = LogFiles::Read(at);
            row += " | " + Describe(left) + " | " + CheckNextRuns(left);
            table += row + "\n";
        }
    }
};

TEST_F(LogReplacement, EveryStepLeavesTheWholeOldLogOrTheWholeNewOne)
{
    const Replacement scenarios[] = {
        {"first install", false, false, 0, true},
        {"first install, 9x", false, true, 0, true},
        {"reinstall", true, false, 0, true},
        {"reinstall, 9x", true, true, 0, true},
        // Over the writer's 1 MB chunk, so that the new log takes two writes.
        {"reinstall, log over 1 MB", true, false, 4500, false},
    };
    for (const Replacement& replacement : scenarios) RunEveryStep(replacement);
    std::printf("scenario | step | failed: writer, left | next runs | ended: left | next runs\n%s", table.c_str());
}

// The next start's own rename of a whole new log, failed at any step (it stops
// there, as if ended), leaves the old log or the new one for the start after.
TEST(LogRecoverySteps, ARecoveryBrokenAtAnyStepIsFinishedByTheNextStart)
{
    TestFolder folder;
    const std::string log = folder / kLogName;
    // The install wrote the key that vouches for the new log before the rename.
    LogFiles{kMissing, kMissing, kMissing, "UNTESSR.EXE \"" + log + "\"", Sha256Hex("new")}.Restore(StepFolders(folder.Path()));
    for (const bool cannotRenameOver : {false, true}) {
        StepPlan plan;
        plan.cannotRenameOver = cannotRenameOver;
        const auto halfReplaced = [&] {
            folder.Write(kLogName, "old");
            folder.Write(kNewLogName, "new");
        };
        halfReplaced();
        Strings steps;
        {
            const StepFaults counting(plan);
            RecoverHalfReplacedLog(log);
            steps = counting.Steps();
        }
        ASSERT_EQ(folder.Read(kLogName), "new");
        for (int k = 1; k <= static_cast<int>(steps.size()); ++k) {
            SCOPED_TRACE(steps[k - 1]);
            halfReplaced();
            {
                StepPlan failing = plan;
                failing.failAt = k;
                const StepFaults faults(failing);
                RecoverHalfReplacedLog(log);
            }
            EXPECT_EQ(folder.Read(kNewLogName), "new");
            EXPECT_NE(folder.Read(kLogName), "new");
            RecoverHalfReplacedLog(log);
            EXPECT_EQ(folder.Read(kLogName), "new");
            EXPECT_FALSE(FileExists(folder / kNewLogName));
        }
    }
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str());
}

// ---- The uninstall run ------------------------------------------------------

void MakeKey(HKEY root, const std::string& path, const std::string& defaultValue = "")
{
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    const UniqueRegKey owned(key);
    if (!defaultValue.empty())
        RegSetValueExA(key, "", 0, REG_SZ, reinterpret_cast<const BYTE*>(defaultValue.c_str()),
                       static_cast<DWORD>(defaultValue.size() + 1));
}

void SetSharedCount(const std::string& path, std::optional<DWORD> count)
{
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSharedDllsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    const UniqueRegKey owned(key);
    if (count)
        RegSetValueExA(key, path.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&*count), sizeof *count);
    else
        RegDeleteValueA(key, path.c_str());
}

// The paths of a failure report's entries.
Strings ReportedPaths(const std::string& report)
{
    Strings paths;
    for (std::size_t line = 0; line < report.size();) {
        const std::size_t end = std::min(report.find("\r\n", line), report.size());
        const std::size_t tag = report.find("> ", line);
        if (report[line] == '<' && tag < end) paths.push_back(report.substr(tag + 2, end - tag - 2));
        line = end + 2;
    }
    return paths;
}

class UninstallSteps : public ::testing::Test {
protected:
    TestFolder folder;
    StepFolders at{folder.Path()};
    const std::string shared = at.root + "Shared\\";
    const std::string lastUser = shared + "one.dll"; // no other program uses it
    const std::string stillUsed = shared + "two.dll"; // another program still does
    const std::string group = at.root + "Programs\\Steps\\";
    const std::string shortcut = group + "Tool.lnk";
    const std::string testKey = "Software\\TesseraTests\\Steps";
    const std::string journal = at.install + kJournalName;
    const std::string programList = at.windows + kProgramListName;
    using State = std::map<std::string, std::string>;

    void TearDown() override { Clear(); }

    void Clear()
    {
        for (const std::string& path : {at.install, shared, group}) RemoveFolder(path, "*.*|");
        DeleteRegKey("(Cuser)", testKey);
        for (const char* key : {".tsxs", "tsxs_auto_file", ".tsxt", "tsxt_auto_file"}) DeleteRegKey("(Class)", key);
        DeleteRegKey("(Local)", kUninstallKey);
        for (const std::string& file : {lastUser, stillUsed}) SetSharedCount(file, std::nullopt);
        Put(programList, kMissing);
    }

    // What an install of one of each kind of thing left for its uninstall.
    void LeaveInstalledMachine()
    {
        Clear();
        for (const std::string& file : {at.install + "a.txt", at.install + "sub\\b.dat", lastUser, stillUsed, shortcut}) {
            CreateFolderPath(FolderPart(file));
            Put(file, "x");
        }
        SetSharedCount(lastUser, 1);
        SetSharedCount(stillUsed, 2);
        MakeKey(HKEY_CURRENT_USER, testKey + "\\Key\\Sub");
        MakeKey(HKEY_CLASSES_ROOT, ".tsxs", "tsxs_auto_file");
        MakeKey(HKEY_CLASSES_ROOT, "tsxs_auto_file", "S");
        MakeKey(HKEY_CLASSES_ROOT, ".tsxt", "tsxt_auto_file");
        MakeKey(HKEY_CLASSES_ROOT, "tsxt_auto_file", "T");
        CreateFolderPath(at.windows);
        WriteIniStr("STEPS", "Folder", at.install, programList);
        const std::string logText =
            "[SetupFolder]\r\nFolder=" + at.install + "\r\n[DeleteFolder]\r\nFolder1=" + at.install + "sub\\\r\n"
            "[DeleteFile]\r\nFile1=" + at.install + "a.txt\r\nFile2=" + at.install + "sub\\b.dat\r\n"
            "File3=" + lastUser + ",/S\r\nFile4=" + stillUsed + ",/S\r\nFile5=" + at.log + "\r\n"
            "[DeleteShortCut]\r\nFile1=" + shortcut + "\r\n[DeleteRegistry]\r\nKey1=" + testKey + "\\Key\r\n"
            "[RestoreRelate]\r\nKey1=tsxs,\r\nKey2=tsxt,OldType\r\n"
            "[UnSetupRegistryKey]\r\nKey=" + kUninstallKey + "\r\n[ProgramID]\r\nID=STEPS\r\n";
        Put(at.log, logText);
        // The Uninstall key as the install left it: it names the log and vouches for it.
        LogFiles{logText, kMissing, kMissing, at.windows + "UNTESSR.EXE \"" + at.log + "\"", Sha256Hex(logText)}.Restore(at);
        MakeKey(HKEY_LOCAL_MACHINE, kUninstallKey, "entry");
    }

    // A path as the machine's state names it: below the test's folder.
    std::string Item(const std::string& path) const
    {
        return path.rfind(at.root, 0) == 0 ? path.substr(at.root.size()) : path;
    }

    State Machine() const
    {
        State state;
        for (const std::string& file : {at.install + "a.txt", at.install + "sub\\b.dat", lastUser, stillUsed, shortcut,
                                        at.log, journal})
            state[Item(file)] = FileExists(file) ? "file" : "-";
        for (const std::string& path : {at.install + "sub\\", group, at.install})
            state[Item(path)] = FolderExists(path) ? "folder" : "-";
        for (const std::string& file : {lastUser, stillUsed}) {
            const std::optional<DWORD> count = ReadDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, file);
            state["count " + Item(file)] = count ? std::to_string(*count) : "-";
        }
        state["key"] = RegistryString(HKEY_CURRENT_USER, testKey + "\\Key", "") ? "key" : "-";
        for (const char* key : {".tsxs", "tsxs_auto_file", ".tsxt", "tsxt_auto_file"})
            state[key] = RegistryString(HKEY_CLASSES_ROOT, key, "").value_or("-");
        state["Uninstall key"] = RegistryString(HKEY_LOCAL_MACHINE, kUninstallKey, "").value_or("-");
        state["program list"] = ReadIniStr("STEPS", "Folder", "-", programList);
        return state;
    }
};

TEST_F(UninstallSteps, ARunEndedAtAnyStepIsFinishedByTheNextWithNoCountLoweredTwice)
{
    LeaveInstalledMachine();
    const State installed = Machine();
    Strings steps;
    {
        const StepFaults counting(StepPlan{});
        ASSERT_TRUE(UninstallFrom(at).started);
        steps = counting.Steps();
    }
    const State uninstalled = Machine();
    EXPECT_EQ(uninstalled.at("count " + Item(stillUsed)), "1");
    EXPECT_EQ(uninstalled.at(Item(lastUser)), "-");
    EXPECT_EQ(uninstalled.at(Item(at.install)), "-");
    const int logDeletion =
        static_cast<int>(std::find(steps.begin(), steps.end(), "delete " + std::string(kLogName)) - steps.begin()) + 1;
    ASSERT_LE(logDeletion, static_cast<int>(steps.size()));

    // Ended before step k; or step k failed and the run ended before it deleted
    // the log, the last point from which a second run can start.
    std::string table = "first run | changed by it | second run | its report\n";
    for (const bool failing : {false, true}) {
        for (int k = 1; k <= (failing ? logDeletion - 1 : static_cast<int>(steps.size())); ++k) {
            const std::string first = (failing ? "failed at " : "ended at ") + std::to_string(k) + " " + steps[k - 1];
            SCOPED_TRACE(first);
            LeaveInstalledMachine();
            // A run whose Uninstall key stays keeps its log and journal and goes to its end.
            const DWORD code = RunStepCrash("uninstall", at.root, std::to_string(k) + (failing ? " failing" : ""));
            ASSERT_TRUE(code == kEndedAtStep || (failing && code == 0)) << code;
            const State ended = Machine();
            std::set<std::string> changed;
            for (const auto& [item, state] : installed)
                if (ended.at(item) != state) changed.insert(item);
            const Strings journaled = JournalFiles(Content(journal) == kMissing ? "" : Content(journal));

            const UninstallOutcome second = UninstallFrom(at);
            State expected = uninstalled;
            std::string finished = "finished";
            if (!second.started) {
                // The journal goes before the log: no journal outlives the log
                // that no run can be started from any more.
                EXPECT_EQ(ended.at(Item(journal)), "-") << "a journal left for good";
                // The log went last but for the folder itself.
                expected[Item(journal)] = ended.at(Item(journal));
                expected[Item(at.install)] = ended.at(Item(at.install));
                finished = "no log to start from: " +
                           std::string(ended.at(Item(journal)) == "file" ? "journal and " : "") + "install folder stay";
            }
            const bool held = second.started && ended.at("Uninstall key") == "-";
            if (held) {
                // No key vouches for the log any more: the second run finishes the
                // install folder, and what the first left elsewhere stays, reported.
                for (const auto& [item, state] : ended)
                    if (item.rfind(Item(at.install), 0) != 0) expected[item] = state;
                finished = "held to the install folder";
            }
            for (const std::string& file : {lastUser, stillUsed}) {
                // Written into the journal, but not lowered: the count stays one
                // too high and the file is kept, never the other way round.
                const std::string count = "count " + Item(file);
                const bool inJournal = std::find(journaled.begin(), journaled.end(), file) != journaled.end();
                if (inJournal && ended.at(count) == installed.at(count)) {
                    expected[count] = installed.at(count);
                    expected[Item(file)] = "file";
                    finished += ", " + NamePart(file) + " kept at count " + installed.at(count) + " (one too high)";
                }
            }
            EXPECT_EQ(Machine(), expected);

            const Strings reported = ReportedPaths(second.report);
            for (const std::string& path : reported) {
                if (!held || path.rfind(at.install, 0) == 0) {
                    EXPECT_EQ(changed.count(Item(path)), 1u) << path << " was not removed by the first run\n" << second.report;
                }
            }
            table += first + " | " + std::to_string(changed.size()) + " | " + finished + " | " +
                     std::to_string(reported.size()) +
                     (held ? " entries: the install folder's removed by the first run, the rest left by it\n"
                           : " entries, all removed by the first run\n");
        }
    }
    std::printf("%s", table.c_str());
}

} // namespace
