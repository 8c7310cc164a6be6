// Writes the uninstall log through the writer stage again and again, so that a
// test can kill it at any moment and look at what is left.
//   logwriter <install folder> refs   writes B, keeps it as B.REF, then A as A.REF (the log is A)
//   logwriter <install folder> loop   writes B, A, B, ... until killed
#include <windows.h>

#include <cstdio>
#include <string>

#include "support/FileOps.h"
#include "support/UserInterface.h"
#include "tests/wine/LogRun.h"
#include "uninstall/LogStages.h"

namespace {

class SilentUi : public UserInterface {
public:
    int ShowMessage(const std::string&, const std::string&, unsigned) override { return IDOK; }
    void ShowStatus(const std::string&) override {}
    bool AbortRequested() override { return false; }
    void Pause(unsigned) override {}
    void ProcessMessages() override {}
    void ShowProgressFrame(bool) override {}
    int SetProgress(int percent, int, int) override { return percent; }
    void EnableAbort(bool) override {}
    void BeginRun(unsigned) override {}
    void EndRun() override {}
    void ShowFailureReport(const std::string&, const std::string&) override {}
    SharedFileAnswer AskAboutSharedFile(const std::string&) override { return SharedFileAnswer::Keep; }
};

LogRun RunFor(const std::string& folder, int files, const char* tag)
{
    LogRun run = LogRunIn(folder, folder, folder, std::string("Log ") + tag);
    run.context.script = IniDocument::Parse("[Title]\r\nUnSetupKey=TesseraLogWriter\r\n");
    for (int n = 0; n < files; ++n)
        run.record.Append(PendingList::DeleteFiles, folder + tag + "\\ポ表" + std::to_string(n) + ".dat,/S");
    return run;
}

bool Write(const LogRun& run)
{
    SilentUi ui;
    const StageResult result = RunLogWriterStage(run.context, run.record, PreviousLog::Replace, ui);
    return result.outcome == StageOutcome::Continue && result.failures.count == 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) return 2;
    std::string folder = argv[1];
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    const LogRun a = RunFor(folder, 8000, "A");
    const LogRun b = RunFor(folder, 12000, "B");
    const std::string log = folder + "UNSETUP.INI";
    const std::string mode = argv[2];

    if (mode == "refs") {
        if (!Write(b) || ForceCopyFile(log, folder + "B.REF") != 0) return 1;
        if (!Write(a) || ForceCopyFile(log, folder + "A.REF") != 0) return 1;
        return 0;
    }
    if (mode != "loop") return 2;
    for (unsigned long round = 1;; ++round) {
        if (!Write(round % 2 ? b : a)) return 1;
        std::printf("%lu\n", round);
        std::fflush(stdout);
    }
}
