// Just enough of the game for the back ends' tests to link against the real clock and input
// code: hooks that do nothing and a fixed 320 x 240 display in a 960 x 720 window.
#include "graph/g_display.h"
#include "os_tools/os_clock.h"
#include "platform.h"
#include "platform_sdl/sdl_window.h"

static g_display stub_display = {320, 240, 512, 256, 960, 720, 1.0f, 1.0f, 1, 0, 0};

void game_init() {}
void game_tick(float) {}
void game_shutdown() {}
g_display* g_get_display() { return &stub_display; }
void g_deinit_display() {}
void g_set_hw_resolution(int32_t, int32_t) {}
// The live clock straight, without the recording hooks of the pump.
uint32_t platform_get_time_ms() { return sdl_time_ms(); }
