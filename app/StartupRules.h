#pragma once
// The decisions of the program's start-up, apart from the system calls.

#include <string>
#include <vector>

// Decided once at start-up from the command line.
enum class RunMode { Install, Uninstall };

constexpr char kMutexName[] = "TSRSETUP";
constexpr char kGlobalMutexName[] = "Global\\TSRSETUP";
constexpr char kUninstallLogName[] = "UNSETUP.INI";
constexpr char kSetupScriptName[] = "SETUP.INI";
constexpr char kWorkFolderPrefix[] = "TSTMP";
constexpr char kProgramCopyName[] = "SETUPT.EXE";
constexpr int kWorkFolderLimit = 99;

// The single-instance mutex, in the global namespace from Windows 2000 on, so
// that copies in different sessions see each other; NT4 and the 9x family take
// no "Global\" name (the mutex could not be created).
const char* SingleInstanceMutexName(bool ntFamily, unsigned majorVersion);

// Uninstall when the file-name part of the first argument is exactly "UNSETUP.INI".
RunMode RunModeFromArgument(const std::string& argument);

// The temp folder followed by TSTMP<n> and a backslash.
std::string WorkFolderName(const std::string& tempFolder, int n);

// The work folder's security descriptor, in the system's descriptor language:
// the System account, the Administrators and the owner of what the program
// makes (`ownerSid`: the Administrators when it runs with their rights, the
// System account, or else the user) may use the folder and all it holds;
// nobody else, whatever the temporary folder grants.
std::string WorkFolderSecurity(const std::string& ownerSid);

// The folders a path passes through below its root, the last one the path
// itself: C:\A\B\ gives C:\A and C:\A\B. The root is a drive ("C:\") or a share
// ("\\server\share\").
std::vector<std::string> FoldersAlongPath(const std::string& path);

// The fatal conditions of the start-up, each followed by CR.
constexpr char kFatalWindowsFolder[] = "【致命的エラー  →  Windowsフォルダ取得失敗】\r";
constexpr char kFatalSystemFolder[] = "【致命的エラー  →  WindowsSystemフォルダ取得失敗】\r";
constexpr char kFatalScript[] = "【致命的エラー  →  iniファイル読み込み失敗】\r";

// The message of the fatal-error state for the conditions met.
std::string FatalMessage(const std::string& fatalText);
