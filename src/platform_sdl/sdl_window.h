// The SDL back end's window, shared by its window code, its pump and its entry.
#pragma once
#include <cstdint>

// Whether platform_open_window has made the window (the pump polls events only then).
bool sdl_window_exists();

// F11: the window goes fullscreen on the desktop, or back.
void sdl_window_toggle_fullscreen();
// The size of the window's drawing area now; false without a window.
bool sdl_window_drawable_size(int32_t* width, int32_t* height);

// Destroys the context and the window and shuts SDL down; the entry calls it once the loop
// has ended, so that a fullscreen desktop is handed back before the process exits.
void sdl_window_teardown();

// Milliseconds since the first call from SDL's performance counter: the live clock that
// platform_get_time_ms hands to the recording hooks.
uint32_t sdl_time_ms();

union SDL_Event;
// Gamepads (sdl_pad.cpp): the pump passes every controller event on (controllers come and
// go), then reads the pads once per pass, merged into `merged`; the entry stops them before
// SDL shuts down. While the window is in the background SDL stops updating the pads, so the
// pump reads with focused false then and the pads count as let go (a stick held as the focus
// left would otherwise walk on).
struct pad_state;
void sdl_pad_event(const SDL_Event& event);
void sdl_pad_poll(bool focused, pad_state* merged);
void sdl_pad_stop();
// How many pads are open.
int32_t sdl_pad_count();
