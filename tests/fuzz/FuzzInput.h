#pragma once
// The fuzzers' input cut into fields at 0x1F (the unit separator, which no
// script or log holds on purpose), and small numbers taken from its bytes.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <algorithm>
#include <string>
#include <vector>

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : text_(reinterpret_cast<const char*>(data), size) {}

    // The next field, "" once the input is used up.
    std::string Field()
    {
        if (at_ > text_.size()) return {};
        const std::size_t end = std::min(text_.find('\x1F', at_), text_.size());
        std::string field = text_.substr(at_, end - at_);
        at_ = end + 1;
        return field;
    }

    // A number in [low, high] from the next field's first bytes.
    int Number(int low, int high)
    {
        const std::string field = Field();
        unsigned value = 0;
        for (std::size_t i = 0; i < field.size() && i < 4; ++i) value = value << 8 | static_cast<unsigned char>(field[i]);
        return low + static_cast<int>(value % static_cast<unsigned>(high - low + 1));
    }

    const std::string& Whole() const { return text_; }

private:
    std::string text_;
    std::size_t at_ = 0;
};

// A property that a fuzzer checks: a plain abort, so that both libFuzzer and
// the replay report the input.
#define FUZZ_EXPECT(condition)                                                                                      \
    do {                                                                                                            \
        if (!(condition)) {                                                                                         \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);                  \
            std::abort();                                                                                           \
        }                                                                                                           \
    } while (false)
