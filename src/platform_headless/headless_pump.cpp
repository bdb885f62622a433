// The headless platform's side of the main loop's pass (see headless_pump.h).
#include "platform_headless/headless_pump.h"

#include "pad/pad.h"
#include "platform.h"

static struct {
  bool down;
  int32_t x;
  int32_t y;
} headless_pointer;

void headless_set_pointer(bool down, int32_t x, int32_t y) { headless_pointer = {down, x, y}; }

void platform_take_event() {}

void platform_read_pads(pad_state*) {}

bool platform_read_pointer(int32_t* button, int32_t* x, int32_t* y) {
  *button = headless_pointer.down ? 1 : 0;
  *x = headless_pointer.x;
  *y = headless_pointer.y;
  return true;
}
