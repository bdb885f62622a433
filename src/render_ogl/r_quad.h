// The full-window quad that the presenters (OpenGL here, WebGL in render_webgl) draw every
// layer on: plain arithmetic on the display description, no GL.
#pragma once
#include <cstdint>

#include "graph/g_display.h"

enum : int32_t { R_QUAD_FLOATS = 16, R_QUAD_BYTES = R_QUAD_FLOATS * 4, R_VERTEX_STRIDE = 16 };

// Triangle-strip order: x, y, u, v per vertex; texture row 0 at the top of the window.
inline constexpr float R_QUAD_BASE[R_QUAD_FLOATS] = {
    1, -1, 1, 1,  //
    1, 1, 1, 0,   //
    -1, -1, 0, 1, //
    -1, 1, 0, 0,
};

// Half a window pixel in clip units, where a picture of whole pixels would start on a half
// pixel in the middle of `window` pixels: it goes to the left (top) one of the two middles,
// where the pointer's mapping puts it.
inline float r_half_pixel(int32_t window, float scale) {
  const int32_t picture = int32_t(float(window) * scale + 0.5f);
  return window > 0 && (window - picture) % 2 != 0 ? 1.0f / float(window) : 0.0f;
}

// The quad for a display: positions narrowed by its x and y scales (the 4:3 bars), texture
// coordinates cut to the framebuffer's corner of the power-of-two texture. Scaled from the
// constant base, so a second set-up does not scale twice.
inline void r_scale_quad(const g_display& display, float out[R_QUAD_FLOATS]) {
  const float u_scale = float(display.fb_width) / float(display.tex_width);
  const float v_scale = float(display.fb_height) / float(display.tex_height);
  const float dx = display.whole_multiples ? -r_half_pixel(display.window_width, display.x_scale) : 0.0f;
  const float dy = display.whole_multiples ? r_half_pixel(display.window_height, display.y_scale) : 0.0f;
  for (int32_t i = 0; i < R_QUAD_FLOATS; i += 4) {
    out[i + 0] = R_QUAD_BASE[i + 0] * display.x_scale + dx;
    out[i + 1] = R_QUAD_BASE[i + 1] * display.y_scale + dy;
    out[i + 2] = R_QUAD_BASE[i + 2] * u_scale;
    out[i + 3] = R_QUAD_BASE[i + 3] * v_scale;
  }
}
