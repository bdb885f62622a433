// The page's input between two passes of the loop: queued key events, held keys, the mouse.
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
}

void web_input_mouse_button(bool down) {
  web_input.mouse_down = down;
  if (down) web_input.mouse_pressed = true;
}

void web_input_mouse_move(int32_t x, int32_t y) {
  web_input.mouse_x = x;
  web_input.mouse_y = y;
}

web_mouse_sample web_input_sample_mouse() {
  const web_mouse_sample sample{web_input.mouse_down || web_input.mouse_pressed, web_input.mouse_x,
                                web_input.mouse_y};
  web_input.mouse_pressed = false;
  return sample;
}
