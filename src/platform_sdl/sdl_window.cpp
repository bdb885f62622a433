// The window, its OpenGL context and the fullscreen mode, through SDL2. Mirrors the Windows
// back end: same title, the requested client size centred on the desktop, or the whole
// desktop at its own resolution with the cursor hidden; a double-buffered compatibility
// context made current on the main thread.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>

#include "graph/g_display.h"
#include "options/options.h"
#include "os_tools/os_desktop.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "platform_sdl/sdl_window.h"


static struct {
  SDL_Window* window;
  SDL_GLContext context;
  g_display* display;
  bool cursor_hidden;
  struct {
    int x, y, w, h;
  } windowed;  // where the window was before F11 made it fullscreen
} sdl_window;

// The desktop size, or the wanted size when SDL cannot tell.
static void desktop_size(int32_t* width, int32_t* height) {
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0 && mode.w > 0 && mode.h > 0) {
    *width = mode.w;
    *height = mode.h;
  }
}

// Says in one line why no window can be shown, and ends the process: a game nobody can see
// must not run on unseen. stderr even in the shipped build, whose os_log says nothing.
// `what` says what is missing: "no display" when no window system answers, "no OpenGL
// window" when one does but cannot give the game its window.
[[noreturn]] static void no_window(const char* what, const char* why) {
  fprintf(stderr, "%s: %s\n", what, why);
  SDL_Quit();
  exit(EXIT_FAILURE);
}

// Starts SDL's video. When the X server does not answer at that moment, SDL quietly moves
// on to a driver without any window (offscreen); unless such a driver was asked for by name
// (SDL_VIDEODRIVER), video is started again a few times before there counts as no display.
static void start_video() {
  constexpr int SDL_VIDEO_TRIES = 3;
  const char* wanted = SDL_getenv("SDL_VIDEODRIVER");
  for (int attempt = 0;; ++attempt) {
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) no_window("no display", SDL_GetError());
    const char* driver = SDL_GetCurrentVideoDriver();
    os_log("SDL video driver: %s\n", driver ? driver : "?");
    const bool windowless = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
    if (!windowless || (wanted && *wanted)) return;
    if (attempt + 1 == SDL_VIDEO_TRIES) {
      const char* x_display = SDL_getenv("DISPLAY");
      char why[256];
      if (x_display && *x_display) {
        SDL_snprintf(why, sizeof why, "the X server DISPLAY=%s does not answer", x_display);
      } else {
        SDL_snprintf(why, sizeof why, "DISPLAY is not set and SDL found no window system");
      }
      no_window("no display", why);
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    SDL_Delay(200);
  }
}

// The pump takes one event per pass, as the Windows loop takes one message, and samples the
// mouse itself. Windows folds pointer moves into one message and sends no text events; SDL
// queues every move and a text event beside each key, which would hold keys and the close
// back behind them. Those events are not queued at all (SDL keeps the pointer's state anyway).
static void quiet_events() {
  SDL_EventState(SDL_MOUSEMOTION, SDL_IGNORE);
  SDL_EventState(SDL_TEXTINPUT, SDL_IGNORE);
  SDL_EventState(SDL_TEXTEDITING, SDL_IGNORE);
}

bool platform_open_window(g_display* display) {
  os_log("PLATFORM SDL\n");
  sdl_window.display = display;
  OS_ASSERT(display != nullptr);
  if (!display) return false;
  OS_ASSERT(os_alloc_count() == 0);
  sdl_window.window = nullptr;
  sdl_window.context = nullptr;
  start_video();
  quiet_events();

  const bool fullscreen = display->fullscreen != 0;
  int32_t screen_width = display->window_width;
  int32_t screen_height = display->window_height;
  desktop_size(&screen_width, &screen_height);
  const os_placement place = os_place_window(
      screen_width, screen_height, display->window_width, display->window_height, fullscreen);
  if (fullscreen) {
    display->window_width = screen_width;
    display->window_height = screen_height;
  }

  // 16 colour bits at least, no depth, stencil or alpha: the presenter only blends textures.
  SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
  SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
  SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 6);
  SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 5);
  SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 0);
  SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);

  // Resizable and maximisable: the presenter keeps the picture 4:3 at any size.
  Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
  if (fullscreen) flags |= SDL_WINDOW_BORDERLESS;
  sdl_window.window =
      SDL_CreateWindow(PLATFORM_WINDOW_TITLE, place.x, place.y, place.width, place.height, flags);
  if (!sdl_window.window) no_window("no OpenGL window", SDL_GetError());
  sdl_window.context = SDL_GL_CreateContext(sdl_window.window);
  OS_ASSERT(sdl_window.context != nullptr);
  if (sdl_window.context) {
    const int made_current = SDL_GL_MakeCurrent(sdl_window.window, sdl_window.context);
    OS_ASSERT(made_current == 0);
    // Where the driver allows it; the game runs unthrottled otherwise.
    SDL_GL_SetSwapInterval(1);
  } else {
    os_log("SDL context: %s\n", SDL_GetError());
  }
  SDL_ShowWindow(sdl_window.window);

  if (fullscreen) {
    if (SDL_SetWindowFullscreen(sdl_window.window, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
      // The borderless desktop-sized window stays, with the cursor visible.
      display->fullscreen = 0;
      return false;
    }
    SDL_ShowCursor(SDL_DISABLE);
    sdl_window.cursor_hidden = true;
  }

  // The size the platform really gave is what the presenter must fill.
  int drawable_width = 0;
  int drawable_height = 0;
  SDL_GL_GetDrawableSize(sdl_window.window, &drawable_width, &drawable_height);
  if (drawable_width > 0 && drawable_height > 0) {
    display->window_width = drawable_width;
    display->window_height = drawable_height;
  }
  return true;
}

void platform_close_window(g_display* display) {
  OS_ASSERT(display != nullptr);
  os_report_leaks();
  if (display && display->fullscreen) SDL_ShowCursor(SDL_ENABLE);
  sdl_window.cursor_hidden = false;
  if (display) display->fullscreen = 0;
  sdl_window.display = nullptr;
}

void platform_swap_buffers() {
  OS_ASSERT(sdl_window.window != nullptr);
  if (sdl_window.window) SDL_GL_SwapWindow(sdl_window.window);
}

void* platform_gl_proc(const char* name) { return SDL_GL_GetProcAddress(name); }

bool sdl_window_exists() { return sdl_window.window != nullptr; }

void sdl_window_teardown() {
  if (sdl_window.context) SDL_GL_DeleteContext(sdl_window.context);
  if (sdl_window.window) SDL_DestroyWindow(sdl_window.window);
  sdl_window.context = nullptr;
  sdl_window.window = nullptr;
  SDL_Quit();
}

void sdl_window_toggle_fullscreen() {
  SDL_Window* w = sdl_window.window;
  if (!w) return;
  const bool full = (SDL_GetWindowFlags(w) & SDL_WINDOW_FULLSCREEN) != 0;
  if (!full) {
    // Placed over the desktop by hand as well as asked for fullscreen, so that it also
    // fills the screen where no window manager carries the request out.
    SDL_GetWindowPosition(w, &sdl_window.windowed.x, &sdl_window.windowed.y);
    SDL_GetWindowSize(w, &sdl_window.windowed.w, &sdl_window.windowed.h);
    int32_t screen_width = sdl_window.windowed.w;
    int32_t screen_height = sdl_window.windowed.h;
    desktop_size(&screen_width, &screen_height);
    SDL_SetWindowBordered(w, SDL_FALSE);
    SDL_SetWindowPosition(w, 0, 0);
    SDL_SetWindowSize(w, screen_width, screen_height);
    SDL_SetWindowFullscreen(w, SDL_WINDOW_FULLSCREEN_DESKTOP);
  } else {
    SDL_SetWindowFullscreen(w, 0);
    SDL_SetWindowBordered(w, SDL_TRUE);
    if (sdl_window.windowed.w > 0) {
      SDL_SetWindowSize(w, sdl_window.windowed.w, sdl_window.windowed.h);
      SDL_SetWindowPosition(w, sdl_window.windowed.x, sdl_window.windowed.y);
    } else {  // started fullscreen: the window it would have had
      int32_t width = 0;
      int32_t height = 0;
      opt_window_size(&width, &height);
      SDL_SetWindowSize(w, width, height);
      SDL_SetWindowPosition(w, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
    }
  }
  SDL_ShowCursor(full ? SDL_ENABLE : SDL_DISABLE);
  sdl_window.cursor_hidden = !full;
  if (sdl_window.display) sdl_window.display->fullscreen = full ? 0 : 1;
}

bool sdl_window_drawable_size(int32_t* width, int32_t* height) {
  if (!sdl_window.window) return false;
  int w = 0;
  int h = 0;
  SDL_GL_GetDrawableSize(sdl_window.window, &w, &h);
  *width = w;
  *height = h;
  return w > 0 && h > 0;
}
