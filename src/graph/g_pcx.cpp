// PCX decoding: 8 bits per plane, run-length coded, one plane (indexed with a 256-colour
// palette at the file's end) or three planes (red, green, blue scan lines in turn).
#include <cstring>

#include "graph/g_load.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"

enum : uint32_t {
  PCX_HEADER_SIZE = 128,
  PCX_PALETTE_SIZE = 768,
  PCX_MAGENTA = 0xFFFF00FFu,
};

static uint32_t pcx_u16(const uint8_t* p) { return uint32_t(p[0]) | (uint32_t(p[1]) << 8); }

// The run-length reader: stops at the end of the file, never past it.
struct pcx_stream {
  const uint8_t* data;
  uint32_t size;
  uint32_t at;
  uint32_t repeat;  // bytes left of the current run
  uint8_t value;
};

// The next decoded byte; false once the file is used up.
static bool pcx_next(pcx_stream* s, uint8_t* out) {
  while (s->repeat == 0) {
    if (s->at >= s->size) return false;
    const uint8_t b = s->data[s->at++];
    if (b < 0xC0) {
      *out = b;
      return true;
    }
    if (s->at >= s->size) return false;  // a run header cut off by the end of the file
    s->value = s->data[s->at++];
    s->repeat = b & 0x3Fu;  // a count of 0 produces nothing and skips its byte
  }
  --s->repeat;
  *out = s->value;
  return true;
}

static bool pcx_indexed(const uint8_t* data, uint32_t size, uint32_t bytes_per_line, g_image* image) {
  pcx_stream s = {data, size, PCX_HEADER_SIZE, 0, 0};
  const int32_t w = image->width, h = image->height;
  bool complete = true;
  // Indices first; a pixel the stream never reaches keeps index 0.
  for (int32_t row = 0; row < h && complete; ++row) {
    g_pixel* out = image->pixels + int64_t(row) * w;
    for (uint32_t col = 0; col < bytes_per_line; ++col) {
      uint8_t v;
      if (!pcx_next(&s, &v)) {
        complete = false;
        break;
      }
      if (col < uint32_t(w)) out[col] = v;
    }
  }
  uint8_t* palette = static_cast<uint8_t*>(os_alloc(PCX_PALETTE_SIZE));
  memcpy(palette, data + size - PCX_PALETTE_SIZE, PCX_PALETTE_SIZE);
  g_pixel colour[256];
  for (uint32_t i = 0; i < 256; ++i) {
    const uint32_t r = palette[i * 3], g = palette[i * 3 + 1], b = palette[i * 3 + 2];
    colour[i] = (r == 255 && g == 0 && b == 255) ? 0 : 0xFF000000u + b * 65536u + g * 256u + r;
  }
  os_free(&palette);
  const int64_t count = int64_t(w) * h;
  for (int64_t i = 0; i < count; ++i) image->pixels[i] = colour[image->pixels[i] & 0xFF];
  return complete;
}

static bool pcx_planar(const uint8_t* data, uint32_t size, uint32_t bytes_per_line, g_image* image) {
  pcx_stream s = {data, size, PCX_HEADER_SIZE, 0, 0};
  const uint32_t w = uint32_t(image->width), h = uint32_t(image->height);
  uint32_t col = 0, plane = 0, row = 0;
  uint8_t v;
  // Bytes after the last row are consumed but dropped, so the walk may stop there.
  while (row < h && pcx_next(&s, &v)) {
    if (col < w) {
      g_pixel* p = image->pixels + uint64_t(row) * w + col;
      const uint32_t shift = plane * 8;
      g_pixel px = (*p & ~(0xFFu << shift)) | (uint32_t(v) << shift) | 0xFF000000u;
      *p = px == PCX_MAGENTA ? 0 : px;  // blue comes last, so only (255, 0, 255) ends as 0
    }
    if (++col == bytes_per_line) {
      col = 0;
      if (++plane == 3) {
        plane = 0;
        ++row;
      }
    }
  }
  return row >= h;
}

g_image g_decode_pcx(const uint8_t* data, uint32_t size) {
  g_image image = {0, 0, nullptr};
  OS_ASSERT(data != nullptr && size > 0);
  if (!data || size < PCX_HEADER_SIZE) {
    OS_ASSERT(false);
    return image;
  }
  const uint32_t planes = data[65];
  const uint32_t width = pcx_u16(data + 8) + 1, height = pcx_u16(data + 10) + 1;
  const uint32_t bytes_per_line = pcx_u16(data + 66);
  bool supported = data[0] == 10 && data[1] == 5 && data[2] == 1 && data[3] == 8 &&
                   (planes == 1 || planes == 3) && bytes_per_line >= width;
  // The indexed palette sits in the last 768 bytes, behind the header.
  if (planes == 1 && size < PCX_HEADER_SIZE + PCX_PALETTE_SIZE) supported = false;
  OS_ASSERT(supported);
  if (!supported) return image;

  image = g_create_image(int32_t(width), int32_t(height));
  if (!image.pixels) return image;
  bool complete = planes == 1 ? pcx_indexed(data, size, bytes_per_line, &image)
                              : pcx_planar(data, size, bytes_per_line, &image);
  OS_ASSERT(complete);  // a short stream leaves the rest of the image as it was made
  return image;
}
