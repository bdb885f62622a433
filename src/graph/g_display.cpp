// Display set-up and tear-down: the window through the platform, the scales that keep the
// picture 4:3, the presenter, layer 0.
#include "graph/g_display.h"

#include "graph/g_state.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "render_ogl/r_render.h"

g_state_record g_state;

void g_set_hw_resolution(int32_t width, int32_t height) {
  OS_ASSERT(width > 0 && height > 0);
  g_state.requested_width = width;
  g_state.requested_height = height;
  os_log("set hw resolution (%d,%d)\n", width, height);
}

// The picture fills the window in the tighter direction; the other scale shrinks to keep 4:3.
// Asked for whole multiples, it is the largest one that fits, where one does.
static void g_compute_scales(g_display* d) {
  float sx = float(d->window_width) / float(d->fb_width);
  float sy = float(d->window_height) / float(d->fb_height);
  const int32_t whole = d->fb_width > 0 && d->fb_height > 0
                            ? (d->window_width / d->fb_width < d->window_height / d->fb_height
                                   ? d->window_width / d->fb_width
                                   : d->window_height / d->fb_height)
                            : 0;
  if (d->whole_multiples && whole >= 1) {
    d->x_scale = float(whole * d->fb_width) / float(d->window_width);
    d->y_scale = float(whole * d->fb_height) / float(d->window_height);
  } else if (!(sx > 0.0f && sy > 0.0f)) {  // no window size: show the picture unscaled
    d->x_scale = 1.0f;
    d->y_scale = 1.0f;
  } else if (!(sx < sy)) {
    d->y_scale = 1.0f;
    d->x_scale = sy / sx;
  } else {
    d->x_scale = 1.0f;
    d->y_scale = sx / sy;
  }
}

bool g_init_display(bool fullscreen) {
  g_display* d = &g_state.display;
  os_log("g_init_display\n");
  OS_ASSERT(!d->initialised);
  d->window_width = G_FB_WIDTH;
  d->window_height = G_FB_HEIGHT;
  if (g_state.requested_width > 0) {
    d->window_width = g_state.requested_width;
    os_log("set hw resolution w = %d\n", d->window_width);
  }
  if (g_state.requested_height > 0) {
    d->window_height = g_state.requested_height;
    os_log("set hw resolution h = %d\n", d->window_height);
  }
  d->fb_width = G_FB_WIDTH;
  d->fb_height = G_FB_HEIGHT;
  d->fullscreen = fullscreen ? 1 : 0;
  d->initialised = 1;
  g_compute_scales(d);

  bool opened = platform_open_window(d);

  g_compute_scales(d);  // a fullscreen window has the screen's size now
  d->tex_width = g_pow2_at_least(d->fb_width);
  d->tex_height = g_pow2_at_least(d->fb_height);
  r_init(d);
  for (g_layer& layer : g_state.layers) g_rect_reset(&layer.g_upload_rect);
  g_create_layer(0);
  os_log("g_init_display ok\n");
  g_set_layer(0);
  return opened;
}

bool g_init_offscreen() {
  g_display* d = &g_state.display;
  OS_ASSERT(!d->initialised);
  *d = g_display{};
  d->fb_width = d->window_width = G_FB_WIDTH;
  d->fb_height = d->window_height = G_FB_HEIGHT;
  d->tex_width = g_pow2_at_least(d->fb_width);
  d->tex_height = g_pow2_at_least(d->fb_height);
  d->initialised = 1;
  g_compute_scales(d);
  g_state.offscreen = true;
  for (g_layer& layer : g_state.layers) g_rect_reset(&layer.g_upload_rect);
  g_create_layer(0);
  g_set_layer(0);
  return true;
}

void g_deinit_display() {
  g_display* d = &g_state.display;
  os_log("g_deinit_display\n");
  OS_ASSERT(d->initialised);
  for (int32_t i = 0; i < G_FILL_BUF_COUNT; ++i) {
    if (g_state.fill_buf[i]) os_free(&g_state.fill_buf[i]);
    g_state.fill_capacity[i] = 0;
  }
  for (int32_t i = 0; i < G_LAYER_COUNT; ++i) {
    g_layer* layer = &g_state.layers[i];
    if (layer->image.pixels) {
      g_free_image(&layer->image);
      if (!g_state.offscreen) r_delete_texture(i);
    }
    // A display set up again later must create its layers afresh, not draw into freed pixels.
    layer->active = 0;
  }
  g_state.target = nullptr;
  if (!g_state.offscreen) platform_close_window(d);
  g_state.offscreen = false;
  d->initialised = 0;
}

void g_resize_display(int32_t window_width, int32_t window_height) {
  g_display* d = &g_state.display;
  OS_ASSERT(d->initialised);
  if (!d->initialised || window_width < 1 || window_height < 1) return;
  d->window_width = window_width;
  d->window_height = window_height;
  g_compute_scales(d);
  r_init(d);
  // Every layer goes up again in full (the upload rectangle only: what the game clears next
  // must not change, or the frames would differ from a run at another window size).
  for (g_layer& layer : g_state.layers) {
    if (!layer.active) continue;
    layer.g_upload_rect = g_rect{0, d->fb_width, 0, d->fb_height};
  }
}

g_display* g_get_display() {
  OS_ASSERT(g_state.display.initialised);
  return &g_state.display;
}
