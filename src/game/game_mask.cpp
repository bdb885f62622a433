// The screen mask: dark edges and rounded dark corners, and fine stripes with a faint red
// grain, all in the alpha of a black image laid over everything like an old monitor.
#include <cmath>

#include "game/game.h"
#include "os_tools/os_log.h"
#include "os_tools/os_util.h"

static int32_t clamp_byte(int32_t v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

void mask_build(g_image* image) {
  OS_ASSERT(image != nullptr && image->pixels != nullptr);
  if (!image || !image->pixels) return;
  const int32_t w = image->width, h = image->height;
  g_pixel* p = image->pixels;

  // Corner shading, computed for the top-left quarter and mirrored into the other three.
  for (int32_t y = 0; y < h / 2; ++y) {
    for (int32_t x = 0; x < w / 2; ++x) {
      int32_t v = 255;
      if (x != 0 && y != 0) {
        const int32_t a = int32_t(255.0 - 70.0 * std::log(double(x)));
        const int32_t b = int32_t(70.0 * std::log(double(y)) - 255.0);
        v = a - b;
      }
      const g_pixel value = g_pixel(clamp_byte(v)) << 24;
      p[y * w + x] = value;
      p[y * w + (w - 1 - x)] = value;
      p[(h - 1 - y) * w + x] = value;
      p[(h - 1 - y) * w + (w - 1 - x)] = value;
    }
  }

  // Stripes every third row and column, and one random number per pixel for the grain.
  static constexpr int32_t STRIPE[3] = {10, 20, 0};
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      g_pixel& d = p[y * w + x];
      const int32_t alpha = int32_t(d >> 24) + STRIPE[y % 3] + STRIPE[x % 3];
      const uint32_t r = os_rand();
      uint32_t red = uint32_t((uint64_t(r) * 10u) >> 32);
      if (x % 3 == 0) red = 0;
      d = (g_pixel(clamp_byte(alpha)) << 24) + red;
    }
  }
}
