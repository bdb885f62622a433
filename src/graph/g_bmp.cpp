// BMP decoding for the one subset the program reads: a 40-byte info header, 24 or 32 bits
// per pixel, rows stored bottom-up.
#include "graph/g_load.h"
#include "os_tools/os_log.h"

enum : uint32_t { BMP_HEADERS_SIZE = 54 };

static uint32_t bmp_u16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }
static uint32_t bmp_u32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

g_image g_decode_bmp(const uint8_t* data, uint32_t size) {
  g_image image = {0, 0, nullptr};
  OS_ASSERT(data != nullptr && size > 0);
  if (!data || size < BMP_HEADERS_SIZE) {
    OS_ASSERT(false);
    return image;
  }
  const uint32_t bits = bmp_u16(data + 28);
  const int32_t width = int32_t(bmp_u32(data + 18));
  const int32_t height = int32_t(data[22] | (uint32_t(data[23]) << 8) | (uint32_t(data[24]) << 16));
  const uint32_t offset = bmp_u32(data + 10);
  bool supported = data[0] == 'B' && data[1] == 'M' && data[14] == 40 && data[25] == 0 &&
                   data[26] == 1 && (bits == 24 || bits == 32) && width > 0 && height > 0;
  OS_ASSERT(supported);
  if (!supported) return image;

  // Every stored row must lie inside the file before a single one is read.
  const uint64_t stride = ((uint64_t(bits) * uint64_t(width) + 31) / 32) * 4;
  const bool inside = uint64_t(offset) + stride * uint64_t(height) <= size;
  OS_ASSERT(inside);
  if (!inside) return image;

  image = g_create_image(width, height);
  if (!image.pixels) return image;
  const uint32_t step = bits / 8;
  for (int32_t r = 0; r < height; ++r) {
    const uint8_t* in = data + offset + stride * uint64_t(r);
    g_pixel* out = image.pixels + int64_t(height - 1 - r) * width;
    for (int32_t x = 0; x < width; ++x, in += step) {
      const uint32_t b = in[0], g = in[1], red = in[2];
      if (bits == 24) {
        out[x] = (red == 255 && g == 0 && b == 255) ? 0 : 0xFF000000u + b * 65536u + g * 256u + red;
      } else {
        out[x] = uint32_t(in[3]) * 16777216u + b * 65536u + g * 256u + red;
      }
    }
  }
  return image;
}
