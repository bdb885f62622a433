// Image records: creation, freeing, colour keying, enlargement with mirroring, outlining.
#include "graph/g_image.h"

#include <cstring>

#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"

g_image g_create_image(int32_t width, int32_t height) {
  g_image image = {0, 0, nullptr};
  bool sane = width > 0 && height > 0 && int64_t(width) * int64_t(height) <= G_IMAGE_MAX_PIXELS;
  OS_ASSERT(sane);
  if (!sane) return image;
  image.pixels = static_cast<g_pixel*>(os_alloc(uint32_t(width) * uint32_t(height) * 4u));
  OS_ASSERT(image.pixels != nullptr);
  image.width = width;
  image.height = height;
  return image;
}

void g_free_image(g_image* image) {
  OS_ASSERT(image != nullptr && image->pixels != nullptr);
  if (!image) return;
  if (image->pixels) os_free(&image->pixels);
  image->width = 0;
  image->height = 0;
}

void g_make_transparent(g_image* image, g_pixel value) {
  OS_ASSERT(image != nullptr);
  if (!image || !image->pixels) return;
  int64_t count = int64_t(image->width) * image->height;
  for (int64_t i = 0; i < count; ++i)
    if (image->pixels[i] == value) image->pixels[i] = 0;
}

void g_copy_scaled(const g_image* source, int32_t width, int32_t height, g_image* destination,
                   int32_t x_factor, int32_t y_factor) {
  OS_ASSERT(destination != nullptr && source != nullptr && source->pixels != nullptr);
  if (!destination || !source || !source->pixels || !destination->pixels) return;
  bool fits = width <= source->width && height <= source->height && width <= destination->width &&
              height <= destination->height;
  OS_ASSERT(fits);
  if (!fits || width <= 0 || height <= 0) return;

  if (width == source->width && height == source->height && x_factor == 1 && y_factor == 1) {
    memmove(destination->pixels, source->pixels, size_t(width) * size_t(height) * sizeof(g_pixel));
    return;
  }
  bool mirror_x = x_factor < 0, mirror_y = y_factor < 0;
  if (mirror_x) x_factor = -x_factor;
  if (mirror_y) y_factor = -y_factor;
  OS_ASSERT(x_factor >= 1 && y_factor >= 1);
  if (x_factor < 1 || y_factor < 1) return;

  // Blocks that would fall outside a destination too small for the factors are cut off.
  const int64_t dw = destination->width, dh = destination->height;
  for (int32_t y = 0; y < height; ++y) {
    const int32_t sy = mirror_y ? height - 1 - y : y;
    const g_pixel* src_row = source->pixels + int64_t(sy) * source->width;
    const int64_t top = int64_t(y) * y_factor;
    if (top >= dh) break;
    g_pixel* first = destination->pixels + top * dw;
    for (int32_t x = 0; x < width; ++x) {
      const g_pixel p = src_row[mirror_x ? width - 1 - x : x];
      const int64_t left = int64_t(x) * x_factor;
      if (left >= dw) break;
      const int64_t end = left + x_factor < dw ? left + x_factor : dw;
      for (int64_t i = left; i < end; ++i) first[i] = p;
    }
    const int64_t used = int64_t(width) * x_factor < dw ? int64_t(width) * x_factor : dw;
    for (int64_t r = 1; r < y_factor && top + r < dh; ++r)
      memcpy(first + r * dw, first, size_t(used) * sizeof(g_pixel));
  }
}

g_image g_scale_image(const g_image* source, int32_t x_factor, int32_t y_factor) {
  g_image result = {0, 0, nullptr};
  OS_ASSERT(source != nullptr && source->pixels != nullptr);
  OS_ASSERT(x_factor >= 1 && y_factor >= 1);
  if (!source || !source->pixels || x_factor < 1 || y_factor < 1) return result;
  int64_t w = int64_t(source->width) * x_factor, h = int64_t(source->height) * y_factor;
  if (w > G_IMAGE_MAX_PIXELS || h > G_IMAGE_MAX_PIXELS) {
    OS_ASSERT(false);
    return result;
  }
  result = g_create_image(int32_t(w), int32_t(h));
  if (result.pixels) g_copy_scaled(source, source->width, source->height, &result, x_factor, y_factor);
  return result;
}

void g_outline_image(g_image* image) {
  OS_ASSERT(image != nullptr && image->pixels != nullptr);
  if (!image || !image->pixels) return;
  g_image copy = g_scale_image(image, 1, 1);
  if (!copy.pixels) return;
  const int32_t w = image->width, h = image->height;
  const g_pixel* in = image->pixels;
  g_pixel* out = copy.pixels;
  for (int32_t y = 1; y <= h - 2; ++y) {
    for (int32_t x = 1; x <= w - 2; ++x) {
      const int64_t at = int64_t(y) * w + x;
      if ((in[at] >> 24) == 0) continue;
      out[at] = in[at];
      for (int32_t dy = -1; dy <= 1; ++dy)
        for (int32_t dx = -1; dx <= 1; ++dx) {
          const int64_t n = at + int64_t(dy) * w + dx;
          if ((in[n] >> 24) == 0) out[n] = 0xFF000000u;  // judged on the image before the call
        }
    }
  }
  g_copy_scaled(&copy, w, h, image, 1, 1);
  g_free_image(&copy);
}
