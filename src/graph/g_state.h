// The graph module's one state record, shared by its source files only (not for callers).
#pragma once
#include <cstdint>

#include "graph/g_display.h"
#include "graph/g_image.h"
#include "graph/g_layer.h"

struct g_state_record {
  g_display display;
  bool offscreen;           // g_init_offscreen: no window, no presenter
  int32_t requested_width;  // from g_set_hw_resolution; 0 = none asked
  int32_t requested_height;
  g_layer layers[G_LAYER_COUNT];
  int32_t current_layer;
  g_image* target;
  void* fill_buf[G_FILL_BUF_COUNT];
  int32_t fill_capacity[G_FILL_BUF_COUNT];
  const g_image* texture;  // bound by g_set_texture
  int32_t texture_pw;
  int32_t texture_ph;
};

extern g_state_record g_state;

// An empty rectangle: min 65535, max 0.
inline void g_rect_reset(g_rect* rect) {
  rect->min_x = G_RECT_EMPTY_MIN;
  rect->min_y = G_RECT_EMPTY_MIN;
  rect->max_x = 0;
  rect->max_y = 0;
}

// Smallest power of two >= size (1 for sizes below 2).
inline int32_t g_pow2_at_least(int32_t size) {
  int32_t p = 1;
  while (p < size && p < (int32_t(1) << 30)) p <<= 1;
  return p;
}
