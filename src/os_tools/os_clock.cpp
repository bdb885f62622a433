// The game clock: 16-bit millisecond steps, the frame-rate report, key ageing, and the
// game's start and stop.
#include "os_tools/os_clock.h"

#include "graph/g_display.h"
#include "os_tools/os_input.h"
#include "os_tools/os_log.h"
#include "platform.h"

int32_t os_running = 1;

// Longest step that still reaches the game; a longer gap resynchronises instead.
static constexpr int32_t OS_CLOCK_MAX_STEP_MS = 1000;
static constexpr uint32_t OS_CLOCK_REPORT_MS = 1000;
static constexpr int32_t OS_CLOCK_SPEED_REPORTS = 20;

static struct {
  int32_t frames = -1;  // -1 until the game is initialised, then ticks since the last report
  uint32_t ticks;
  uint16_t now;
  uint16_t last;
  uint32_t elapsed_ms;
  uint32_t next_report_ms;
  int32_t report_sum;
  int32_t report_count;
} os_clock;

static uint16_t os_clock_sample() { return uint16_t(platform_get_time_ms() & 0xFFFFu); }

void os_clock_restart() {
  os_clock = {};
  os_running = 1;
}

uint32_t os_tick_count() { return os_clock.ticks; }

void os_quit() { os_running = 0; }

void os_reset_input() {
  os_clear_input();
  os_clock.elapsed_ms = 0;
  os_clock.frames = 0;
  os_set_input_display(g_get_display());
}

// Logs the ticks of the last report period; every 21st report also logs the speed value.
static void os_clock_report() {
  os_log("FPS:%d (%d)\n", os_clock.frames, int(os_clock.elapsed_ms));
  os_clock.report_sum += os_clock.frames;
  os_clock.next_report_ms = os_clock.elapsed_ms + OS_CLOCK_REPORT_MS;
  os_clock.report_count++;
  if (os_clock.report_count > OS_CLOCK_SPEED_REPORTS) {
    os_log("SPEED DEBUG VALUE:%d\n", os_clock.report_sum / OS_CLOCK_SPEED_REPORTS);
    os_clock.report_count = 0;
    os_clock.report_sum = 0;
  }
  os_clock.frames = 0;
}

bool os_frame_tick() {
  os_clock.now = os_clock_sample();

  if (os_clock.frames < 0) {
    game_init();
    os_reset_input();
    os_clock.now = os_clock_sample();  // the time game_init took is not a step
    os_clock.last = os_clock.now;
    return os_running != 0;
  }

  // Differences on the zero-extended 16-bit values: the clock wraps every 65,536 ms.
  int32_t now = os_clock.now;
  if (now - OS_CLOCK_MAX_STEP_MS > int32_t(os_clock.last)) {
    os_log("too slow: fix time\n");
    os_clock.last = os_clock.now;
  }
  int32_t delta = now - int32_t(os_clock.last);
  if (delta < 0) {
    os_log("fix time:0x%X -> 0x%X\n", unsigned(os_clock.last), unsigned(os_clock.now));
    delta = 0;
    os_clock.last = os_clock.now;
  }
  if (delta == 0) return true;  // not even os_running is looked at until the next step

  os_clock.elapsed_ms += uint32_t(delta);
  os_clock.ticks++;
  game_tick(float((long double)delta * 0.001L));

  os_clock.frames++;
  if (os_clock.elapsed_ms >= os_clock.next_report_ms) os_clock_report();

  os_age_keys();
  os_clock.last = os_clock.now;  // time spent inside the tick belongs to the next step

  if (os_running == 0) {
    game_shutdown();
    g_deinit_display();
  }
  return os_running != 0;
}
