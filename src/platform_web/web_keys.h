// Browser key events to Windows virtual-key codes: the game's key map and counters speak
// virtual keys, so the browser back end hands os_key_event what a Windows key message would
// carry. Plain code, no browser headers: tested on the desktop too.
#pragma once
#include <cstdint>

// The virtual-key code of a key by its KeyboardEvent.code (the physical key, "KeyA",
// "ArrowLeft", "Numpad4") and .key (what it types now, which tells whether Num Lock is on), or
// 0 for a key that has no code or that Windows would send as a system key (Alt, F10).
uint32_t web_key_to_vk(const char* code, const char* key);

// Whether a key-down reaches the game: with Alt held Windows sends system-key messages, which
// the game never sees. Key-ups always pass, so that no key stays down.
bool web_key_down_reaches_game(bool alt);

// Whether the page keeps the browser's own action for the key from happening (arrows and
// Space would scroll, Backspace and Tab would move away). Function keys and combinations with
// Control or the command key are left to the browser (reload, developer tools, copy).
bool web_key_claimed(uint32_t vk, bool ctrl, bool meta);
