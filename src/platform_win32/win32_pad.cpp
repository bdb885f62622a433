// Gamepads through XInput, loaded at run time (xinput1_4, else xinput1_3, else
// xinput9_1_0), so tumbler.exe imports nothing new and starts where none is present. The
// loop's pass reads them once and hands them to pad_update, which turns them into key events
// for the recording hooks, the path the keyboard takes.
#include <windows.h>

#include "pad/pad.h"
#include "platform_win32/win32_window.h"

// XInput's own records, as its header lays them out.
struct win32_xinput_gamepad {
  WORD buttons;
  BYTE left_trigger;
  BYTE right_trigger;
  SHORT thumb_lx;
  SHORT thumb_ly;
  SHORT thumb_rx;
  SHORT thumb_ry;
};
struct win32_xinput_state {
  DWORD packet;
  win32_xinput_gamepad pad;
};
static_assert(sizeof(win32_xinput_state) == 16, "XINPUT_STATE layout");
typedef DWORD(WINAPI* win32_xinput_get_state)(DWORD user, win32_xinput_state* state);

enum : int32_t { WIN32_PAD_USERS = 4 };
// Asking XInput about an empty slot is slow, so slots without a pad are asked again only
// this often; a pad plugged in is found within that time.
static constexpr DWORD WIN32_PAD_PROBE_MS = 1000;

static struct {
  bool loaded;
  win32_xinput_get_state get_state;
  bool connected[WIN32_PAD_USERS];
  DWORD next_probe;
} win32_pad;

static void win32_pad_load() {
  win32_pad.loaded = true;
  const char* const names[] = {"xinput1_4.dll", "xinput1_3.dll", "xinput9_1_0.dll"};
  for (const char* name : names) {
    HMODULE library = LoadLibraryA(name);
    if (!library) continue;
    win32_pad.get_state = reinterpret_cast<win32_xinput_get_state>(
        reinterpret_cast<void*>(GetProcAddress(library, "XInputGetState")));
    if (win32_pad.get_state) return;
    FreeLibrary(library);
  }
}

static pad_state win32_pad_read(const win32_xinput_gamepad& x) {
  static const struct {
    WORD mask;
    uint32_t bit;
  } BUTTONS[] = {
      {0x0001, PAD_UP}, {0x0002, PAD_DOWN}, {0x0004, PAD_LEFT}, {0x0008, PAD_RIGHT}, {0x0010, PAD_START},
      {0x0020, PAD_BACK}, {0x1000, PAD_A}, {0x2000, PAD_B}, {0x4000, PAD_X}, {0x8000, PAD_Y},
  };
  pad_state state = {0, x.thumb_lx, -int32_t(x.thumb_ly)};  // XInput's y grows upwards
  for (const auto& b : BUTTONS)
    if (x.buttons & b.mask) state.buttons |= b.bit;
  return state;
}

void win32_pad_poll(pad_state* merged) {
  if (!win32_pad.loaded) win32_pad_load();
  // Like the keyboard, the pads steer only the window in front.
  const HWND window = win32_window_handle();
  if (win32_pad.get_state && window && GetForegroundWindow() == window) {
    const DWORD now = GetTickCount();
    const bool probe = LONG(now - win32_pad.next_probe) >= 0;
    if (probe) win32_pad.next_probe = now + WIN32_PAD_PROBE_MS;
    for (DWORD user = 0; user < WIN32_PAD_USERS; ++user) {
      if (!win32_pad.connected[user] && !probe) continue;
      win32_xinput_state state;
      ZeroMemory(&state, sizeof state);
      win32_pad.connected[user] = win32_pad.get_state(user, &state) == ERROR_SUCCESS;
      if (!win32_pad.connected[user]) continue;
      const pad_state one = win32_pad_read(state.pad);
      pad_merge(merged, &one);
    }
  }
}
