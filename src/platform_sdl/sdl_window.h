// The SDL back end's window, shared by its window code, its pump and its entry.
#pragma once
#include <cstdint>

// Whether platform_open_window has made the window (the pump polls events only then).
bool sdl_window_exists();

// Destroys the context and the window and shuts SDL down; the entry calls it once the loop
// has ended, so that a fullscreen desktop is handed back before the process exits.
void sdl_window_teardown();

// Milliseconds since the first call from SDL's performance counter: the live clock that
// platform_get_time_ms hands to the recording hooks.
uint32_t sdl_time_ms();

