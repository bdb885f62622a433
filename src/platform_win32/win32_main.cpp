// The Windows entry, the main loop's body and the window procedure. The loop never sleeps
// and never waits for messages: each pass runs the clock, takes at most one message and
// samples the mouse.
#include <windows.h>

#include "graph/g_display.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "platform.h"
#include "platform_win32/win32_window.h"

LRESULT CALLBACK platform_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
      os_key_event(static_cast<uint32_t>(wparam & 0xFF), 1);
      return 0;
    case WM_KEYUP:
      os_key_event(static_cast<uint32_t>(wparam & 0xFF), 0);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wparam, lparam);
  }
}

bool platform_pump() {
  if (!os_frame_tick()) return false;

  MSG message;
  if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
    if (message.message == WM_QUIT) os_running = 0;
  }

  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  ScreenToClient(win32_window_handle(), &cursor);
  if (GetAsyncKeyState(VK_LBUTTON) != 0) {
    os_mouse_button(1);
  } else {
    os_mouse_button(0);
  }
  os_set_mouse_pos(0, cursor.x);
  os_set_mouse_pos(1, cursor.y);
  return true;
}

void platform_main() {
  g_set_hw_resolution(960, 720);
  while (platform_pump()) {
  }
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  platform_main();
  return 0;
}
