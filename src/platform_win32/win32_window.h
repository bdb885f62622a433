// The Windows back end's window, shared by its window code and its message pump.
#pragma once
#include <windows.h>

// The program's window, or null before platform_open_window.
HWND win32_window_handle();

// The window procedure of "tumblerClass": keys to os_key_event, close ends the loop.
LRESULT CALLBACK platform_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
