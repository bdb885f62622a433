// os_clock: the game clock. One pass of os_frame_tick per pass of the main loop; the game
// advances once for every pass in which at least one millisecond has gone by, with the
// measured step. The clock also runs the game's initialisation (first pass) and shutdown.
// Main thread only.
#pragma once
#include <cstdint>

// Non-zero while the program runs; cleared by os_quit, a quit message, or the game itself.
extern int32_t os_running;

// One pass of the clock. First pass: game_init, then os_reset_input, no tick. Later passes:
// one game_tick when the 16-bit millisecond clock moved on; after the tick, key ageing;
// when os_running is 0 after a tick, game_shutdown and g_deinit_display, and false.
bool os_frame_tick();

// Clears the key table and the mouse record, the elapsed time and the frame counter, and
// caches the display description for mouse scaling.
void os_reset_input();

// Asks the program to stop: the next pass with a step still ticks once, then shuts down.
void os_quit();

// Ticks since start (never reset); the mouse-button counter advances once per value.
uint32_t os_tick_count();

// Test seam: the clock as at program start (not initialised, counters 0, os_running 1).
void os_clock_restart();

// The game's hooks, supplied by the game module.
void game_init();
void game_tick(float dt);
void game_shutdown();
