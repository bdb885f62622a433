// The recording presenter of the headless platform (see headless_render.h).
#include "platform_headless/headless_render.h"

#include <cstring>

#include "graph/g_display.h"
#include "os_tools/os_log.h"
#include "render_ogl/r_render.h"

static struct {
  headless_render_call log[HEADLESS_R_LOG_SIZE];
  int32_t calls;
  uint32_t names[R_TEXTURE_COUNT];
  uint32_t next_name;
  bool blending;
  uint32_t pending_error;
  int32_t frame_width;
  int32_t frame_height;
  uint32_t textures[R_TEXTURE_COUNT][HEADLESS_R_TEX_WIDTH * HEADLESS_R_TEX_HEIGHT];
  uint32_t frame[HEADLESS_R_TEX_WIDTH * HEADLESS_R_TEX_HEIGHT];
} hr;

void headless_render_reset() {
  memset(&hr, 0, sizeof hr);
}

void headless_render_clear_log() { hr.calls = 0; }

int32_t headless_render_call_count() { return hr.calls; }

const headless_render_call* headless_render_call_at(int32_t index) {
  if (index < 0 || index >= hr.calls || index >= HEADLESS_R_LOG_SIZE) return nullptr;
  return &hr.log[index];
}

int32_t headless_render_count(uint8_t op) {
  int32_t n = 0;
  for (int32_t i = 0; i < hr.calls && i < HEADLESS_R_LOG_SIZE; ++i) n += hr.log[i].op == op;
  return n;
}

void headless_render_record(uint8_t op, int32_t layer, int32_t a, int32_t b) {
  if (hr.calls < HEADLESS_R_LOG_SIZE) hr.log[hr.calls] = {op, uint8_t(hr.blending), layer, a, b};
  ++hr.calls;
}

uint32_t headless_render_texture(int32_t layer) {
  return layer >= 0 && layer < R_TEXTURE_COUNT ? hr.names[layer] : 0;
}

const uint32_t* headless_render_texture_pixels(int32_t layer) {
  return layer >= 0 && layer < R_TEXTURE_COUNT ? hr.textures[layer] : nullptr;
}

bool headless_render_blending() { return hr.blending; }
const uint32_t* headless_render_frame() { return hr.frame; }
int32_t headless_render_frame_width() { return hr.frame_width; }
int32_t headless_render_frame_height() { return hr.frame_height; }
void headless_render_inject_error(uint32_t code) { hr.pending_error = code; }

static bool headless_layer_ok(int32_t layer) {
  OS_ASSERT(layer >= 0 && layer < R_TEXTURE_COUNT);
  return layer >= 0 && layer < R_TEXTURE_COUNT;
}

bool r_init(g_display* display) {
  os_log("RENDER ogl ver:%d\n", 1);
  hr.frame_width = 0;
  hr.frame_height = 0;
  if (display && display->fb_width > 0 && display->fb_width <= HEADLESS_R_TEX_WIDTH &&
      display->fb_height > 0 && display->fb_height <= HEADLESS_R_TEX_HEIGHT) {
    hr.frame_width = display->fb_width;
    hr.frame_height = display->fb_height;
  }
  headless_render_record(HEADLESS_R_INIT, -1, hr.frame_width, hr.frame_height);
  os_log("olg init ok\n");
  return true;
}

void r_create_texture(int32_t layer, int32_t width, int32_t height) {
  if (!headless_layer_ok(layer)) return;
  os_log("r_create_texture:%d (%d,%d)\n", layer, width, height);
  if (layer != 0) hr.blending = true;
  hr.names[layer] = ++hr.next_name;
  memset(hr.textures[layer], 0, sizeof hr.textures[layer]);
  headless_render_record(HEADLESS_R_CREATE, layer, width, height);
}

void r_delete_texture(int32_t layer) {
  if (!headless_layer_ok(layer) || hr.names[layer] == 0) return;
  os_log("r_delete_texture:%d\n", layer);
  hr.names[layer] = 0;
  headless_render_record(HEADLESS_R_DELETE, layer, 0, 0);
}

void r_update_texture(int32_t layer, int32_t first_row, int32_t end_row, const uint32_t* pixels,
                      int32_t width) {
  if (!headless_layer_ok(layer)) return;
  headless_render_record(HEADLESS_R_UPDATE, layer, first_row, end_row);
  if (!pixels || end_row <= first_row || first_row < 0 || end_row > HEADLESS_R_TEX_HEIGHT ||
      width <= 0 || width > HEADLESS_R_TEX_WIDTH)
    return;
  for (int32_t y = first_row; y < end_row; ++y)
    memcpy(&hr.textures[layer][y * HEADLESS_R_TEX_WIDTH], pixels + int64_t(y) * width,
           size_t(width) * 4);
}

// Source-alpha blending as the card does it: c = s * a + d * (1 - a), in 8-bit steps.
static uint32_t headless_blend(uint32_t s, uint32_t d) {
  const uint32_t a = s >> 24;
  if (a == 0) return d | 0xFF000000u;  // the same results as the sums below, sooner
  if (a == 255) return s;
  uint32_t out = 0xFF000000u;
  for (int32_t shift = 0; shift < 24; shift += 8) {
    const uint32_t sc = (s >> shift) & 0xFF, dc = (d >> shift) & 0xFF;
    out |= ((sc * a + dc * (255 - a) + 127) / 255) << shift;
  }
  return out;
}

void r_draw_texture(int32_t layer) {
  if (layer == 0) hr.blending = false;
  if (layer == 1) hr.blending = true;
  headless_render_record(HEADLESS_R_DRAW, layer, 0, 0);
  if (!headless_layer_ok(layer)) return;
  for (int32_t y = 0; y < hr.frame_height; ++y)
    for (int32_t x = 0; x < hr.frame_width; ++x) {
      const uint32_t s = hr.textures[layer][y * HEADLESS_R_TEX_WIDTH + x];
      uint32_t* d = &hr.frame[y * hr.frame_width + x];
      *d = hr.blending ? headless_blend(s, *d) : (s | 0xFF000000u);  // the window has no alpha
    }
}

void r_clear() {
  memset(hr.frame, 0, sizeof hr.frame);
  for (int32_t i = 0; i < hr.frame_width * hr.frame_height; ++i) hr.frame[i] = 0xFF000000u;
  headless_render_record(HEADLESS_R_CLEAR, -1, 0, 0);
}

bool r_check_error() {
  if (hr.pending_error == 0) return true;
  os_log("error:0x%X\n", hr.pending_error);
  hr.pending_error = 0;
  return false;
}
