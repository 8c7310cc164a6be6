#pragma once

#include <string>

// The system's text for an error code in full-width characters, without its
// closing full stop, followed by CR LF; "" for code 0, CR LF alone for an
// unknown code.
std::string SysErrorText(unsigned long code);
