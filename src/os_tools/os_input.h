// os_input: the keyboard and mouse state the game reads each tick. Keys arrive as platform
// key codes, are translated through the key map into game key codes and kept as per-key
// counters (0 up, 1 on the first tick down, then counting; the clock ages them). The mouse
// is held in framebuffer pixels. Main thread only.
#pragma once
#include <cstdint>

// Game key codes of the arrows (other keys: their virtual-key code, letters upper case).
constexpr uint32_t OS_KEY_LEFT = 1;
constexpr uint32_t OS_KEY_RIGHT = 2;
constexpr uint32_t OS_KEY_UP = 3;
constexpr uint32_t OS_KEY_DOWN = 4;
constexpr uint32_t OS_KEY_ESCAPE = 0x1B;

// A key went down (down non-zero) or up. code is a virtual-key code (0..255).
void os_key_event(uint32_t code, int32_t down);
// The counter of a game key code (asserts code < 256; 0 beyond it).
int16_t os_get_key(uint32_t code);
// The game key code that last went down; never cleared here.
uint32_t os_get_last_key();
void os_set_last_key(uint32_t code);

// Three pointer slots; only slot 0 is fed. button: ticks the left button has been held
// (0 up, at most 100); x, y in framebuffer pixels.
struct os_mouse {
  int32_t button[3];
  int32_t x[3];
  int32_t y[3];
};
os_mouse* os_get_mouse();

// 0 releases the button; otherwise advances slot 0's counter by amount, at most once per
// tick and not past 100.
void os_mouse_button(int32_t amount);
// Stores a window-client coordinate as framebuffer pixels of the picture between its bars
// (axis 0 = x, 1 = y; a point on a bar lies outside 0..319 x 0..239); skipped while no
// display description with a window size is cached.
void os_set_mouse_pos(int32_t axis, int32_t value);
// Mouse steering by screen region with a held button (slots 0 and 1): top and bottom bands
// press up / down, left and right bands press left / right; all four released when idle.
void os_mouse_to_keys();
// Number of keys whose counter is non-zero.
uint8_t os_keys_held();
// The window lost the keyboard focus: keys let go in another window never send their key-up
// here, so every held key and the mouse button are let go now (the last key stays).
void os_release_input();

// --- used by os_clock ---------------------------------------------------------------------
// One tick of key ageing: every non-zero counter + 1, 255 wraps to 1 (skipped with no key held).
void os_age_keys();
// Zeroes the key table and the mouse record (keys held, last key, steering flag and the
// mouse-button tick stay).
void os_clear_input();
struct g_display;
// The display description used for mouse scaling (null: scaling skipped).
void os_set_input_display(const g_display* display);
// Test seam: every piece of input state as at program start.
void os_input_restart();
