// The program catches no exception. Should the C++ runtime give up (memory
// exhausted inside a library call), the process ends at once with a non-zero
// code. This replaces the runtime's default handler, which would print through
// a demangler and printf that the program otherwise never needs.
#include <windows.h>

#include <exception>

namespace __gnu_cxx {

void __verbose_terminate_handler()
{
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) Sleep(INFINITE);  // TerminateProcess on this process does not return
}

}  // namespace __gnu_cxx
