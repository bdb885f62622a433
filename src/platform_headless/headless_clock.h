// The headless platform's scripted clock: tests and tools set the time that
// platform_get_time_ms reports.
#pragma once
#include <cstdint>

void headless_set_time_ms(uint32_t ms);
void headless_advance_time_ms(uint32_t ms);
