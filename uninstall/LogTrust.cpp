#include "uninstall/LogTrust.h"

#include <algorithm>

#include "support/ScriptLists.h"
#include "uninstall/UninstallRules.h"

namespace {

std::string AsciiLower(std::string text)
{
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

} // namespace

LogJudgement JudgeLog(const std::vector<EntryNamingLog>& entries, const std::string& logDigest,
                      const std::string& recordedKeyPath)
{
    for (const EntryNamingLog& entry : entries)
        if (!entry.digest.empty() && AsciiLower(entry.digest) == AsciiLower(logDigest))
            return {LogTrust::Vouched, entry.keyPath};
    if (entries.empty()) return {};
    const auto recorded = std::find_if(entries.begin(), entries.end(), [&](const EntryNamingLog& entry) {
        return AsciiLower(entry.keyPath) == AsciiLower(recordedKeyPath);
    });
    const EntryNamingLog& own = recorded != entries.end() ? *recorded : entries.front();
    return {own.digest.empty() ? LogTrust::Unvouched : LogTrust::Changed, own.keyPath};
}

std::string LogPathOfCommand(const std::string& uninstallString)
{
    const std::size_t open = uninstallString.find('"');
    if (open == std::string::npos) return {};
    const std::size_t close = uninstallString.find('"', open + 1);
    if (close == std::string::npos) return {};
    return uninstallString.substr(open + 1, close - open - 1);
}

LogReach ReachOf(LogTrust trust, bool userAgreed)
{
    switch (trust) {
    case LogTrust::Vouched: return {true, true};
    case LogTrust::Unvouched: return {userAgreed, false};
    case LogTrust::Changed: break;
    }
    return {false, false};
}

int OutsideItemCount(const IniDocument& log, const std::function<bool(const std::string&)>& inside)
{
    int count = 0;
    const auto paths = [&](const char* section, const char* prefix, bool cut) {
        for (const std::string& value : NumberedList(log, section, prefix)) {
            const std::string path = cut ? SplitRecordedFile(value).path : value;
            if (path.empty()) break;
            if (!inside(path)) ++count;
        }
    };
    paths("DeleteFile", "File", true);
    paths("AddDeleteFile", "File", true);
    paths("DeleteShortCut", "File", false);
    paths("DeleteFolder", "Folder", false);
    count += static_cast<int>(NumberedList(log, "DeleteRegistry", "Key").size());
    count += static_cast<int>(NumberedList(log, "RestoreRelate", "Key").size());
    if (!log.Get("ProgramID", "ID").empty()) ++count;
    return count;
}

std::string ChangedLogText(const std::string& setupString, const std::string& unSetupString)
{
    return unSetupString + "情報が，" + setupString + "の後で書き換えられています．\r" + "このため，" + setupString +
           "フォルダの中にあるファイルとフォルダだけを削除します．\r" +
           "それ以外のものは削除せず，終わりに一覧で表示します．";
}

namespace {

// The question about a log without digest: what it does with the items inside
// the install folder, and whether it does the same (`verb`) with the rest.
std::string UnvouchedQuestion(const std::string& log, const std::string& setupString, const std::string& inside,
                              const char* verb, int outside)
{
    std::string text = log;
    text += "情報に，書き換えられていないことを確かめるための記録がありません．\rこのため，";
    text += setupString;
    text += "フォルダの中にあるファイルとフォルダだけを";
    text += inside;
    text += "．\r\r";
    text += setupString;
    text += "フォルダの外にある項目（";
    text += std::to_string(outside);
    text += "個）も";
    text += verb;
    text += "ますか？";
    return text;
}

} // namespace

std::string UnvouchedLogText(const std::string& setupString, const std::string& unSetupString, int outside)
{
    return UnvouchedQuestion(unSetupString, setupString, "削除します", "削除し", outside);
}

std::string UnvouchedMergeText(const std::string& setupString, const std::string& unSetupString, int outside)
{
    return UnvouchedQuestion("以前の" + unSetupString, setupString, "，新しい" + unSetupString + "情報に引き継ぎます",
                             "引き継ぎ", outside);
}
