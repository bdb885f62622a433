// SDL key events to Windows virtual-key codes: the game's key map and its counters speak
// virtual keys, so the SDL back end hands os_key_event what a Windows message would carry.
#pragma once
#include <SDL.h>
#include <cstdint>

// The virtual-key code (1..255) of a key going down or up, or 0 for a key Windows would not
// deliver as a plain key message (Alt and F10 are system keys there) or that has no code.
// Keypad digits follow Num Lock as on Windows: off, they are the cursor keys.
uint32_t sdl_key_to_vk(SDL_Keycode sym, uint16_t mod);

// Whether a key-down should reach the game: with Alt held Windows sends system-key messages,
// which the window procedure leaves to the system. Key-ups always pass (a key released while
// Alt is held must not stay down).
bool sdl_key_down_reaches_game(uint16_t mod);
