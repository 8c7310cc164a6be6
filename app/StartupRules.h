#pragma once
// The decisions of the program's start-up, apart from the system calls.

#include <string>


// Decided once at start-up from the command line.
enum class RunMode { Install, Uninstall };

constexpr char kMutexName[] = "TSRSETUP";
constexpr char kUninstallLogName[] = "UNSETUP.INI";
constexpr char kSetupScriptName[] = "SETUP.INI";
constexpr char kWorkFolderPrefix[] = "TSTMP";
constexpr char kProgramCopyName[] = "SETUPT.EXE";
constexpr char kProgramName[] = "SETUP.EXE"; // the program on a medium
constexpr int kWorkFolderLimit = 99;

// Uninstall when the file-name part of the first argument is exactly "UNSETUP.INI".
RunMode RunModeFromArgument(const std::string& argument);

// The temp folder followed by TSTMP<n> and a backslash.
std::string WorkFolderName(const std::string& tempFolder, int n);

// The fatal conditions of the start-up, each followed by CR.
constexpr char kFatalWindowsFolder[] = "【致命的エラー  →  Windowsフォルダ取得失敗】\r";
constexpr char kFatalSystemFolder[] = "【致命的エラー  →  WindowsSystemフォルダ取得失敗】\r";
constexpr char kFatalScript[] = "【致命的エラー  →  iniファイル読み込み失敗】\r";

// The message of the fatal-error state for the conditions met.
std::string FatalMessage(const std::string& fatalText);
