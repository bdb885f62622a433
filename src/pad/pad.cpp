// A gamepad as the keyboard (see pad.h).
#include "pad/pad.h"

// Virtual-key codes of the keys a pad stands for, in the order of PAD_KEYS.
enum : uint32_t { PAD_VK_SPACE = 0x20, PAD_VK_ESCAPE = 0x1B };
enum : int32_t { PAD_KEY_COUNT = 6 };
static const uint32_t PAD_KEYS[PAD_KEY_COUNT] = {0x25, 0x27, 0x26, 0x28, PAD_VK_SPACE, PAD_VK_ESCAPE};

static struct {
  bool held[PAD_KEY_COUNT];  // what the pads hold now, in PAD_KEYS order
} pad;

void pad_restart() { pad = {}; }

static int32_t pad_magnitude(int32_t v) { return v < 0 ? -v : v; }

void pad_merge(pad_state* into, const pad_state* one) {
  into->buttons |= one->buttons;
  if (pad_magnitude(one->stick_x) > pad_magnitude(into->stick_x)) into->stick_x = one->stick_x;
  if (pad_magnitude(one->stick_y) > pad_magnitude(into->stick_y)) into->stick_y = one->stick_y;
}

void pad_update(const pad_state* state, pad_key_sink sink) {
  const uint32_t b = state->buttons;
  const bool want[PAD_KEY_COUNT] = {
      (b & PAD_LEFT) != 0 || state->stick_x < -PAD_DEAD_ZONE,
      (b & PAD_RIGHT) != 0 || state->stick_x > PAD_DEAD_ZONE,
      (b & PAD_UP) != 0 || state->stick_y < -PAD_DEAD_ZONE,
      (b & PAD_DOWN) != 0 || state->stick_y > PAD_DEAD_ZONE,
      (b & (PAD_A | PAD_B | PAD_X | PAD_Y | PAD_START)) != 0,
      (b & PAD_BACK) != 0,
  };
  for (int32_t k = 0; k < PAD_KEY_COUNT; ++k) {
    if (want[k] == pad.held[k]) continue;
    pad.held[k] = want[k];
    sink(PAD_KEYS[k], want[k] ? 1 : 0);
  }
}
