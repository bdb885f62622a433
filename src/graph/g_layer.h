// The five 320 x 240 layers with their upload and clear rectangles, the drawing target and
// the scratch fill buffers. Owned by graph; the game selects layers and targets every frame,
// the presenter (g_present) reads the upload rectangles.
#pragma once
#include <cstdint>

#include "graph/g_image.h"

enum : int32_t {
  G_FB_WIDTH = 320,
  G_FB_HEIGHT = 240,
  G_LAYER_COUNT = 5,
  G_FILL_BUF_COUNT = 7,
  G_RECT_EMPTY_MIN = 0xFFFF,  // an empty rectangle: min 65535, max 0
};

// min inclusive, max exclusive; empty while min_x > max_x.
struct g_rect {
  int32_t min_x;
  int32_t max_x;
  int32_t min_y;
  int32_t max_y;
};

struct g_layer {
  g_image image;         // 320 x 240, null until the layer is created
  uint8_t active;        // set once the layer exists
  g_rect g_upload_rect;  // changed since the presenter last uploaded the layer
  g_rect g_clear_rect;   // drawn since the layer was last cleared
};

// Creates layer n (0..4) with a zero-filled image and its texture; an existing layer is kept.
void g_create_layer(int32_t n);
// Makes layer n (active, below 5) the current layer and its image the target.
void g_set_layer(int32_t n);
// Makes image the target; the current layer, whose rectangles later drawing extends, stays.
void g_set_target(g_image* image);
// The target image all drawing writes into (null before any layer or target is set).
g_image* g_get_target();
// The number of the current layer.
int32_t g_get_current_layer();
// Layer slot n (0..4) for reading; null for a bad number.
const g_layer* g_get_layer(int32_t n);
// Extends both rectangles of layer by the area between the corners (any order), clamped to
// the layer's size.
void g_mark_dirty(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer);
// Erases what was drawn on the current layer since its last clear (colour 0 zeroes whole rows).
void g_clear_layer(g_pixel colour);
// Scratch memory of at least bytes bytes in slot (0..6), grown on demand, contents undefined.
void* os_get_fill_buf(int32_t slot, int32_t bytes);
