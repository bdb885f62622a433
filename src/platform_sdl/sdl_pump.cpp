// What SDL supplies to the main loop's pass (loop/loop_pass.cpp): one event, the pads, the
// pointer, and the clock. Never sleeps and never waits for events. What the game reads goes
// through the recording hooks, which hand it straight on unless a session is being recorded
// or played.
#include <SDL.h>

#include "graph/g_display.h"
#include "platform.h"
#include "record/record.h"
#include "platform_sdl/sdl_keys.h"
#include "platform_sdl/sdl_window.h"

static struct {
  // A left press taken from the queue since the last sample: a click that went down and up
  // between two samples still counts once, as Windows' "pressed since the last query" does.
  bool left_pressed;
  // The window lost the input focus and has not had it back (SDL sends the keyboard's key-ups
  // itself, but leaves the pads as they were).
  bool focus_lost;
} sdl_pump;

// The window's drawing area changed size: the presenter fits the picture again.
static void window_resized() {
  int32_t width = 0;
  int32_t height = 0;
  if (!sdl_window_drawable_size(&width, &height)) return;
  const g_display* display = g_get_display();
  if (width == display->window_width && height == display->window_height) return;
  g_resize_display(width, height);
}

static void handle_event(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      rec_quit();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_CLOSE) rec_quit();
      if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) window_resized();
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) sdl_pump.focus_lost = true;
      if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) sdl_pump.focus_lost = false;
      break;
    case SDL_KEYDOWN: {
      if (event.key.keysym.sym == SDLK_F11) {  // the window's own key: the game never sees it
        if (!event.key.repeat) sdl_window_toggle_fullscreen();
        break;
      }
      const uint32_t vk = sdl_key_to_vk(event.key.keysym.sym, event.key.keysym.mod);
      if (vk != 0 && sdl_key_down_reaches_game(event.key.keysym.mod)) rec_key(vk, 1);
      break;
    }
    case SDL_KEYUP: {
      if (event.key.keysym.sym == SDLK_F11) break;
      const uint32_t vk = sdl_key_to_vk(event.key.keysym.sym, event.key.keysym.mod);
      if (vk != 0) rec_key(vk, 0);
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (event.button.button == SDL_BUTTON_LEFT) sdl_pump.left_pressed = true;
      break;
    case SDL_CONTROLLERDEVICEADDED:
    case SDL_CONTROLLERDEVICEREMOVED:
      sdl_pad_event(event);
      break;
    default:
      break;
  }
}

uint32_t platform_get_time_ms() { return rec_clock(sdl_time_ms); }

void platform_take_event() {
  if (!sdl_window_exists()) return;
  SDL_Event event;
  if (SDL_PollEvent(&event)) handle_event(event);
}

void platform_read_pads(pad_state* merged) {
  if (sdl_window_exists()) sdl_pad_poll(!sdl_pump.focus_lost, merged);
}

bool platform_read_pointer(int32_t* button, int32_t* x, int32_t* y) {
  if (!sdl_window_exists()) return false;
  int mouse_x = 0;
  int mouse_y = 0;
  const Uint32 buttons = SDL_GetMouseState(&mouse_x, &mouse_y);
  *button = (buttons & SDL_BUTTON_LMASK) || sdl_pump.left_pressed ? 1 : 0;
  sdl_pump.left_pressed = false;
  *x = mouse_x;
  *y = mouse_y;
  return true;
}
