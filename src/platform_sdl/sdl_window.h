// The SDL back end's window, shared by its window code, its pump and its entry.
#pragma once

// Whether platform_open_window has made the window (the pump polls events only then).
bool sdl_window_exists();

// Destroys the context and the window and shuts SDL down; the entry calls it once the loop
// has ended, so that a fullscreen desktop is handed back before the process exits.
void sdl_window_teardown();
