// One pass of the main loop, the same on every back end: the clock and the game, the
// recording's frame, then the input the next tick will see. A back end supplies only what is
// its own: one event, its pads, its pointer (platform.h).
#include "os_tools/os_clock.h"
#include "pad/pad.h"
#include "platform.h"
#include "record/record.h"

bool platform_pump() {
  if (!os_frame_tick()) return false;
  rec_pass();
  platform_take_event();
  pad_state pads = {0, 0, 0};
  platform_read_pads(&pads);
  pad_update(&pads, rec_key);
  int32_t button = 0;
  int32_t x = 0;
  int32_t y = 0;
  if (platform_read_pointer(&button, &x, &y)) rec_mouse(button, x, y);
  return true;
}
