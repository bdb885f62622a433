// The headless platform's scripted clock: tests and tools set the time that
// platform_get_time_ms reports.
#pragma once
#include <cstdint>

void headless_set_time_ms(uint32_t ms);
void headless_advance_time_ms(uint32_t ms);
// The scripted time itself.
uint32_t headless_time_ms();
// Makes platform_get_time_ms read source() instead of the scripted time (null: back to it);
// the recording player reads the clock through the recording this way.
void headless_set_clock_source(uint32_t (*source)());
