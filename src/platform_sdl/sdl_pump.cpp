// The main loop's body on SDL: one clock pass, at most one event, one mouse sample. Never
// sleeps and never waits for events.
#include <SDL.h>

#include "graph/g_display.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "platform.h"
#include "platform_sdl/sdl_keys.h"
#include "platform_sdl/sdl_window.h"

static struct {
  // A left press taken from the queue since the last sample: a click that went down and up
  // between two samples still counts once, as Windows' "pressed since the last query" does.
  bool left_pressed;
} sdl_pump;

static void handle_event(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      os_running = 0;
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) os_running = 0;
      break;
    case SDL_KEYDOWN: {
      const uint32_t vk = sdl_key_to_vk(event.key.keysym.sym, event.key.keysym.mod);
      if (vk != 0 && sdl_key_down_reaches_game(event.key.keysym.mod)) os_key_event(vk, 1);
      break;
    }
    case SDL_KEYUP: {
      const uint32_t vk = sdl_key_to_vk(event.key.keysym.sym, event.key.keysym.mod);
      if (vk != 0) os_key_event(vk, 0);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) sdl_pump.left_pressed = true;
      break;
    default:
      break;
  }
}

bool platform_pump() {
  if (!os_frame_tick()) return false;
  if (!sdl_window_exists()) return true;

  SDL_Event event;
  if (SDL_PollEvent(&event)) handle_event(event);

  int x = 0;
  int y = 0;
  const Uint32 buttons = SDL_GetMouseState(&x, &y);
  if ((buttons & SDL_BUTTON_LMASK) || sdl_pump.left_pressed) {
    os_mouse_button(1);
  } else {
    os_mouse_button(0);
  }
  sdl_pump.left_pressed = false;
  os_set_mouse_pos(0, x);
  os_set_mouse_pos(1, y);
  return true;
}

void platform_main() {
  g_set_hw_resolution(960, 720);
  while (platform_pump()) {
  }
}
