#pragma once
// The LZ expansion functions report failures as their own negative codes; the
// failure report speaks in system error codes.

// A system error code for an LZ result below 0 (never 0).
unsigned long SystemCodeOfLzError(long lzResult);
