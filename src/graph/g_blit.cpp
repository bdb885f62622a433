// The clipped rectangle copy in its three modes, and the clipped rectangle fill.
#include <cstring>

#include "graph/g_image.h"
#include "graph/g_layer.h"
#include "os_tools/os_log.h"

// Clipping runs in 64 bits so extreme coordinates cannot wrap; marks get values clamped
// into a range that the layer clamp then narrows to the layer.
static int32_t g_narrow(int64_t v) {
  const int64_t limit = int64_t(1) << 30;
  return int32_t(v < -limit ? -limit : (v > limit ? limit : v));
}

static inline g_pixel g_blend(g_pixel s, g_pixel d) {
  const uint32_t a = s >> 24;
  if (a == 255) return s;
  if (a == 0) return d;
  const uint32_t b = d >> 24;
  // The old pixel weighs by its own alpha, and the sums are not clamped.
  const uint32_t r = (((s & 0xFF) * a + (d & 0xFF) * b) >> 8) & 0xFF;
  const uint32_t g = ((((s >> 8) & 0xFF) * a + ((d >> 8) & 0xFF) * b) >> 8) & 0xFF;
  const uint32_t bl = ((((s >> 16) & 0xFF) * a + ((d >> 16) & 0xFF) * b) >> 8) & 0xFF;
  return ((a | b) << 24) | (bl << 16) | (g << 8) | r;
}

void g_blit(const g_image* source, int32_t x, int32_t y, int32_t sx, int32_t sy, int32_t width,
            int32_t height, uint8_t mode) {
  g_image* target = g_get_target();
  OS_ASSERT(target != nullptr);
  OS_ASSERT(source != nullptr);
  if (!target || !source) return;
  int64_t dx = x, dy = y, ssx = sx, ssy = sy, w = width, h = height;
  const int64_t tw = target->width, th = target->height;
  if (dx >= tw || dy >= th || dx + w < 0 || dy + h < 0) return;
  if (dy < 0) { ssy -= dy; h += dy; dy = 0; }
  if (dx < 0) { ssx -= dx; w += dx; dx = 0; }
  if (ssx < 0) { dx -= ssx; w += ssx; ssx = 0; }
  if (ssy < 0) { dy -= ssy; h += ssy; ssy = 0; }
  if (ssx + w > source->width) w = source->width - ssx;
  if (ssy + h > source->height) h = source->height - ssy;
  if (dx + w > tw) w = tw - dx;
  if (dy + h > th) h = th - dy;
  g_mark_dirty(g_narrow(dx), g_narrow(dy), g_narrow(dx + w), g_narrow(dy + h), g_get_current_layer());
  if (w <= 0 || h <= 0 || !source->pixels || !target->pixels) return;
  if (mode == G_BLIT_COPY && ssx >= source->width) return;

  const g_pixel* src = source->pixels + ssy * source->width + ssx;
  g_pixel* dst = target->pixels + dy * tw + dx;
  const size_t run = size_t(w);
  if (mode == G_BLIT_COPY) {
    for (int64_t i = 0; i < h; ++i, src += source->width, dst += tw)
      memmove(dst, src, run * sizeof(g_pixel));  // the source may be the target itself
  } else if (mode == G_BLIT_KEY) {
    for (int64_t i = 0; i < h; ++i, src += source->width, dst += tw)
      for (size_t j = 0; j < run; ++j)
        if ((src[j] >> 24) == 255) dst[j] = src[j];
  } else {
    for (int64_t i = 0; i < h; ++i, src += source->width, dst += tw)
      for (size_t j = 0; j < run; ++j) dst[j] = g_blend(src[j], dst[j]);
  }
}

void g_draw_image(const g_image* image, int32_t x, int32_t y) {
  OS_ASSERT(image != nullptr);
  if (!image) return;
  g_blit(image, x, y, 0, 0, image->width, image->height, G_BLIT_COPY);
}

void g_fill_rect(int32_t x, int32_t y, int32_t width, int32_t height, g_pixel value) {
  g_image* target = g_get_target();
  OS_ASSERT(target != nullptr);
  if (!target || !target->pixels) return;
  int64_t fx = x, fy = y, w = width, h = height;
  const int64_t tw = target->width, th = target->height;
  if (fy < 0) { h += fy; fy = 0; }
  if (fx < 0) { w += fx; fx = 0; }
  if (fy + h > th) h = th - fy;
  if (fx + w > tw) w = tw - fx;
  if (h <= 0 || w <= 0) return;
  g_mark_dirty(int32_t(fx), int32_t(fy), int32_t(fx + w), int32_t(fy + h), g_get_current_layer());
  g_pixel* dst = target->pixels + fy * tw + fx;
  if (fx == 0 && w == tw && value == 0) {
    memset(dst, 0, size_t(w) * size_t(h) * sizeof(g_pixel));
    return;
  }
  g_pixel* row = static_cast<g_pixel*>(os_get_fill_buf(0, int32_t(w * 4)));
  if (!row) return;
  if (value == 0) {
    memset(row, 0, size_t(w) * sizeof(g_pixel));
  } else {
    for (int64_t i = 0; i < w; ++i) row[i] = value;
  }
  for (int64_t i = 0; i < h; ++i, dst += tw) memcpy(dst, row, size_t(w) * sizeof(g_pixel));
}
