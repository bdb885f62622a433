// Key counters, the mouse record and mouse steering.
#include "os_tools/os_input.h"

#include "graph/g_display.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_keymap.h"
#include "os_tools/os_log.h"

static constexpr int32_t OS_MOUSE_BUTTON_MAX = 100;
// Steering bands in framebuffer pixels (320 x 240): a quarter of the height at the top and
// bottom, a quarter of the width at the left and right.
static constexpr int32_t OS_STEER_TOP = 60;
static constexpr int32_t OS_STEER_BOTTOM = 180;
static constexpr int32_t OS_STEER_LEFT = 80;
static constexpr int32_t OS_STEER_RIGHT = 240;

static struct {
  uint16_t keys[256];
  uint8_t held;
  uint32_t last_key;
  os_mouse mouse;
  uint8_t steering;
  uint32_t button_tick;
  const g_display* display;
} os_input;

// Virtual-key code -> game key code: the key map first, then lower-case letters fold up
// (which also folds keypad 1..9, the keypad operators, F10 and F11 onto letters).
static uint32_t os_translate_key(uint32_t code) {
  int32_t count = 0;
  const uint32_t* map = platform_get_key_map(&count);
  for (int32_t k = 0; k + 1 < count; k += 2)
    if (map[k] == code) {
      code = map[k + 1];
      break;
    }
  if (code >= 0x61 && code <= 0x7A) code -= 0x20;
  return code;
}

void os_key_event(uint32_t code, int32_t down) {
  code = os_translate_key(code);
  OS_ASSERT(code < 256);
  if (code >= 256) return;
  if (down) {
    if (os_input.keys[code] != 0) return;  // auto-repeat of a held key
    os_input.held++;
    os_input.last_key = code;
    os_input.keys[code] = 1;
  } else {
    if (os_input.keys[code] == 0) return;
    os_input.held--;
    os_input.keys[code] = 0;
  }
}

int16_t os_get_key(uint32_t code) {
  OS_ASSERT(code < 256);
  if (code >= 256) return 0;
  return int16_t(os_input.keys[code]);
}

uint32_t os_get_last_key() { return os_input.last_key; }
void os_set_last_key(uint32_t code) { os_input.last_key = code; }
uint8_t os_keys_held() { return os_input.held; }
os_mouse* os_get_mouse() { return &os_input.mouse; }

void os_age_keys() {
  if (os_input.held == 0) return;
  for (uint16_t& key : os_input.keys) {
    if (key == 0) continue;
    key++;
    if (key == 255) key = 1;
  }
}

void os_clear_input() {
  for (uint16_t& key : os_input.keys) key = 0;
  os_input.mouse = os_mouse{};
}

void os_release_input() {
  for (uint16_t& key : os_input.keys) key = 0;
  os_input.held = 0;
  os_input.mouse.button[0] = 0;
}

void os_input_restart() { os_input = {}; }

void os_set_input_display(const g_display* display) { os_input.display = display; }

void os_mouse_button(int32_t amount) {
  int32_t& button = os_input.mouse.button[0];
  if (amount == 0) {
    button = 0;
    return;
  }
  if (button < OS_MOUSE_BUTTON_MAX && os_tick_count() != os_input.button_tick) {
    button += amount;
    os_input.button_tick = os_tick_count();
  }
}

// floor(a / b) for b > 0.
static int32_t os_floor_div(int64_t a, int64_t b) { return int32_t(a >= 0 ? a / b : -((-a + b - 1) / b)); }

// The pointer maps onto the picture as the presenter places it: the scale's share of the
// window, centred, in whole window pixels. In a window of the picture's own shape (the
// default 960 x 720) that is the whole client area; a point on a bar lies outside the
// framebuffer. The products are formed in 64 bits so a pointer far outside cannot overflow.
static int32_t os_window_to_picture(int32_t value, int32_t window, float scale, int32_t fb) {
  const int64_t picture = int64_t(double(window) * double(scale) + 0.5);
  if (picture < 1) return 0;
  const int64_t start = (window - picture) / 2;
  return os_floor_div((int64_t(value) - start) * fb, picture);
}

void os_set_mouse_pos(int32_t axis, int32_t value) {
  const g_display* d = os_input.display;
  if (!d) return;
  if (axis == 0 && d->window_width > 0)
    os_input.mouse.x[0] = os_window_to_picture(value, d->window_width, d->x_scale, d->fb_width);
  else if (axis == 1 && d->window_height > 0)
    os_input.mouse.y[0] = os_window_to_picture(value, d->window_height, d->y_scale, d->fb_height);
}

static void os_press_release(uint32_t press, uint32_t r1, uint32_t r2, uint32_t r3) {
  os_key_event(press, 1);
  os_key_event(r1, 0);
  os_key_event(r2, 0);
  os_key_event(r3, 0);
}

void os_mouse_to_keys() {
  int32_t idle = 0;
  for (int32_t slot = 0; slot < 2; ++slot) {
    const os_mouse& m = os_input.mouse;
    if (m.button[slot] == 0) {
      idle++;
      continue;
    }
    os_input.steering = 1;
    // The vertical bands win: a press in a corner steers up or down.
    if (m.y[slot] < OS_STEER_TOP)
      os_press_release(OS_KEY_UP, OS_KEY_DOWN, OS_KEY_RIGHT, OS_KEY_LEFT);
    else if (m.y[slot] > OS_STEER_BOTTOM)
      os_press_release(OS_KEY_DOWN, OS_KEY_UP, OS_KEY_RIGHT, OS_KEY_LEFT);
    else if (m.x[slot] < OS_STEER_LEFT)
      os_press_release(OS_KEY_LEFT, OS_KEY_RIGHT, OS_KEY_UP, OS_KEY_DOWN);
    else if (m.x[slot] > OS_STEER_RIGHT)
      os_press_release(OS_KEY_RIGHT, OS_KEY_LEFT, OS_KEY_UP, OS_KEY_DOWN);
  }
  if (idle == 2 && os_input.steering) {
    os_key_event(OS_KEY_LEFT, 0);
    os_key_event(OS_KEY_RIGHT, 0);
    os_key_event(OS_KEY_UP, 0);
    os_key_event(OS_KEY_DOWN, 0);
    os_input.steering = 0;
  }
}
