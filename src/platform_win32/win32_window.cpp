// The window, the device context, the OpenGL (WGL) context and the fullscreen display mode.
// Only what the game needs: a double-buffered context current on the main thread that swaps
// with the display's refresh where the driver allows, a client area of the requested size (on
// a display scaled above 100 %, the default size grows by whole multiples; or the whole
// screen), a swap, and the leak report at close.
// The context, the window and the class are left for the end of the process to release.
#include <windows.h>

#include "graph/g_display.h"
#include "os_tools/os_desktop.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "options/options.h"
#include "platform.h"
#include "platform_win32/win32_window.h"

static const char* const WIN32_CLASS_NAME = "tumblerClass";

static struct {
  HWND window;
  HDC device_context;
  HGLRC render_context;
  g_display* display;
} win32_window;

static_assert(sizeof(PIXELFORMATDESCRIPTOR) == 40, "pixel format request layout");
static_assert(sizeof(DEVMODEA) == 156, "display mode request layout");

HWND win32_window_handle() { return win32_window.window; }

// Fullscreen: asks for the screen's own resolution at 32 bits, so the desktop keeps its size
// and the presenter scales the picture. False when the mode change is refused.
static bool enter_fullscreen(int32_t width, int32_t height) {
  DEVMODEA mode;
  ZeroMemory(&mode, sizeof(mode));
  mode.dmSize = sizeof(mode);
  mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
  mode.dmBitsPerPel = 32;
  mode.dmPelsWidth = static_cast<DWORD>(width);
  mode.dmPelsHeight = static_cast<DWORD>(height);
  return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

// The display's dots per inch where the window opens (96 at 100 %): the monitor's own where
// Windows can say (8.1 and later), else the system's, which is what Vista to 8 scale by. The
// program is DPI-aware (its manifest says so), so every size it sees is in device pixels.
static int32_t monitor_dpi(HMONITOR monitor) {
  typedef HRESULT(WINAPI * dpi_for_monitor_fn)(HMONITOR, int, UINT*, UINT*);
  static HMODULE shcore = LoadLibraryA("shcore.dll");
  const dpi_for_monitor_fn dpi_for_monitor =
      shcore ? reinterpret_cast<dpi_for_monitor_fn>(reinterpret_cast<void*>(GetProcAddress(shcore, "GetDpiForMonitor")))
             : nullptr;
  UINT dpi_x = 0, dpi_y = 0;
  if (dpi_for_monitor && dpi_for_monitor(monitor, 0 /* MDT_EFFECTIVE_DPI */, &dpi_x, &dpi_y) == S_OK && dpi_x > 0)
    return static_cast<int32_t>(dpi_x);
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

// The default window on a display scaled above 100 %: a whole multiple of 320 x 240 that
// looks about as big as 960 x 720 does at 100 % and fits the monitor's work area with its
// frame (os_scaled_window). --scale N and 100 % keep the size they asked for.
static void choose_scaled_size(g_display* display, DWORD style) {
  if (opt_get()->scale != 0) return;
  const POINT origin = {0, 0};
  HMONITOR monitor = MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY);
  const int32_t dpi = monitor_dpi(monitor);
  if (dpi <= 96) return;
  MONITORINFO info;
  ZeroMemory(&info, sizeof(info));
  info.cbSize = sizeof(info);
  if (!GetMonitorInfoA(monitor, &info)) return;
  // The frame at that dpi: AdjustWindowRectExForDpi (Windows 10 1607 and later) knows it for
  // any monitor; before it the system's frame is the one there is.
  typedef BOOL(WINAPI * adjust_for_dpi_fn)(RECT*, DWORD, BOOL, DWORD, UINT);
  HMODULE user32 = GetModuleHandleA("user32.dll");
  const adjust_for_dpi_fn adjust_for_dpi =
      user32 ? reinterpret_cast<adjust_for_dpi_fn>(
                   reinterpret_cast<void*>(GetProcAddress(user32, "AdjustWindowRectExForDpi")))
             : nullptr;
  RECT frame = {0, 0, 0, 0};
  const BOOL framed = adjust_for_dpi ? adjust_for_dpi(&frame, style, FALSE, 0, static_cast<UINT>(dpi))
                                     : AdjustWindowRectEx(&frame, style, FALSE, 0);
  if (!framed) frame = RECT{0, 0, 0, 0};
  const os_size size = os_scaled_window(dpi, info.rcWork.right - info.rcWork.left,
                                        info.rcWork.bottom - info.rcWork.top, frame.right - frame.left,
                                        frame.bottom - frame.top);
  os_log("display at %d dpi: window %d x %d\n", dpi, size.width, size.height);
  display->window_width = size.width;
  display->window_height = size.height;
}

// Swaps wait for the display's refresh where the driver offers it (WGL_EXT_swap_control):
// the loop never sleeps, so without it the game draws thousands of frames a second and keeps
// a core and the GPU busy. Without the extension the game runs unthrottled, as before.
static void ask_for_vsync() {
  typedef BOOL(WINAPI * swap_interval_fn)(int interval);
  const swap_interval_fn swap_interval =
      reinterpret_cast<swap_interval_fn>(platform_gl_proc("wglSwapIntervalEXT"));
  if (swap_interval) swap_interval(1);
}

bool platform_open_window(g_display* display) {
  os_log("PLATFORM WIN32\n");
  win32_window.display = display;
  OS_ASSERT(display != nullptr);
  if (!display) return false;

  const bool fullscreen = display->fullscreen != 0;
  const int32_t screen_width = GetSystemMetrics(SM_CXSCREEN);
  const int32_t screen_height = GetSystemMetrics(SM_CYSCREEN);
  const DWORD style = fullscreen ? WS_POPUP : (WS_POPUP | WS_CAPTION | WS_SYSMENU);
  if (!fullscreen) choose_scaled_size(display, style);
  const os_placement place = os_place_window(
      screen_width, screen_height, display->window_width, display->window_height, fullscreen);
  if (fullscreen) {
    display->window_width = screen_width;
    display->window_height = screen_height;
  }
  OS_ASSERT(os_alloc_count() == 0);

  win32_window.window = nullptr;
  win32_window.device_context = nullptr;
  win32_window.render_context = nullptr;

  // The program's icon (resource 1) in the caption and the task bar, each at the size the
  // system draws it.
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSEXA window_class;
  ZeroMemory(&window_class, sizeof(window_class));
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = platform_window_proc;
  window_class.hInstance = instance;
  window_class.lpszClassName = WIN32_CLASS_NAME;
  window_class.hIcon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(1), IMAGE_ICON,
                                                     GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), 0));
  window_class.hIconSm = static_cast<HICON>(LoadImageA(
      instance, MAKEINTRESOURCEA(1), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
  if (!RegisterClassExA(&window_class)) return false;

  win32_window.window = CreateWindowExA(0, WIN32_CLASS_NAME, PLATFORM_WINDOW_TITLE, style, place.x,
                                        place.y, place.width, place.height, nullptr, nullptr,
                                        nullptr, nullptr);
  OS_ASSERT(win32_window.window != nullptr);

  // Created with an outer size of the wanted client size: add the frame's share once.
  RECT client;
  if (GetClientRect(win32_window.window, &client)) {
    const int32_t client_width = client.right - client.left;
    const int32_t client_height = client.bottom - client.top;
    SetWindowPos(win32_window.window, nullptr, 0, 0,
                 os_outer_size(display->window_width, client_width),
                 os_outer_size(display->window_height, client_height), SWP_NOMOVE);
  }

  win32_window.device_context = GetDC(win32_window.window);
  OS_ASSERT(win32_window.device_context != nullptr);
  PIXELFORMATDESCRIPTOR request;
  ZeroMemory(&request, sizeof(request));
  request.nSize = sizeof(request);
  request.nVersion = 1;
  request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  request.iPixelType = PFD_TYPE_RGBA;
  request.cColorBits = 16;
  request.iLayerType = PFD_MAIN_PLANE;
  const int format = ChoosePixelFormat(win32_window.device_context, &request);
  OS_ASSERT(format != 0);
  const BOOL format_set = SetPixelFormat(win32_window.device_context, format, &request);
  OS_ASSERT(format_set);
  win32_window.render_context = wglCreateContext(win32_window.device_context);
  OS_ASSERT(win32_window.render_context != nullptr);
  const BOOL made_current =
      wglMakeCurrent(win32_window.device_context, win32_window.render_context);
  OS_ASSERT(made_current);
  ask_for_vsync();

  ShowWindow(win32_window.window, SW_SHOW);
  if (!fullscreen) return true;

  if (!enter_fullscreen(screen_width, screen_height)) {
    // The captionless screen-sized window stays, with the cursor visible.
    display->fullscreen = 0;
    return false;
  }
  SetWindowPos(win32_window.window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE);
  ShowCursor(FALSE);
  return true;
}

void platform_close_window(g_display* display) {
  OS_ASSERT(display != nullptr);
  os_report_leaks();
  ReleaseDC(win32_window.window, win32_window.device_context);
  if (display && display->fullscreen) ShowCursor(TRUE);
  win32_window.device_context = nullptr;
  win32_window.window = nullptr;
  if (display) display->fullscreen = 0;
}

void platform_swap_buffers() {
  OS_ASSERT(win32_window.device_context != nullptr);
  SwapBuffers(win32_window.device_context);
}

// wglGetProcAddress answers only for entry points beyond OpenGL 1.1 and some drivers return
// small sentinel values instead of null; the 1.1 ones come from opengl32 itself.
void* platform_gl_proc(const char* name) {
  PROC proc = wglGetProcAddress(name);
  const intptr_t value = reinterpret_cast<intptr_t>(proc);
  if (value == 0 || value == 1 || value == 2 || value == 3 || value == -1) {
    HMODULE opengl = GetModuleHandleA("opengl32.dll");
    proc = opengl ? GetProcAddress(opengl, name) : nullptr;
  }
  return reinterpret_cast<void*>(proc);
}
