// The desktop entry's body: the window the options ask for, then the loop until the game has
// shut down. (The browser runs the same pass once per animation frame instead.)
#include "graph/g_display.h"
#include "options/options.h"
#include "platform.h"

void platform_main() {
  int32_t width = 0;
  int32_t height = 0;
  opt_window_size(&width, &height);
  g_set_hw_resolution(width, height);
  while (platform_pump()) {
  }
}
