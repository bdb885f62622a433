// A gamepad end to end on the SDL back end: SDL's virtual joystick is plugged in while the
// game runs, its d-pad leaves the title and steps the player through SDL's real event path
// and the back end's pump; pulled out with the d-pad held, it lets go of the arrow; plugged
// in again, it steers again, and lets go while the window is in the background.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>

#include "game/game.h"
#include "graph/g_display.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "platform_sdl/sdl_window.h"
#include "record/record.h"

namespace {

// Runs the game's loop for about ms milliseconds of real time; false once it has ended.
bool pump_for(uint32_t ms) {
  const uint32_t until = SDL_GetTicks() + ms;
  while (SDL_GetTicks() < until)
    if (!platform_pump()) return false;
  return true;
}

// Runs the loop until done() holds: the pump takes one event per pass and a loaded machine
// draws slowly, so what the pad did is waited for, not timed (at most 20 s).
template <typename F>
bool pump_until(F done) {
  const uint32_t until = SDL_GetTicks() + 20000;
  while (!done() && SDL_GetTicks() < until)
    if (!platform_pump()) return false;
  return done();
}

struct virtual_pad {
  int device = -1;
  SDL_Joystick* joystick = nullptr;
  void plug() {
    SDL_VirtualJoystickDesc desc;
    SDL_zero(desc);
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = SDL_CONTROLLER_AXIS_MAX;
    desc.nbuttons = SDL_CONTROLLER_BUTTON_MAX;
    desc.button_mask = (1u << SDL_CONTROLLER_BUTTON_MAX) - 1;
    desc.axis_mask = (1u << SDL_CONTROLLER_AXIS_MAX) - 1;
    desc.name = "Tumbler test pad";
    device = SDL_JoystickAttachVirtualEx(&desc);
    ASSERT_GE(device, 0) << SDL_GetError();
    joystick = SDL_JoystickOpen(device);
    ASSERT_NE(joystick, nullptr) << SDL_GetError();
  }
  void press(SDL_GameControllerButton button, bool down) {
    ASSERT_EQ(SDL_JoystickSetVirtualButton(joystick, button, down ? 1 : 0), 0) << SDL_GetError();
  }
  void unplug() {
    SDL_JoystickClose(joystick);
    joystick = nullptr;
    ASSERT_EQ(SDL_JoystickDetachVirtual(device), 0) << SDL_GetError();
  }
};

// The window gains or loses the input focus, as the window manager would tell SDL.
void window_focus(SDL_WindowEventID what) {
  SDL_Event event;
  SDL_zero(event);
  event.type = SDL_WINDOWEVENT;
  event.window.event = Uint8(what);
  ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

TEST(SdlPad, DpadLeavesTheTitleStepsThePlayerAndLetsGoWhenUnplugged) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);  // the virtual X server may give no focus
  const char* display = getenv("DISPLAY");
  if (!display || !*display) setenv("SDL_VIDEODRIVER", "offscreen", 1);  // no X server: a window all the same
  rec_set_answer(0);  // a window, without the question
  g_set_hw_resolution(960, 720);
  ASSERT_TRUE(pump_for(1500));
  ASSERT_EQ(game.game_state, GS_TITLE);

  virtual_pad pad;
  pad.plug();
  ASSERT_TRUE(pump_until([] { return sdl_pad_count() == 1; })) << "the pad is taken up while the game runs";
  ASSERT_TRUE(pump_for(300));
  EXPECT_EQ(game.game_state, GS_TITLE) << "plugging a pad in presses nothing";
  pad.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN, true);
  ASSERT_TRUE(pump_until([] { return os_get_key(OS_KEY_DOWN) > 0; }));
  pad.press(SDL_CONTROLLER_BUTTON_DPAD_DOWN, false);
  ASSERT_TRUE(pump_until([] { return os_get_key(OS_KEY_DOWN) == 0 && game.game_state == GS_PLAYING; }))
      << "the d-pad leaves the title";

  // Held right: one step of 0.2 s at least, then the pad is pulled out with the d-pad held.
  const float start_x = game.player_x;
  pad.press(SDL_CONTROLLER_BUTTON_DPAD_RIGHT, true);
  ASSERT_TRUE(pump_until([&] { return game.player_x >= start_x + float(game.tw); })) << "one cell to the right";
  pad.unplug();
  ASSERT_TRUE(pump_until([] { return sdl_pad_count() == 0; }));
  EXPECT_EQ(os_get_key(OS_KEY_RIGHT), 0) << "an unplugged pad holds no key";

  pad.plug();
  ASSERT_TRUE(pump_until([] { return sdl_pad_count() == 1; }));
  ASSERT_TRUE(pump_until([] { return game.step_state == STEP_READY || game.step_state == STEP_DONE; }));
  const float second_x = game.player_x;
  pad.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, true);
  ASSERT_TRUE(pump_until([&] { return game.player_x <= second_x - float(game.tw); })) << "plugged in again, it steers";
  window_focus(SDL_WINDOWEVENT_FOCUS_LOST);
  ASSERT_TRUE(pump_until([] { return os_get_key(OS_KEY_LEFT) == 0; })) << "a held d-pad lets go when the focus goes";
  window_focus(SDL_WINDOWEVENT_FOCUS_GAINED);
  ASSERT_TRUE(pump_until([] { return os_get_key(OS_KEY_LEFT) > 0; })) << "and holds again when it comes back";
  pad.press(SDL_CONTROLLER_BUTTON_DPAD_LEFT, false);
  ASSERT_TRUE(pump_until([] { return os_get_key(OS_KEY_LEFT) == 0; }));

  // A restless stick inside the dead zone moves nothing, and a key behind it is seen at once:
  // the pump takes one event per pass, so the pad's readings must not queue as events.
  // A real pad reports several times between two passes of a loop that waits for vsync.
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(SDL_JoystickSetVirtualAxis(pad.joystick, SDL_CONTROLLER_AXIS_LEFTX, Sint16(i % 2 ? 3000 : -3000)), 0);
    SDL_PumpEvents();
    if (i % 3 == 2) {
      ASSERT_TRUE(platform_pump());
    }
  }
  SDL_Event key;
  SDL_zero(key);
  key.type = SDL_KEYDOWN;
  key.key.keysym.sym = SDLK_a;
  ASSERT_EQ(SDL_PushEvent(&key), 1);
  int passes = 0;
  while (os_get_key('A') == 0 && passes < 1000 && platform_pump()) ++passes;
  EXPECT_LT(passes, 20) << "the key waited behind the pad's readings";
  EXPECT_EQ(os_get_key(OS_KEY_LEFT) + os_get_key(OS_KEY_RIGHT), 0);
  key.type = SDL_KEYUP;
  ASSERT_EQ(SDL_PushEvent(&key), 1);

  pad.press(SDL_CONTROLLER_BUTTON_BACK, true);  // Back is Escape: the game ends
  EXPECT_FALSE(pump_for(20000));
  pad.unplug();
  sdl_pad_stop();
  sdl_window_teardown();
  EXPECT_EQ(os_alloc_count(), 0) << "every block of the game given back";
}

}  // namespace
