// Gamepads through SDL's game controller API, with hot-plug: the pump hands over the
// controller events it takes and reads the pads once per pass; the loop's pass hands the
// merged state to pad_update, which turns it into key events for the recording hooks, the
// same path the keyboard takes.
#include <SDL.h>

#include "pad/pad.h"
#include "platform_sdl/sdl_window.h"

enum : int32_t { SDL_PAD_SLOTS = 8 };

static struct {
  bool started;
  SDL_GameController* pads[SDL_PAD_SLOTS];
} sdl_pad;

static void sdl_pad_open(int32_t device) {
  if (!SDL_IsGameController(device)) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device);
  for (SDL_GameController* pad : sdl_pad.pads)
    if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) return;  // open already
  for (SDL_GameController*& slot : sdl_pad.pads) {
    if (slot) continue;
    slot = SDL_GameControllerOpen(device);
    return;
  }
}

static void sdl_pad_close(SDL_JoystickID id) {
  for (SDL_GameController*& slot : sdl_pad.pads) {
    if (slot && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(slot)) == id) {
      SDL_GameControllerClose(slot);
      slot = nullptr;
    }
  }
}

void sdl_pad_event(const SDL_Event& event) {
  if (event.type == SDL_CONTROLLERDEVICEADDED) sdl_pad_open(event.cdevice.which);
  if (event.type == SDL_CONTROLLERDEVICEREMOVED) sdl_pad_close(event.cdevice.which);
}

static pad_state sdl_pad_read(SDL_GameController* pad) {
  static const struct {
    SDL_GameControllerButton button;
    uint32_t bit;
  } BUTTONS[] = {
      {SDL_CONTROLLER_BUTTON_DPAD_UP, PAD_UP},       {SDL_CONTROLLER_BUTTON_DPAD_DOWN, PAD_DOWN},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PAD_LEFT},   {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PAD_RIGHT},
      {SDL_CONTROLLER_BUTTON_A, PAD_A},              {SDL_CONTROLLER_BUTTON_B, PAD_B},
      {SDL_CONTROLLER_BUTTON_X, PAD_X},              {SDL_CONTROLLER_BUTTON_Y, PAD_Y},
      {SDL_CONTROLLER_BUTTON_START, PAD_START},      {SDL_CONTROLLER_BUTTON_BACK, PAD_BACK},
  };
  pad_state state = {0, 0, 0};
  for (const auto& b : BUTTONS)
    if (SDL_GameControllerGetButton(pad, b.button)) state.buttons |= b.bit;
  state.stick_x = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTX);
  state.stick_y = SDL_GameControllerGetAxis(pad, SDL_CONTROLLER_AXIS_LEFTY);
  return state;
}

void sdl_pad_poll(bool focused, pad_state* merged) {
  if (!sdl_pad.started) {
    sdl_pad.started = true;
    // Pads already plugged in come as added events, like the ones plugged in later. Without
    // the subsystem (no input devices at all) the game simply has no pad.
    SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER);
    // The pads are read here once per pass; their per-change events would only queue up
    // (two for every jitter of a stick) in front of the keys and the close the pump takes
    // one per pass. Plugging in and out still comes as events.
    static const Uint32 PAD_STATE_EVENTS[] = {
        SDL_JOYAXISMOTION,        SDL_JOYBALLMOTION,        SDL_JOYHATMOTION,
        SDL_JOYBUTTONDOWN,        SDL_JOYBUTTONUP,          SDL_CONTROLLERAXISMOTION,
        SDL_CONTROLLERBUTTONDOWN, SDL_CONTROLLERBUTTONUP,   SDL_CONTROLLERTOUCHPADDOWN,
        SDL_CONTROLLERTOUCHPADMOTION, SDL_CONTROLLERTOUCHPADUP, SDL_CONTROLLERSENSORUPDATE,
        SDL_JOYBATTERYUPDATED,
    };
    for (const Uint32 type : PAD_STATE_EVENTS) SDL_EventState(type, SDL_IGNORE);
  }
  for (SDL_GameController* pad : sdl_pad.pads) {
    if (!pad || !focused) continue;
    const pad_state one = sdl_pad_read(pad);
    pad_merge(merged, &one);
  }
}

void sdl_pad_stop() {
  for (SDL_GameController*& slot : sdl_pad.pads) {
    if (slot) SDL_GameControllerClose(slot);
    slot = nullptr;
  }
  sdl_pad.started = false;
}

int32_t sdl_pad_count() {
  int32_t n = 0;
  for (SDL_GameController* pad : sdl_pad.pads) n += pad != nullptr;
  return n;
}
