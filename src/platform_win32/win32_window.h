// The Windows back end's window, shared by its window code and its message pump.
#pragma once
#include <windows.h>

#include <cstdint>

// The program's window, or null before platform_open_window.
HWND win32_window_handle();

// The window procedure of "tumblerClass": keys to os_key_event, close ends the loop.
LRESULT CALLBACK platform_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

// Milliseconds since the first call from the performance counter: the live clock that
// platform_get_time_ms hands to the recording hooks.
uint32_t win32_time_ms();

// Gamepads through XInput (win32_pad.cpp): read once per pass, merged into `merged`.
struct pad_state;
void win32_pad_poll(pad_state* merged);
