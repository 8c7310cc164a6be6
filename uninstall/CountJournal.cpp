#include "uninstall/CountJournal.h"

#include <windows.h>

#include <utility>

#include "support/CodePage.h"
#include "support/Handles.h"
#include "support/ReparsePoints.h"
#include "support/StepHook.h"
#include "support/WholeFile.h"
#include "uninstall/UninstallRules.h"
#include "support/SystemText.h"

namespace {

unsigned long FailureCode() { return GetLastError() != 0 ? GetLastError() : static_cast<DWORD>(ERROR_WRITE_FAULT); }

} // namespace

CountJournal::CountJournal(std::string path) : path_(std::move(path))
{
    // The install folder may be one users can write: a journal that is a link,
    // or lies beyond one, is never read, written or deleted.
    if (path_.empty() || HasLink(path_)) return;
    const FileText text = ReadFileText(path_);
    if (text.error == 0)
        for (const std::string& file : JournalFiles(text.text)) files_.insert(UpperCase(file));
}

bool CountJournal::Holds(const std::string& file) const
{
    return !files_.empty() && files_.count(UpperCase(file)) != 0;
}

unsigned long CountJournal::Add(const std::string& file)
{
    files_.insert(UpperCase(file));
    if (path_.empty()) return 0;
    if (const unsigned long fault = StepFault("create", path_)) return fault;
    if (HasLink(path_)) return kLinkOnPath;
    const HANDLE opened = os::CreateFile(path_, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL);
    if (opened == INVALID_HANDLE_VALUE) return GetLastError();
    const UniqueKernelHandle journal(opened);
    SetFilePointer(journal.get(), 0, nullptr, FILE_END);
    const std::string line = file + "\r\n";
    DWORD written = 0;
    if (const unsigned long fault = StepFault("write", path_)) return fault;
    if (!WriteFile(journal.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size())
        return FailureCode();
    if (const unsigned long fault = StepFault("flush", path_)) return fault;
    return FlushFileBuffers(journal.get()) ? 0 : FailureCode();
}

void CountJournal::Remove() const
{
    if (path_.empty() || StepFault("delete", path_) != 0 || HasLink(path_)) return;
    os::SetFileAttributes(path_, FILE_ATTRIBUTE_NORMAL);
    os::DeleteFile(path_);
}
