// Layers, the drawing target, dirty marking, clearing and the scratch fill buffers.
#include "graph/g_layer.h"

#include <cstring>

#include "graph/g_state.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "render_ogl/r_render.h"

void g_create_layer(int32_t n) {
  OS_ASSERT(n >= 0 && n < G_LAYER_COUNT);
  if (n < 0 || n >= G_LAYER_COUNT) return;
  g_layer* layer = &g_state.layers[n];
  if (layer->active) return;
  if (layer->image.pixels) {
    g_free_image(&layer->image);
    if (!g_state.offscreen) r_delete_texture(n);
  }
  layer->image = g_create_image(G_FB_WIDTH, G_FB_HEIGHT);
  if (!g_state.offscreen) r_create_texture(n, g_pow2_at_least(G_FB_WIDTH), g_pow2_at_least(G_FB_HEIGHT));
  g_mark_dirty(0, 0, 0, 0, n);
  layer->g_clear_rect = {0, G_FB_WIDTH, 0, G_FB_HEIGHT};
  layer->active = 1;
}

void g_set_layer(int32_t n) {
  bool valid = n >= 0 && n < G_LAYER_COUNT;
  OS_ASSERT(valid);
  if (!valid) return;
  OS_ASSERT(g_state.layers[n].active);
  if (!g_state.layers[n].active) return;
  g_state.current_layer = n;
  g_state.target = &g_state.layers[n].image;
}

void g_set_target(g_image* image) { g_state.target = image; }

g_image* g_get_target() { return g_state.target; }

int32_t g_get_current_layer() { return g_state.current_layer; }

const g_layer* g_get_layer(int32_t n) {
  if (n < 0 || n >= G_LAYER_COUNT) return nullptr;
  return &g_state.layers[n];
}

static int32_t g_clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : (v > hi ? hi : v); }

static void g_extend(g_rect* r, int32_t left, int32_t right, int32_t top, int32_t bottom) {
  if (left < r->min_x) r->min_x = left;
  if (right > r->max_x) r->max_x = right;
  if (top < r->min_y) r->min_y = top;
  if (bottom > r->max_y) r->max_y = bottom;
}

void g_mark_dirty(int32_t x0, int32_t y0, int32_t x1, int32_t y1, int32_t layer) {
  OS_ASSERT(layer >= 0 && layer < G_LAYER_COUNT);
  if (layer < 0 || layer >= G_LAYER_COUNT) return;
  g_layer* l = &g_state.layers[layer];
  int32_t w = l->image.width, h = l->image.height;
  int32_t left = g_clamp(x0 < x1 ? x0 : x1, 0, w);
  int32_t right = g_clamp(x0 < x1 ? x1 : x0, 0, w);
  int32_t top = g_clamp(y0 < y1 ? y0 : y1, 0, h);
  int32_t bottom = g_clamp(y0 < y1 ? y1 : y0, 0, h);
  g_extend(&l->g_upload_rect, left, right, top, bottom);
  g_extend(&l->g_clear_rect, left, right, top, bottom);
}

void g_clear_layer(g_pixel colour) {
  g_image* target = g_state.target;
  OS_ASSERT(target != nullptr);
  if (!target) return;
  g_layer* layer = &g_state.layers[g_state.current_layer];
  g_rect r = layer->g_clear_rect;
  if (r.min_x >= r.max_x) return;
  if (colour != 0) {
    g_fill_rect(r.min_x, r.min_y, r.max_x - r.min_x, r.max_y - r.min_y, colour);
  } else {
    // Whole rows: one zero fill, however narrow the drawn area was.
    int32_t top = g_clamp(r.min_y, 0, target->height);
    int32_t bottom = g_clamp(r.max_y, 0, target->height);
    if (target->pixels && bottom > top)
      memset(target->pixels + size_t(top) * size_t(target->width), 0,
             size_t(bottom - top) * size_t(target->width) * sizeof(g_pixel));
    g_mark_dirty(r.min_x, r.min_y, r.max_x, r.max_y, g_state.current_layer);
  }
  g_rect_reset(&layer->g_clear_rect);
}

void* os_get_fill_buf(int32_t slot, int32_t bytes) {
  bool valid = bytes >= 0 && slot >= 0 && slot < G_FILL_BUF_COUNT;
  OS_ASSERT(valid);
  if (!valid) return nullptr;
  if (bytes == 0) bytes = 1;
  if (bytes > g_state.fill_capacity[slot]) {
    if (g_state.fill_buf[slot]) os_free(&g_state.fill_buf[slot]);
    g_state.fill_buf[slot] = os_alloc(uint32_t(bytes));
    g_state.fill_capacity[slot] = bytes;
    os_log("os_get_fill_buf alloc : %d bytes\n", bytes);
  }
  OS_ASSERT(g_state.fill_buf[slot] != nullptr);
  return g_state.fill_buf[slot];
}
