// Small runtime services: random numbers, the table sine, and the string routines whose
// exact semantics the level parser, the file store and the image loader rely on.
#pragma once
#include <cstdint>

// seed = seed * 263 + 71, then the millisecond clock and the call count are mixed in.
// The first value is always 14536. Main thread only.
uint32_t os_rand();
// Test seam: the random numbers as at program start (a played-back recording needs them so).
void os_rand_restart();

// Table sine with 1023 steps per 2π (period 2π·1024/1023); safe from any thread.
float os_sin(float angle);
float os_cos(float angle);

int32_t os_strlen(const char* text);                      // capped at 1024
int32_t os_strcmp(const char* first, const char* second);  // 0 when first equals or leads second
int32_t os_streq(const char* first, const char* second);   // 1 when equal
const char* os_str_suffix(const char* text, const char* suffix);  // suffix at text's end, or null

// 64-bit FNV-1a, one byte at a time: h = os_fnv1a(h, byte) from OS_FNV1A_START. The frame
// checksums and the recordings' level checksum.
constexpr uint64_t OS_FNV1A_START = 1469598103934665603ull;
constexpr uint64_t os_fnv1a(uint64_t h, uint8_t byte) { return (h ^ byte) * 1099511628211ull; }

// The sine table itself (512 entries, one cycle, built with 3.14 for π).
extern const int16_t os_sine_table[512];
