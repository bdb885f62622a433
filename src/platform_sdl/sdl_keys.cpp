// SDL key symbols to Windows virtual-key codes.
#include "platform_sdl/sdl_keys.h"

namespace {

// Virtual-key codes the translation produces.
enum : uint32_t {
  VK_NONE = 0x00,
  VK_BACK = 0x08,
  VK_TAB = 0x09,
  VK_RETURN = 0x0D,
  VK_SHIFT = 0x10,
  VK_CONTROL = 0x11,
  VK_PAUSE = 0x13,
  VK_CAPITAL = 0x14,
  VK_ESCAPE = 0x1B,
  VK_SPACE = 0x20,
  VK_PRIOR = 0x21,
  VK_NEXT = 0x22,
  VK_END = 0x23,
  VK_HOME = 0x24,
  VK_LEFT = 0x25,
  VK_UP = 0x26,
  VK_RIGHT = 0x27,
  VK_DOWN = 0x28,
  VK_INSERT = 0x2D,
  VK_DELETE = 0x2E,
  VK_NUMPAD0 = 0x60,
  VK_MULTIPLY = 0x6A,
  VK_ADD = 0x6B,
  VK_SUBTRACT = 0x6D,
  VK_DECIMAL = 0x6E,
  VK_DIVIDE = 0x6F,
  VK_F1 = 0x70,
  VK_F10 = 0x79,
  VK_CLEAR = 0x0C,
};

// Keypad keys with Num Lock off, as Windows reports them.
uint32_t keypad_without_numlock(SDL_Keycode sym) {
  switch (sym) {
    case SDLK_KP_0: return VK_INSERT;
    case SDLK_KP_1: return VK_END;
    case SDLK_KP_2: return VK_DOWN;
    case SDLK_KP_3: return VK_NEXT;
    case SDLK_KP_4: return VK_LEFT;
    case SDLK_KP_5: return VK_CLEAR;
    case SDLK_KP_6: return VK_RIGHT;
    case SDLK_KP_7: return VK_HOME;
    case SDLK_KP_8: return VK_UP;
    case SDLK_KP_9: return VK_PRIOR;
    case SDLK_KP_PERIOD: return VK_DELETE;
    default: return VK_NONE;
  }
}

}  // namespace

uint32_t sdl_key_to_vk(SDL_Keycode sym, uint16_t mod) {
  if (sym >= SDLK_a && sym <= SDLK_z) return 0x41 + static_cast<uint32_t>(sym - SDLK_a);
  if (sym >= SDLK_0 && sym <= SDLK_9) return 0x30 + static_cast<uint32_t>(sym - SDLK_0);
  if (sym >= SDLK_F1 && sym <= SDLK_F12) {
    const uint32_t vk = VK_F1 + static_cast<uint32_t>(sym - SDLK_F1);
    return vk == VK_F10 ? VK_NONE : vk;
  }
  if (sym >= SDLK_KP_1 && sym <= SDLK_KP_9) {
    if (!(mod & KMOD_NUM)) return keypad_without_numlock(sym);
    return VK_NUMPAD0 + 1 + static_cast<uint32_t>(sym - SDLK_KP_1);
  }
  switch (sym) {
    case SDLK_KP_0: return (mod & KMOD_NUM) ? VK_NUMPAD0 : VK_INSERT;
    case SDLK_KP_PERIOD: return (mod & KMOD_NUM) ? VK_DECIMAL : VK_DELETE;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    default: return VK_NONE;
  }
}

bool sdl_key_down_reaches_game(uint16_t mod) { return (mod & KMOD_ALT) == 0; }
