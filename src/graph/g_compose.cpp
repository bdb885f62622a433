// Software composition of the layers and its checksum (see g_compose.h).
#include "graph/g_compose.h"

#include "graph/g_layer.h"
#include "os_tools/os_util.h"

// c = (s * a + d * (255 - a) + 127) / 255 for red, green and blue at once: each channel in a
// 16-bit lane of a 64-bit word (the sums stay below 65536), and x / 255 rounded down as
// (x + 1 + (x >> 8)) >> 8, which is exact for every x below 65536.
static inline uint64_t g_spread(uint32_t p) {
  return uint64_t(p & 0xFFu) | (uint64_t(p & 0xFF00u) << 8) | (uint64_t(p & 0xFF0000u) << 16);
}

static inline uint32_t g_blend_pixel(uint32_t s, uint32_t d) {
  constexpr uint64_t LANE_LOW = 0x00FF00FF00FFull;
  const uint64_t a = s >> 24;
  const uint64_t x = g_spread(s) * a + g_spread(d) * (255 - a) + 0x007F007F007Full;
  const uint64_t c = ((x + 0x000100010001ull + ((x >> 8) & LANE_LOW)) >> 8) & LANE_LOW;
  return 0xFF000000u | uint32_t(c & 0xFFu) | uint32_t((c >> 8) & 0xFF00u) | uint32_t((c >> 16) & 0xFF0000u);
}

void g_compose_frame(uint32_t* out) {
  const int32_t n = G_FB_WIDTH * G_FB_HEIGHT;
  for (int32_t i = 0; i < n; ++i) out[i] = 0xff000000u;
  for (int32_t l = 0; l < G_LAYER_COUNT; ++l) {
    const g_layer* layer = g_get_layer(l);
    if (!layer || !layer->active || !layer->image.pixels) continue;
    if (layer->image.width != G_FB_WIDTH || layer->image.height != G_FB_HEIGHT) continue;
    const uint32_t* src = layer->image.pixels;
    if (l == 0) {
      for (int32_t i = 0; i < n; ++i) out[i] = src[i] | 0xff000000u;  // the bottom layer is drawn opaque
      continue;
    }
    for (int32_t i = 0; i < n; ++i) {
      const uint32_t s = src[i];
      const uint32_t a = s >> 24;
      if (a == 0) continue;
      if (a == 255) {
        out[i] = s;
        continue;
      }
      out[i] = g_blend_pixel(s, out[i]);
    }
  }
}

uint64_t g_frame_checksum() {
  static uint32_t frame[G_FB_WIDTH * G_FB_HEIGHT];
  g_compose_frame(frame);
  uint64_t h = OS_FNV1A_START;
  for (uint32_t p : frame)
    for (int32_t c = 0; c < 24; c += 8) h = os_fnv1a(h, uint8_t(p >> c));
  return h;
}
