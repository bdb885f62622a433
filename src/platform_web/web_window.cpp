// The window of the browser build: the page's canvas with a WebGL context, the start
// question the page has already asked, and the clock.
#include <emscripten.h>
#include <emscripten/html5.h>
#include <emscripten/html5_webgl.h>

#include "graph/g_display.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "platform_web/web_page.h"
#include "record/record.h"

// The page sizes the canvas's drawing buffer by its density rule (a whole multiple of the
// framebuffer in a window, the screen in fullscreen) and keeps it so through resizes and
// rotations. Writes the size to out[0], out[1]; true when the page is fullscreen.
EM_JS(int, web_page_size_canvas, (int* out), {
  const size = tumblerPage.sizeCanvas();
  HEAP32[out >> 2] = size.width;
  HEAP32[(out >> 2) + 1] = size.height;
  return size.fullscreen ? 1 : 0;
});
EM_JS(int, web_page_answer, (), { return tumblerPage.answer() ? 1 : 0; });
EM_JS(void, web_page_presented, (), { tumblerPage.presented(); });
EM_JS(void, web_page_ended_js, (const char* message, int status), {
  tumblerRecording.ended(UTF8ToString(message), status);
  tumblerPage.ended();
});
EM_JS(void, web_page_refused_js, (const char* message), { tumblerRecording.refused(UTF8ToString(message)); });
EM_JS(void, web_page_canvas_point_js, (double client_x, double client_y, int* out), {
  const p = tumblerPage.canvasPoint(client_x, client_y);
  HEAP32[out >> 2] = p[0];
  HEAP32[(out >> 2) + 1] = p[1];
});

static struct {
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
  g_display* display;
  bool clock_started;
  double clock_start;
} web_window;

bool platform_open_window(g_display* display) {
  os_log("PLATFORM WEB\n");
  web_window.display = display;
  OS_ASSERT(display != nullptr);
  if (!display) return false;
  OS_ASSERT(os_alloc_count() == 0);

  int32_t size[2] = {display->window_width, display->window_height};
  const bool wanted_fullscreen = display->fullscreen != 0;
  const bool fullscreen = web_page_size_canvas(size) != 0;
  display->window_width = size[0];
  display->window_height = size[1];
  display->whole_multiples = 1;  // in fullscreen too, every framebuffer pixel an equal block

  // No alpha in the canvas (the page behind must not show through where layer 0 is drawn
  // opaque), no depth or stencil, no smoothing of edges; the drawing buffer is kept after it
  // is shown, so that a frame the game does not redraw stays as it was and can be read back.
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.premultipliedAlpha = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_TRUE;
  attributes.majorVersion = 1;
  attributes.minorVersion = 0;
  web_window.context = emscripten_webgl_create_context("#canvas", &attributes);
  OS_ASSERT(web_window.context > 0);
  if (web_window.context <= 0) {
    os_log("WebGL context: %d\n", int(web_window.context));
    return false;
  }
  const EMSCRIPTEN_RESULT current = emscripten_webgl_make_context_current(web_window.context);
  OS_ASSERT(current == EMSCRIPTEN_RESULT_SUCCESS);

  if (wanted_fullscreen && !fullscreen) {
    // Refused: the canvas stays in the page, laid out as in a window.
    display->fullscreen = 0;
    return false;
  }
  return true;
}

void platform_close_window(g_display* display) {
  OS_ASSERT(display != nullptr);
  os_report_leaks();
  if (display) display->fullscreen = 0;
  web_window.display = nullptr;
}

// The browser shows what was drawn once the frame's callback returns; the page only counts.
void platform_swap_buffers() {
  OS_ASSERT(web_window.context > 0);
  web_page_presented();
}

void* platform_gl_proc(const char* name) { return emscripten_webgl_get_proc_address(name); }

// The page asked before the game was started: its question has the same texts. A playback
// takes the recording's answer; a recording keeps the page's.
bool platform_ask_yes_no(const char*, const char*) {
  const int32_t given = rec_given_answer();
  const bool answer = given >= 0 ? given == 1 : web_page_answer() != 0;
  rec_note_answer(answer);
  return answer;
}

uint32_t web_time_ms() {
  const double now = emscripten_get_now();
  if (!web_window.clock_started) {
    web_window.clock_start = now;
    web_window.clock_started = true;
  }
  return uint32_t(uint64_t(now - web_window.clock_start + 0.5));
}

uint32_t platform_get_time_ms() { return rec_clock(web_time_ms); }

void web_window_follow_canvas() {
  if (!web_window.display) return;
  int width = 0;
  int height = 0;
  if (emscripten_get_canvas_element_size("#canvas", &width, &height) != EMSCRIPTEN_RESULT_SUCCESS) return;
  if (width == web_window.display->window_width && height == web_window.display->window_height) return;
  g_resize_display(width, height);
}

void web_page_ended(const char* message, int32_t status) { web_page_ended_js(message, status); }

void web_page_refused(const char* message) { web_page_refused_js(message); }

void web_page_canvas_point(double client_x, double client_y, int32_t* x, int32_t* y) {
  int32_t point[2] = {0, 0};
  web_page_canvas_point_js(client_x, client_y, point);
  *x = point[0];
  *y = point[1];
}
