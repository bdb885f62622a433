#include "pcx_reader.h"

namespace {
int get16(const std::vector<uint8_t> &f, size_t at) { return f[at] | (f[at + 1] << 8); }
}  // namespace

pcxr_picture pcxr_decode(const std::vector<uint8_t> &f) {
  pcxr_picture p;
  if (f.size() < 128 || f[0] != 10 || f[1] != 5 || f[2] != 1 || f[3] != 8) return p;
  int planes = f[65], bpl = get16(f, 66);
  p.width = get16(f, 8) + 1;
  p.height = get16(f, 10) + 1;
  if ((planes != 1 && planes != 3) || bpl < p.width) return p;
  size_t end = f.size();
  if (planes == 1) {
    if (f.size() < 128 + 769) return p;
    end = f.size() - 768;  // the marker byte 12 is not examined, so it counts as stream
  }
  std::vector<uint8_t> raw(static_cast<size_t>(bpl) * planes * p.height, 0);
  size_t pos = 128, n = 0;
  while (n < raw.size() && pos < end) {
    uint8_t b = f[pos++];
    if (b >= 0xC0) {
      if (pos >= end) break;
      uint8_t v = f[pos++];
      for (int k = 0; k < (b & 0x3F) && n < raw.size(); ++k) raw[n++] = v;
    } else {
      raw[n++] = b;
    }
  }
  p.stream_end = pos;
  if (n < raw.size()) return p;
  p.pixels.assign(static_cast<size_t>(p.width) * p.height, 0);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      uint32_t r, g, b;
      if (planes == 1) {
        size_t i = raw[static_cast<size_t>(y) * bpl + x];
        const uint8_t *pal = &f[f.size() - 768 + i * 3];
        r = pal[0], g = pal[1], b = pal[2];
      } else {
        size_t row = static_cast<size_t>(y) * bpl * 3;
        r = raw[row + x], g = raw[row + bpl + x], b = raw[row + 2 * bpl + x];
      }
      bool key = r == 255 && g == 0 && b == 255;
      p.pixels[static_cast<size_t>(y) * p.width + x] =
          key ? 0u : 0xFF000000u | (b << 16) | (g << 8) | r;
    }
  p.ok = true;
  return p;
}
