// The browser entry and what the browser supplies to the main loop's pass
// (loop/loop_pass.cpp). The page calls main once the start question is answered, with the
// options it wants (--record FILE for every session, in the in-memory file system, or
// --play FILE with the answer); the loop then runs one pass per animation frame, because a
// page must give the browser back its thread between frames. Each pass is the desktop's: the
// clock and the game, the recording's frame, then the sound blocks the browser has played
// and at most one key event, the pads (web_gamepad.cpp), one mouse sample. A playback runs
// as many passes a frame as its recording made meanwhile. Touches on the canvas are the
// mouse; the page's on-screen pad hands its keys in as the keyboard's.
#include <emscripten.h>
#include <emscripten/html5.h>

#include "graph/g_display.h"
#include "options/options.h"
#include "platform.h"
#include "platform_web/web_input.h"
#include "platform_web/web_keys.h"
#include "platform_web/web_page.h"
#include "record/record.h"

static const char* const WEB_CANVAS = "#canvas";

static EM_BOOL on_key(int type, const EmscriptenKeyboardEvent* event, void*) {
  const uint32_t vk = web_key_to_vk(event->code, event->key);
  if (vk == 0) return EM_FALSE;
  const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
  if (down && !web_key_down_reaches_game(event->altKey)) return EM_FALSE;
  if (down) web_input_focus_gained();
  web_input_key(vk, down);
  return web_key_claimed(vk, event->ctrlKey, event->metaKey) ? EM_TRUE : EM_FALSE;
}

// Pointer positions are followed over the whole page (steering goes on while the pointer
// leaves the canvas), but only a press on the canvas counts, and a release anywhere.
static EM_BOOL on_mouse(int type, const EmscriptenMouseEvent* event, void*) {
  int32_t x = 0;
  int32_t y = 0;
  web_page_canvas_point(double(event->clientX), double(event->clientY), &x, &y);
  web_input_mouse_move(x, y);
  if (event->button != 0) return EM_FALSE;
  if (type == EMSCRIPTEN_EVENT_MOUSEDOWN) {
    web_input_focus_gained();
    web_input_mouse_button(true);
    return EM_TRUE;  // no text selection or drag starts on the canvas
  }
  if (type == EMSCRIPTEN_EVENT_MOUSEUP) web_input_mouse_button(false);
  return EM_FALSE;
}

// Fingers on the canvas: the first one is the mouse (web_input). The browser's own gestures
// (scrolling, zooming, the mouse events it would make of a tap) are kept from starting here.
static EM_BOOL on_touch(int type, const EmscriptenTouchEvent* event, void*) {
  for (int i = 0; i < event->numTouches; ++i) {
    const EmscriptenTouchPoint& touch = event->touches[i];
    if (!touch.isChanged) continue;
    const int32_t id = int32_t(touch.identifier);
    int32_t x = 0;
    int32_t y = 0;
    web_page_canvas_point(double(touch.clientX), double(touch.clientY), &x, &y);
    if (type == EMSCRIPTEN_EVENT_TOUCHSTART) {
      web_input_focus_gained();
      web_input_touch_start(id, x, y);
    } else if (type == EMSCRIPTEN_EVENT_TOUCHMOVE) {
      web_input_touch_move(id, x, y);
    } else {
      web_input_touch_end(id);
    }
  }
  return EM_TRUE;
}

static EM_BOOL on_blur(int, const EmscriptenFocusEvent*, void*) {
  web_input_focus_lost();
  return EM_FALSE;
}

static EM_BOOL on_focus(int, const EmscriptenFocusEvent*, void*) {
  web_input_focus_gained();
  return EM_FALSE;
}

static EM_BOOL on_visibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
  if (event->hidden)
    web_input_focus_lost();
  else
    web_input_focus_gained();
  return EM_FALSE;
}

// A key of the page's on-screen pad (site/tumbler_page.js), taken as the keyboard's.
extern "C" EMSCRIPTEN_KEEPALIVE void web_page_key(int vk, int down) {
  if (down) web_input_focus_gained();
  web_input_key(uint32_t(vk), down != 0);
}

// Registers (listening) or removes (not listening) every handler of the game.
static void web_listen(bool listening) {
  const char* const window = EMSCRIPTEN_EVENT_TARGET_WINDOW;
  em_key_callback_func key = listening ? on_key : nullptr;
  em_mouse_callback_func mouse = listening ? on_mouse : nullptr;
  emscripten_set_keydown_callback(window, nullptr, EM_TRUE, key);
  emscripten_set_keyup_callback(window, nullptr, EM_TRUE, key);
  emscripten_set_mousedown_callback(WEB_CANVAS, nullptr, EM_TRUE, mouse);
  emscripten_set_mouseup_callback(window, nullptr, EM_TRUE, mouse);
  emscripten_set_mousemove_callback(window, nullptr, EM_TRUE, mouse);
  em_touch_callback_func touch = listening ? on_touch : nullptr;
  emscripten_set_touchstart_callback(WEB_CANVAS, nullptr, EM_TRUE, touch);
  emscripten_set_touchmove_callback(WEB_CANVAS, nullptr, EM_TRUE, touch);
  emscripten_set_touchend_callback(WEB_CANVAS, nullptr, EM_TRUE, touch);
  emscripten_set_touchcancel_callback(WEB_CANVAS, nullptr, EM_TRUE, touch);
  emscripten_set_blur_callback(window, nullptr, EM_TRUE, listening ? on_blur : nullptr);
  emscripten_set_focus_callback(window, nullptr, EM_TRUE, listening ? on_focus : nullptr);
  emscripten_set_visibilitychange_callback(nullptr, EM_TRUE, listening ? on_visibility : nullptr);
}

void platform_take_event() {
  web_window_follow_canvas();
  web_audio_pump();
  web_key_event event;
  if (web_input_next_key(&event)) rec_key(event.vk, event.down ? 1 : 0);
}

bool platform_read_pointer(int32_t* button, int32_t* x, int32_t* y) {
  const web_mouse_sample mouse = web_input_sample_mouse();
  *button = mouse.held ? 1 : 0;
  *x = mouse.x;
  *y = mouse.y;
  return true;
}

// The longest a frame's passes of a playback may take: the page stays responsive while the
// playback catches up.
static constexpr double WEB_PLAYBACK_FRAME_MS = 12.0;

static void web_frame() {
  bool running = platform_pump();
  const double began = emscripten_get_now();
  while (running && rec_play_due(web_time_ms) && emscripten_get_now() - began < WEB_PLAYBACK_FRAME_MS)
    running = platform_pump();
  if (running) return;
  emscripten_cancel_main_loop();
  web_listen(false);
  char message[OPT_MESSAGE_SIZE];
  const int32_t status = opt_finish(message, int32_t(sizeof message));
  web_page_ended(message, status);
}

int main(int argc, char** argv) {
  opt_record options = opt_parse(argc, argv);
  opt_start(&options, false);  // paced by web_frame: a page cannot wait
  if (options.action != OPT_RUN) {
    web_page_refused(options.message);
    return options.exit_status;
  }
  g_set_hw_resolution(960, 720);
  web_input_reset();
  web_listen(true);
  // One pass per animation frame; does not return (the browser runs the loop).
  emscripten_set_main_loop(web_frame, 0, EM_TRUE);
  return 0;
}
