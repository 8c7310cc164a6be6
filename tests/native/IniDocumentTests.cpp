// IniDocument beyond what the oracle under Wine can ask: its cost on large
// and hostile files.
#include <gtest/gtest.h>

#include <ctime>
#include <functional>
#include <string>

#include "support/IniDocument.h"
#include "tests/native/Cp932.h"

#if defined(__SANITIZE_ADDRESS__)
extern "C" std::size_t __sanitizer_get_current_allocated_bytes(); // the AddressSanitizer runtime's count
#endif

namespace {

std::string Repeated(std::size_t count, const std::function<std::string(std::size_t)>& line)
{
    std::string text = "[S]\r\n";
    for (std::size_t n = 0; n < count; ++n) text += line(n);
    return text;
}

// Processor time (<chrono> does not build with our execution character set).
double SecondsToParse(const std::string& text)
{
    const std::clock_t start = std::clock();
    const IniDocument document = IniDocument::Parse(text);
    return static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
}

// Each file would take minutes with one step that grows with the lines read
// so far (a repeated key or section searched from the start, a bracket searched
// from the start of the text).
TEST(IniDocumentCost, LargeAndHostileFilesParseInLinearTime)
{
    UseCodePage932();
    const std::string tenThousand = Repeated(10000, [](std::size_t n) {
        return "File" + std::to_string(n) + "=C:\\Program Files\\App\\file" + std::to_string(n) + ".dat\r\n";
    });
    EXPECT_LT(SecondsToParse(tenThousand), 0.5);
    const IniDocument document = IniDocument::Parse(tenThousand);
    EXPECT_EQ(document.Get("s", "FILE9999"), "C:\\Program Files\\App\\file9999.dat");

    const std::string hostile[] = {
        Repeated(300000, [](std::size_t n) { return "k" + std::to_string(n) + "=v\r\n"; }),
        Repeated(300000, [](std::size_t n) { return n % 2 ? "KEY=v\r\n" : "key=v\r\n"; }),
        Repeated(300000, [](std::size_t n) { return n % 2 ? "[S]\r\n" : "[ s ]\n"; }),
        Repeated(300000, [](std::size_t) { return std::string("\x81\0", 2); }), // lone lead bytes
        "[" + std::string(3000000, ']') + "\r\n" + std::string(3000000, '='), // long lines of brackets and "="
    };
    for (const std::string& text : hostile) EXPECT_LT(SecondsToParse(text), 5.0) << text.substr(0, 20);
}

#if defined(__SANITIZE_ADDRESS__)
// Each name and value is kept once, in the form the system reads, with a few
// words per line besides.
TEST(IniDocumentCost, MemoryIsASmallMultipleOfTheFile)
{
    UseCodePage932();
    const std::string text = Repeated(200000, [](std::size_t n) {
        return "File" + std::to_string(n) + "=C:\\Program Files\\表計算\\file" + std::to_string(n) + ".dat\r\n";
    });
    const std::size_t before = __sanitizer_get_current_allocated_bytes();
    const IniDocument document = IniDocument::Parse(text);
    const std::size_t used = __sanitizer_get_current_allocated_bytes() - before;
    EXPECT_LT(used, 5 * text.size() / 2) << used << " bytes for a file of " << text.size();
}
#endif

} // namespace
