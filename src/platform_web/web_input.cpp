// The page's input between two passes of the loop: queued key events, held keys, the mouse
// and the finger that stands for it, the focus.
#include "platform_web/web_input.h"

static struct {
  web_key_event queue[WEB_INPUT_QUEUE];
  int32_t first;
  int32_t count;
  bool held[256];
  bool mouse_down;
  bool mouse_pressed;
  int32_t mouse_x;
  int32_t mouse_y;
  bool touching;     // a finger stands for the mouse; its id:
  int32_t touch_id;
  bool unfocused;
} web_input;

void web_input_reset() { web_input = {}; }

static void web_input_push(uint32_t vk, bool down) {
  if (web_input.count >= WEB_INPUT_QUEUE) return;  // cannot happen, see WEB_INPUT_QUEUE
  const int32_t at = (web_input.first + web_input.count) % WEB_INPUT_QUEUE;
  web_input.queue[at] = web_key_event{vk, down};
  web_input.count += 1;
}

void web_input_key(uint32_t vk, bool down) {
  if (vk == 0 || vk > 255) return;
  if (down && web_input.held[vk]) return;
  // A down that is not taken is forgotten whole: its key does not count as held, and its up
  // reaches the game as an up of a free key, which changes nothing.
  if (down && web_input.count >= WEB_INPUT_QUEUE / 2) return;
  web_input.held[vk] = down;
  web_input_push(vk, down);
}

bool web_input_next_key(web_key_event* out) {
  if (web_input.count == 0) return false;
  *out = web_input.queue[web_input.first];
  web_input.first = (web_input.first + 1) % WEB_INPUT_QUEUE;
  web_input.count -= 1;
  return true;
}

void web_input_focus_lost() {
  for (uint32_t vk = 1; vk < 256; ++vk)
    if (web_input.held[vk]) web_input_key(vk, false);
  web_input.mouse_down = false;
  web_input.mouse_pressed = false;
  web_input.touching = false;
  web_input.unfocused = true;
}

void web_input_focus_gained() { web_input.unfocused = false; }

bool web_input_focused() { return !web_input.unfocused; }

void web_input_mouse_button(bool down) {
  web_input.mouse_down = down;
  if (down) web_input.mouse_pressed = true;
}

void web_input_mouse_move(int32_t x, int32_t y) {
  web_input.mouse_x = x;
  web_input.mouse_y = y;
}

bool web_input_touch_start(int32_t id, int32_t x, int32_t y) {
  if (web_input.touching) return false;
  web_input.touching = true;
  web_input.touch_id = id;
  web_input_mouse_move(x, y);
  web_input_mouse_button(true);
  return true;
}

bool web_input_touch_move(int32_t id, int32_t x, int32_t y) {
  if (!web_input.touching || id != web_input.touch_id) return false;
  web_input_mouse_move(x, y);
  return true;
}

bool web_input_touch_end(int32_t id) {
  if (!web_input.touching || id != web_input.touch_id) return false;
  web_input.touching = false;
  web_input_mouse_button(false);
  return true;
}

web_mouse_sample web_input_sample_mouse() {
  const web_mouse_sample sample{web_input.mouse_down || web_input.mouse_pressed, web_input.mouse_x,
                                web_input.mouse_y};
  web_input.mouse_pressed = false;
  return sample;
}
