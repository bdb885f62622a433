// The headless window (see headless_window.h): no window at all, only a record of what was
// asked, with the same leak report at close as a real window.
#include "platform_headless/headless_window.h"

#include <cstdio>
#include <cstring>

#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "platform_headless/headless_render.h"

enum : int32_t { HEADLESS_TEXT_SIZE = 256 };

static struct {
  bool configured;
  int32_t screen_width;
  int32_t screen_height;
  bool refuse_fullscreen;
  bool answer;
  bool open;
  bool cursor_hidden;
  int32_t swaps;
  g_display requested;
  g_display* display;
  char question[HEADLESS_TEXT_SIZE];
  char caption[HEADLESS_TEXT_SIZE];
} hw;

void headless_window_reset() {
  memset(&hw, 0, sizeof hw);
  hw.configured = true;
  hw.screen_width = 1920;
  hw.screen_height = 1080;
}

static void headless_window_defaults() {
  if (!hw.configured) headless_window_reset();
}

void headless_window_set_screen(int32_t width, int32_t height) {
  headless_window_defaults();
  hw.screen_width = width;
  hw.screen_height = height;
}

void headless_window_refuse_fullscreen(bool refuse) {
  headless_window_defaults();
  hw.refuse_fullscreen = refuse;
}

void headless_window_set_answer(bool yes) {
  headless_window_defaults();
  hw.answer = yes;
}

bool headless_window_open() { return hw.open; }
bool headless_window_cursor_hidden() { return hw.cursor_hidden; }
int32_t headless_window_swap_count() { return hw.swaps; }
g_display headless_window_requested() { return hw.requested; }
const char* headless_window_question() { return hw.question; }
const char* headless_window_caption() { return hw.caption; }

bool platform_open_window(g_display* display) {
  headless_window_defaults();
  os_log("PLATFORM HEADLESS\n");
  OS_ASSERT(display != nullptr);
  if (!display) return false;
  // The window opens before anything is allocated.
  OS_ASSERT(os_alloc_count() == 0);
  hw.display = display;
  hw.requested = *display;
  hw.open = true;
  if (!display->fullscreen) return true;
  display->window_width = hw.screen_width;
  display->window_height = hw.screen_height;
  if (hw.refuse_fullscreen) {
    display->fullscreen = 0;  // a screen-sized window stays, cursor visible
    return false;
  }
  hw.cursor_hidden = true;
  return true;
}

void platform_close_window(g_display* display) {
  headless_window_defaults();
  OS_ASSERT(display != nullptr);
  os_report_leaks();
  if (display && display->fullscreen) hw.cursor_hidden = false;
  if (display) display->fullscreen = 0;
  hw.open = false;
  hw.display = nullptr;
}

void platform_swap_buffers() {
  OS_ASSERT(hw.open);
  ++hw.swaps;
  headless_render_record(HEADLESS_R_SWAP, -1, hw.swaps, 0);
}

void* platform_gl_proc(const char* name) {
  (void)name;
  return nullptr;
}

bool platform_ask_yes_no(const char* text, const char* caption) {
  headless_window_defaults();
  snprintf(hw.question, sizeof hw.question, "%s", text ? text : "");
  snprintf(hw.caption, sizeof hw.caption, "%s", caption ? caption : "");
  return hw.answer;
}
