#include "support/SysErrorText.h"

#include <windows.h>

#include "support/ErrorText.h"
#include "support/Handles.h"
#include "support/SystemCodePage.h"
#include "support/SystemText.h"

std::string SysErrorText(unsigned long code)
{
    if (code == 0) return {};
    const std::string text = os::SystemErrorMessage(code);
    return MapString(TidyErrorText(text), LCMAP_FULLWIDTH) + "\r\n";
}
