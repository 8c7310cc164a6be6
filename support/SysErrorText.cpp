#include "support/SysErrorText.h"

#include <windows.h>

#include "support/ErrorText.h"
#include "support/Handles.h"
#include "support/SystemCodePage.h"

std::string SysErrorText(unsigned long code)
{
    if (code == 0) return {};
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    const UniqueLocalMemory owner(buffer);
    const std::string text = length ? std::string(buffer, length) : std::string();
    return MapString(TidyErrorText(text), LCMAP_FULLWIDTH) + "\r\n";
}
