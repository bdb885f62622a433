// The live millisecond clock from the performance counter. The game reads it through the
// recording hooks (platform_get_time_ms, win32_main).
#include <windows.h>

#include "os_tools/os_desktop.h"
#include "os_tools/os_log.h"
#include "platform_win32/win32_window.h"

static struct {
  bool started;
  int64_t start;
  float factor;
} win32_time;

uint32_t win32_time_ms() {
  if (!win32_time.started) {
    LARGE_INTEGER frequency;
    const BOOL known = QueryPerformanceFrequency(&frequency);
    OS_ASSERT(known && frequency.QuadPart > 0);
    if (!known || frequency.QuadPart <= 0) return 0;  // tried again on the next call
    LARGE_INTEGER start;
    QueryPerformanceCounter(&start);
    win32_time.start = start.QuadPart;
    win32_time.factor = os_ms_factor(frequency.QuadPart);
    win32_time.started = true;
  }
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return os_ms_from_count(now.QuadPart - win32_time.start, win32_time.factor);
}
