#pragma once
// Whether the uninstall may believe its log. The install keeps the log's digest
// in the product's Uninstall key under HKEY_LOCAL_MACHINE, where users without
// rights cannot write; a log that users could rewrite is believed only as far
// as that digest vouches for it.

#include <functional>
#include <string>
#include <vector>

#include "support/IniDocument.h"

// The value of the Uninstall key that holds the SHA-256 digest of the whole log.
constexpr char kLogDigestValue[] = "TesseraLogDigest";

enum class LogTrust {
    Vouched,   // an Uninstall key that names the log holds its digest
    Changed,   // the key holds another digest, or no key names the log
    Unvouched, // the key names the log but holds no digest: written before digests were kept
};

// An Uninstall key whose UninstallString names the log, and its digest ("" for none).
struct EntryNamingLog {
    std::string keyPath; // under HKEY_LOCAL_MACHINE
    std::string digest;
};

struct LogJudgement {
    LogTrust trust = LogTrust::Changed;
    std::string keyPath; // the product's own Uninstall key; "" when no key names the log
};

// A key whose digest matches vouches for the log. Otherwise the key the log
// records (`recordedKeyPath`, compared without regard to ASCII case) is the
// product's own when it names the log, else the first one that does.
LogJudgement JudgeLog(const std::vector<EntryNamingLog>& entries, const std::string& logDigest,
                      const std::string& recordedKeyPath);

// The log's path in an UninstallString: the text between its first pair of
// double quotes; "" when there is none.
std::string LogPathOfCommand(const std::string& uninstallString);

// How far the run reaches. Outside the install folder: files, shortcuts and
// folders there, shared counts, registry keys, associations, the program list.
// Trusted: components of the System and Windows folders, keys deep below a
// control set.
struct LogReach {
    bool outside = true;
    bool trusted = true;
};
// A log without a digest reaches outside only when the user agrees.
LogReach ReachOf(LogTrust trust, bool userAgreed);

// The recorded items that lie outside the install folder (`inside` tells) or
// are no files at all: files, shortcuts and folders outside it, registry keys,
// associations, and the program list entry.
int OutsideItemCount(const IniDocument& log, const std::function<bool(const std::string&)>& inside);

// The messages before the run starts: a changed log, and a log without digest
// that asks about the `outside` items.
std::string ChangedLogText(const std::string& setupString, const std::string& unSetupString);
std::string UnvouchedLogText(const std::string& setupString, const std::string& unSetupString, int outside);
// The install's question about a previous log without digest: whether its
// `outside` items go into the new log too.
std::string UnvouchedMergeText(const std::string& setupString, const std::string& unSetupString, int outside);
