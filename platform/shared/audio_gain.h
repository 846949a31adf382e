// Volumes in hundredths of a decibel as linear gains, for the backends whose
// sound takes a gain (not a public header: only platform/ and its tests
// include it).
#pragma once
#include <cstdint>

// The linear gain that a volume in hundredths of a decibel stands for:
// 10^(centibels / 2000), with -10000 and below exactly 0 and 0 and above 1.
float audioGainFromCentibels(int32_t centibels);
