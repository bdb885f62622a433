// pad: a gamepad as the keyboard. A back end reads its pads (SDL game controllers, XInput)
// into one pad_state per pass; pad_update compares it with the keys the pads hold and hands
// the changes on as key events with virtual-key codes, the way the keyboard's arrive:
//   d-pad or left stick (past the dead zone)  ->  the arrow keys
//   A, B, X, Y, Start                          ->  Space (leaves the title)
//   Back                                       ->  Escape
// So the rules see a pad exactly as they see the keyboard. Main thread only.
#pragma once
#include <cstdint>

// The left stick's dead zone, in the axis units of both SDL and XInput (-32768..32767).
constexpr int32_t PAD_DEAD_ZONE = 8000;

enum : uint32_t {
  PAD_UP = 1u << 0,  // d-pad
  PAD_DOWN = 1u << 1,
  PAD_LEFT = 1u << 2,
  PAD_RIGHT = 1u << 3,
  PAD_A = 1u << 4,
  PAD_B = 1u << 5,
  PAD_X = 1u << 6,
  PAD_Y = 1u << 7,
  PAD_START = 1u << 8,
  PAD_BACK = 1u << 9,
};

// Every pad the back end has, merged: buttons held on any, and the stick that is pushed
// furthest. stick_y grows downwards (SDL's way; XInput's is turned over by its back end).
struct pad_state {
  uint32_t buttons;
  int32_t stick_x;
  int32_t stick_y;
};

// Where the key events go (the back end passes its recording hook, rec_key).
typedef void (*pad_key_sink)(uint32_t vk, int32_t down);

// Sends a key down for every key the state holds that the pads did not hold before, and a
// key up for every one they let go. A state of all zeros (no pad, or the last one gone)
// releases everything.
void pad_update(const pad_state* state, pad_key_sink sink);

// Merges one pad into a state being built (buttons or'ed, the stick pushed further kept).
void pad_merge(pad_state* into, const pad_state* pad);

// Test seam: no key held by the pads.
void pad_restart();
