// The per-frame present: changed rows up, then every active layer drawn, then the swap.
#include "graph/g_present.h"

#include "graph/g_state.h"
#include "platform.h"
#include "render_ogl/r_render.h"

void g_present() {
  if (g_state.offscreen) {  // nothing to show it on
    for (g_layer& layer : g_state.layers) g_rect_reset(&layer.g_upload_rect);
    return;
  }
  bool changed = false;
  for (int32_t i = 0; i < G_LAYER_COUNT; ++i) {
    g_layer* layer = &g_state.layers[i];
    g_rect* r = &layer->g_upload_rect;
    if (!layer->active || r->min_x > r->max_x) continue;
    changed = true;
    // Whole rows: the x extent does not narrow the upload.
    if (layer->image.pixels) r_update_texture(i, r->min_y, r->max_y, layer->image.pixels, layer->image.width);
    g_rect_reset(r);
  }
  if (!changed) return;  // nothing new: no clear, no draw, no swap
  r_clear();
  for (int32_t i = 0; i < G_LAYER_COUNT; ++i)
    if (g_state.layers[i].active) r_draw_texture(i);
  platform_swap_buffers();
}
