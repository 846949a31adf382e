// The high-resolution clock: a monotonic tick counter and its frequency.
#pragma once
#include <cstdint>

// Ticks per second of clockCounter(); constant for the whole run.
int64_t clockFrequency();

// The current tick count. Differences between two readings are exact in
// 64-bit integers; divide by clockFrequency() for seconds.
int64_t clockCounter();
