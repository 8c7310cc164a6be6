#pragma once
// The copy progress: what a measured source adds, and the bar's position.

#include <cstdint>

// What one source of `size` bytes adds to a byte counter: an empty file counts
// as one byte, so that it still moves the bar.
std::int64_t CountedSize(std::int64_t size);

// `counter` + `size`, held at the largest value instead of overflowing.
std::int64_t AddSize(std::int64_t counter, std::int64_t size);

// Percent of the bytes done, truncated; 100 once everything (or nothing) is to do.
int BytePercent(std::int64_t done, std::int64_t total);

// Percent of the entries done (entry `number` of `count`), truncated.
int EntryPercent(int number, int count);
