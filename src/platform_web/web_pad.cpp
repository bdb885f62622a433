// The browser's pad readings as pad states (see web_pad.h).
#include "platform_web/web_pad.h"

static int32_t web_pad_axis(double v) {
  if (!(v >= -1.0 && v <= 1.0)) return v > 1.0 ? 32767 : v < -1.0 ? -32768 : 0;  // NaN: the middle
  const double scaled = v * 32767.0;
  return int32_t(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

pad_state web_pad_state(const web_pad_reading& reading) {
  static const struct {
    uint32_t web;
    uint32_t pad;
  } BUTTONS[] = {
      {WEB_PAD_UP, PAD_UP},     {WEB_PAD_DOWN, PAD_DOWN},   {WEB_PAD_LEFT, PAD_LEFT}, {WEB_PAD_RIGHT, PAD_RIGHT},
      {WEB_PAD_A, PAD_A},       {WEB_PAD_B, PAD_B},         {WEB_PAD_X, PAD_X},       {WEB_PAD_Y, PAD_Y},
      {WEB_PAD_START, PAD_START}, {WEB_PAD_BACK, PAD_BACK},
  };
  pad_state state = {0, web_pad_axis(reading.axis_x), web_pad_axis(reading.axis_y)};
  for (const auto& b : BUTTONS)
    if (reading.pressed & b.web) state.buttons |= b.pad;
  return state;
}
