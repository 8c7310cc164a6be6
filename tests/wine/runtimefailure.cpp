// Gives the C++ runtime a request it must refuse, linked with the program's own
// ending for that case (app/RuntimeFailure.cpp): "length" asks a string for more
// than its maximum size, "memory" asks operator new for more than any heap has.
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 2) return 1;
    // The size comes from outside, so the compiler cannot fold the request away.
    const std::size_t huge = std::strtoull("18446744073709551615", nullptr, 10) - std::strlen(argv[1]);
    if (std::strcmp(argv[1], "length") == 0) {
        std::string text;
        text.reserve(static_cast<std::size_t>(huge));
    } else if (std::strcmp(argv[1], "memory") == 0) {
        ::operator delete(::operator new(static_cast<std::size_t>(huge)));
    }
    return 0;  // the runtime did not refuse: the test fails on this code
}
