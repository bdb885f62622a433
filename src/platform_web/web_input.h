// What the page's key, mouse, touch and focus events leave for the main loop. The browser calls its
// handlers between two passes of the loop; they are kept here in arrival order and the pump
// hands on at most one key event per pass, as the Windows pump takes one message, so a key
// that goes down and up between two frames is still seen down for a tick. Plain code, no
// browser headers: tested on the desktop too. Main thread only.
#pragma once
#include <cstdint>

// Downs are taken only while the queue is at most half full; every key held then has at most
// one up still to come, and 255 keys fit in the other half, so an up is never lost.
enum : int32_t { WEB_INPUT_QUEUE = 512 };

struct web_key_event {
  uint32_t vk;
  bool down;
};

// Forgets every queued event, held key and mouse state.
void web_input_reset();

// A key went down or up. A down for a key already held (the browser's auto-repeat) changes
// nothing and is not queued; nor is a down while the queue is half full.
void web_input_key(uint32_t vk, bool down);

// The oldest queued key event; false when none is waiting.
bool web_input_next_key(web_key_event* out);

// Focus went elsewhere (another window, another tab): every held key goes up, the mouse
// button (and a finger standing for it) is let go and the pads count as let go, so that
// nothing stays pressed while the game cannot see the release.
void web_input_focus_lost();
// Focus came back: the pads are read again.
void web_input_focus_gained();
// Whether the page has the focus (the pads are read only then).
bool web_input_focused();

// The left mouse button went down or up; the pointer moved (window pixels, may lie outside).
void web_input_mouse_button(bool down);
void web_input_mouse_move(int32_t x, int32_t y);

// Touches are the mouse: the first finger on the canvas presses the button where it lands,
// moves the pointer as it slides and lets go as it lifts; other fingers meanwhile change
// nothing. Each returns whether the touch is the one standing for the mouse.
bool web_input_touch_start(int32_t id, int32_t x, int32_t y);
bool web_input_touch_move(int32_t id, int32_t x, int32_t y);
bool web_input_touch_end(int32_t id);

// One mouse sample for the pass: whether the button counts as held (down now, or pressed
// since the last sample, like Windows' "pressed since the last query") and the position.
// Clears the pressed-since mark.
struct web_mouse_sample {
  bool held;
  int32_t x;
  int32_t y;
};
web_mouse_sample web_input_sample_mouse();
