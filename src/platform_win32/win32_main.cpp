// The Windows entry, the window procedure and what Windows supplies to the main loop's pass
// (loop/loop_pass.cpp): at most one message, the pads, the pointer, the clock. The loop never
// sleeps and never waits for messages. What the game reads (the clock, keys, the quit, the
// mouse) goes through the recording hooks, which hand it straight on unless a session is
// recorded or played.
#include <windows.h>

#include "os_tools/os_desktop.h"
#include "options/options.h"
#include "platform.h"
#include "record/record.h"
#include "platform_win32/win32_window.h"

LRESULT CALLBACK platform_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_KEYDOWN:
      rec_key(static_cast<uint32_t>(wparam & 0xFF), 1);
      return 0;
    case WM_KEYUP:
      rec_key(static_cast<uint32_t>(wparam & 0xFF), 0);
      return 0;
    case WM_ACTIVATE:
      // Keys let go while another window has the focus never send their key-up here.
      if (LOWORD(wparam) == WA_INACTIVE) rec_release_input();
      break;  // the default handling gives the focus back on activation
    case WM_KILLFOCUS:
      rec_release_input();
      break;
    case WM_SYSCOMMAND:
      // A lone Alt or F10 would start the keyboard menu loop, which holds the main loop (and
      // the picture) until Escape. Alt+Space still opens the window menu, Alt+F4 still closes.
      if ((wparam & 0xFFF0) == SC_KEYMENU && lparam == 0) return 0;
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

uint32_t platform_get_time_ms() { return rec_clock(win32_time_ms); }

void platform_take_event() {
  MSG message;
  if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return;
  TranslateMessage(&message);
  DispatchMessageA(&message);
  if (message.message == WM_QUIT) rec_quit();
}

void platform_read_pads(pad_state* merged) { win32_pad_poll(merged); }

bool platform_read_pointer(int32_t* button, int32_t* x, int32_t* y) {
  // The button is read for the whole desktop: it counts only while our window is the active
  // one and the pointer is inside its client area. Read on every pass all the same, so that
  // a press elsewhere is not remembered as "pressed since the last query".
  const bool button_down = GetAsyncKeyState(VK_LBUTTON) != 0;
  const HWND window = win32_window_handle();
  POINT cursor = {0, 0};
  GetCursorPos(&cursor);
  ScreenToClient(window, &cursor);
  RECT client = {0, 0, 0, 0};
  if (window) GetClientRect(window, &client);
  const bool active = window != nullptr && GetForegroundWindow() == window;
  const bool counts = os_click_counts(active, cursor.x, cursor.y, client.right, client.bottom);
  *button = button_down && counts ? 1 : 0;
  *x = cursor.x;
  *y = cursor.y;
  return true;
}

// tumbler.exe has no console: what the command line asks to be shown comes in a message box.
static void win32_show(const char* text, bool problem) {
  MessageBoxA(nullptr, text, "Tumbler", MB_OK | (problem ? MB_ICONERROR : MB_ICONINFORMATION));
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  static char storage[8192];
  const char* words[OPT_MAX_ARGS];
  const int32_t count = opt_split_command_line(command_line, storage, int32_t(sizeof storage), words, OPT_MAX_ARGS);
  opt_record options = count < 0 ? opt_too_long() : opt_parse(count, words);
  opt_start(&options, true);
  if (options.action != OPT_RUN) {
    win32_show(options.message, options.action == OPT_ERROR);
    return options.exit_status;
  }
  platform_main();
  char message[OPT_MESSAGE_SIZE];
  const int32_t status = opt_finish(message, int32_t(sizeof message));
  if (status != 0) win32_show(message, true);
  return status;
}
