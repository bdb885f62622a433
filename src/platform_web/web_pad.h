// Gamepads in the browser: the page reads navigator.getGamepads() once per pass, one reading
// per pad, and each reading becomes a pad_state for the mapping every back end shares
// (pad/pad.h). Plain code, no browser headers: tested on the desktop too.
#pragma once
#include <cstdint>

#include "pad/pad.h"

// Buttons by the Gamepad API's standard mapping (bit i: buttons[i].pressed).
enum : uint32_t {
  WEB_PAD_A = 1u << 0,
  WEB_PAD_B = 1u << 1,
  WEB_PAD_X = 1u << 2,
  WEB_PAD_Y = 1u << 3,
  WEB_PAD_BACK = 1u << 8,
  WEB_PAD_START = 1u << 9,
  WEB_PAD_UP = 1u << 12,
  WEB_PAD_DOWN = 1u << 13,
  WEB_PAD_LEFT = 1u << 14,
  WEB_PAD_RIGHT = 1u << 15,
};

// One pad as the page read it: its pressed buttons and the left stick (axes 0 and 1, -1 .. 1,
// y growing downwards).
struct web_pad_reading {
  uint32_t pressed;
  double axis_x;
  double axis_y;
};

// The reading as the pad mapping takes it: the buttons it knows, the stick in SDL's axis
// units (-32768 .. 32767), so the dead zone is the desktop's. An axis that is not a number
// counts as the middle.
pad_state web_pad_state(const web_pad_reading& reading);
