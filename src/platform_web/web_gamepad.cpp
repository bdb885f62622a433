// Gamepads through the Gamepad API: every connected pad is read once per pass (a browser
// shows a pad to the page only once one of its buttons has been pressed; from that pass on it
// counts) and merged for the shared pad mapping. Nothing is read while the page has not the
// focus, so a held arrow is let go when the tab loses it.
#include <emscripten.h>

#include "pad/pad.h"
#include "platform.h"
#include "platform_web/web_input.h"
#include "platform_web/web_pad.h"

enum : int32_t { WEB_PAD_MOST = 8 };

// Fills out with {pressed buttons (bit i: buttons[i], the first 17), axis 0, axis 1} for each
// connected pad, at most `most`; returns how many.
EM_JS(int, web_gamepads_js, (double* out, int most), {
  const pads = navigator.getGamepads ? navigator.getGamepads() : [];
  let n = 0;
  for (let i = 0; pads && i < pads.length && n < most; i++) {
    const pad = pads[i];
    if (!pad || !pad.connected) continue;
    let pressed = 0;
    for (let b = 0; b < pad.buttons.length && b < 17; b++) if (pad.buttons[b] && pad.buttons[b].pressed) pressed |= 1 << b;
    const at = (out >> 3) + n * 3;
    HEAPF64[at] = pressed;
    HEAPF64[at + 1] = pad.axes.length > 0 ? pad.axes[0] : 0;
    HEAPF64[at + 2] = pad.axes.length > 1 ? pad.axes[1] : 0;
    n++;
  }
  return n;
});

void platform_read_pads(pad_state* merged) {
  *merged = pad_state{0, 0, 0};
  if (!web_input_focused()) return;
  double readings[WEB_PAD_MOST * 3];
  const int32_t count = web_gamepads_js(readings, WEB_PAD_MOST);
  for (int32_t i = 0; i < count && i < WEB_PAD_MOST; ++i) {
    const web_pad_reading reading{uint32_t(readings[i * 3]), readings[i * 3 + 1], readings[i * 3 + 2]};
    const pad_state one = web_pad_state(reading);
    pad_merge(merged, &one);
  }
}
