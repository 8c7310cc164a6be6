#pragma once
// The time rule for an existing target: copy only a strictly later source.

#include <cstdint>
#include <optional>

// A file's local modification time packed as the system's 16-bit date (high
// half) and 16-bit time (low half), two-second resolution.
using PackedTime = std::uint32_t;

PackedTime PackTime(std::uint16_t dosDate, std::uint16_t dosTime);

// Whether the source's time is strictly later than the target's. The packed
// values are compared unsigned: dates from 2044 on set the top bit and would
// otherwise count as older than any other. A source whose time cannot be read
// is not later; a target whose time cannot be read is older than any source.
bool SourceIsLater(std::optional<PackedTime> source, std::optional<PackedTime> target);
