// Scripted time source for the headless platform.
#include "platform_headless/headless_clock.h"

#include "platform.h"

static struct {
  uint32_t now_ms;
  uint32_t (*source)();
} headless_clock;

void headless_set_time_ms(uint32_t ms) { headless_clock.now_ms = ms; }
void headless_advance_time_ms(uint32_t ms) { headless_clock.now_ms += ms; }
uint32_t headless_time_ms() { return headless_clock.now_ms; }
void headless_set_clock_source(uint32_t (*source)()) { headless_clock.source = source; }
uint32_t platform_get_time_ms() { return headless_clock.source ? headless_clock.source() : headless_clock.now_ms; }
