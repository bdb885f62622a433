// The live millisecond clock from SDL's performance counter, with the Windows clock's
// arithmetic (os_desktop). The game reads it through the recording hooks
// (platform_get_time_ms, sdl_pump).
#include <SDL.h>

#include "os_tools/os_desktop.h"
#include "os_tools/os_log.h"
#include "platform_sdl/sdl_window.h"

static struct {
  bool started;
  int64_t start;
  float factor;
} sdl_time;

uint32_t sdl_time_ms() {
  if (!sdl_time.started) {
    const int64_t frequency = static_cast<int64_t>(SDL_GetPerformanceFrequency());
    OS_ASSERT(frequency > 0);
    if (frequency <= 0) return 0;  // tried again on the next call
    sdl_time.start = static_cast<int64_t>(SDL_GetPerformanceCounter());
    sdl_time.factor = os_ms_factor(frequency);
    sdl_time.started = true;
  }
  const int64_t now = static_cast<int64_t>(SDL_GetPerformanceCounter());
  return os_ms_from_count(now - sdl_time.start, sdl_time.factor);
}
