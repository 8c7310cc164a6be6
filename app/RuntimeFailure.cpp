// How the program ends when the C++ runtime gives up: at once, with exit code 3.
//
// The program catches no exception, so whatever the standard library would throw
// (memory exhausted, a length beyond its limits) could only end in the terminate
// handler. Ending the process right at the library's throw helpers says the same
// without linking the unwinder, the exception classes and the default terminate
// handler with its demangler and printf (164 KB of the program as measured).
// Each helper is defined here, so the library object that holds them is never
// linked; should a later library need one more, the link fails with a duplicate
// symbol rather than growing quietly.
#include <windows.h>

#include <cstdlib>
#include <exception>

namespace {

[[noreturn]] void EndProgram()
{
    TerminateProcess(GetCurrentProcess(), 3);
    for (;;) Sleep(INFINITE);  // TerminateProcess on this process does not return
}

}  // namespace

namespace __gnu_cxx {
void __verbose_terminate_handler() { EndProgram(); }
}  // namespace __gnu_cxx

namespace std {
void __throw_bad_exception() { EndProgram(); }
void __throw_bad_alloc() { EndProgram(); }
void __throw_bad_array_new_length() { EndProgram(); }
void __throw_bad_cast() { EndProgram(); }
void __throw_bad_typeid() { EndProgram(); }
void __throw_bad_function_call() { EndProgram(); }
void __throw_logic_error(const char*) { EndProgram(); }
void __throw_domain_error(const char*) { EndProgram(); }
void __throw_invalid_argument(const char*) { EndProgram(); }
void __throw_length_error(const char*) { EndProgram(); }
void __throw_out_of_range(const char*) { EndProgram(); }
void __throw_out_of_range_fmt(const char*, ...) { EndProgram(); }
void __throw_runtime_error(const char*) { EndProgram(); }
void __throw_range_error(const char*) { EndProgram(); }
void __throw_overflow_error(const char*) { EndProgram(); }
void __throw_underflow_error(const char*) { EndProgram(); }
}  // namespace std

// The library's operator new throws bad_alloc, which would link the unwinder
// back in (46 KB of the program as measured): ours ends the program instead.
void* operator new(std::size_t size)
{
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    EndProgram();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
