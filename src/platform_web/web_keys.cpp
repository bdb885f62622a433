// KeyboardEvent.code names to Windows virtual-key codes.
#include "platform_web/web_keys.h"

#include <cstring>

namespace {

struct web_key_name {
  const char* code;
  uint8_t vk;
};

// Keys whose code names them directly. Letters, digits, function keys and the keypad are
// worked out below.
constexpr web_key_name WEB_KEYS[] = {
    {"ArrowLeft", 0x25},   {"ArrowUp", 0x26},     {"ArrowRight", 0x27},   {"ArrowDown", 0x28},
    {"Escape", 0x1B},      {"Enter", 0x0D},       {"Space", 0x20},        {"Delete", 0x2E},
    {"Backspace", 0x08},   {"Tab", 0x09},         {"Insert", 0x2D},       {"Home", 0x24},
    {"End", 0x23},         {"PageUp", 0x21},      {"PageDown", 0x22},     {"Pause", 0x13},
    {"CapsLock", 0x14},    {"ControlLeft", 0x11}, {"ControlRight", 0x11}, {"ShiftLeft", 0x10},
    {"ShiftRight", 0x10},  {"NumpadMultiply", 0x6A}, {"NumpadAdd", 0x6B}, {"NumpadSubtract", 0x6D},
    {"NumpadDivide", 0x6F}, {"NumpadEnter", 0x0D}, {"Semicolon", 0xBA},   {"Equal", 0xBB},
    {"Comma", 0xBC},       {"Minus", 0xBD},       {"Period", 0xBE},       {"Slash", 0xBF},
    {"Backquote", 0xC0},   {"BracketLeft", 0xDB}, {"Backslash", 0xDC},    {"BracketRight", 0xDD},
    {"Quote", 0xDE},
};

// Keypad 0..9 with Num Lock off, as Windows reports them: the cursor keys they carry.
constexpr uint8_t WEB_KEYPAD_CURSOR[10] = {0x2D, 0x23, 0x28, 0x22, 0x25, 0x0C, 0x27, 0x24, 0x26, 0x21};

bool starts_with(const char* text, const char* prefix) {
  return std::strncmp(text, prefix, std::strlen(prefix)) == 0;
}

// The number after a prefix ("F12" -> 12), or -1 when the rest is not a number 0..99.
int number_after(const char* text, const char* prefix) {
  const char* p = text + std::strlen(prefix);
  int n = 0;
  int digits = 0;
  for (; *p >= '0' && *p <= '9' && digits < 3; ++p, ++digits) n = n * 10 + (*p - '0');
  return (digits == 0 || digits > 2 || *p != 0) ? -1 : n;
}

}  // namespace

uint32_t web_key_to_vk(const char* code, const char* key) {
  if (!code) return 0;
  if (!key) key = "";
  const size_t length = std::strlen(code);
  if (length == 4 && starts_with(code, "Key") && code[3] >= 'A' && code[3] <= 'Z') return uint32_t(code[3]);
  if (length == 6 && starts_with(code, "Digit") && code[5] >= '0' && code[5] <= '9') return uint32_t(code[5]);
  if (code[0] == 'F') {
    const int n = number_after(code, "F");
    if (n >= 1 && n <= 12) return n == 10 ? 0 : 0x70u + uint32_t(n - 1);
  }
  if (starts_with(code, "Numpad")) {
    const int n = number_after(code, "Numpad");
    const bool typed_digit = key[0] >= '0' && key[0] <= '9' && key[1] == 0;
    if (n >= 0 && n <= 9) return typed_digit ? 0x60u + uint32_t(n) : WEB_KEYPAD_CURSOR[n];
    if (std::strcmp(code, "NumpadDecimal") == 0) {
      const bool typed_mark = (key[0] == '.' || key[0] == ',') && key[1] == 0;
      return typed_mark ? 0x6E : 0x2E;
    }
  }
  for (const web_key_name& k : WEB_KEYS)
    if (std::strcmp(code, k.code) == 0) return k.vk;
  return 0;
}

bool web_key_down_reaches_game(bool alt) { return !alt; }

bool web_key_claimed(uint32_t vk, bool ctrl, bool meta) {
  const bool function_key = vk >= 0x70 && vk <= 0x7B;
  return vk != 0 && !function_key && !ctrl && !meta;
}
