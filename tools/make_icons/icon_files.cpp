#include "icon_files.h"

#include <algorithm>
#include <array>
#include <cstddef>

namespace {

void put32be(std::vector<uint8_t> &b, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<uint8_t>(v >> s));
}
void put16le(std::vector<uint8_t> &b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v));
  b.push_back(static_cast<uint8_t>(v >> 8));
}
void put32le(std::vector<uint8_t> &b, uint32_t v) {
  put16le(b, v & 0xFFFF);
  put16le(b, v >> 16);
}

uint32_t crc32(const uint8_t *data, size_t size) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < size; ++i) c = table[(c ^ data[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

uint32_t adler32(const std::vector<uint8_t> &data) {
  uint32_t a = 1, b = 0;
  for (uint8_t v : data) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  return b << 16 | a;
}

// Deflate's bit order: values go in from the lowest bit, Huffman codes from their highest.
struct bit_writer {
  std::vector<uint8_t> out;
  uint32_t acc = 0;
  int count = 0;
  void bits(uint32_t value, int n) {
    acc |= value << count;
    count += n;
    while (count >= 8) {
      out.push_back(static_cast<uint8_t>(acc));
      acc >>= 8;
      count -= 8;
    }
  }
  void code(uint32_t value, int n) {
    uint32_t reversed = 0;
    for (int i = 0; i < n; ++i) reversed |= ((value >> i) & 1) << (n - 1 - i);
    bits(reversed, n);
  }
  void flush() {
    if (count > 0) out.push_back(static_cast<uint8_t>(acc));
    acc = 0;
    count = 0;
  }
};

// A symbol of the fixed literal/length code.
void fixed_symbol(bit_writer &w, int symbol) {
  if (symbol < 144) w.code(0x30 + symbol, 8);
  else if (symbol < 256) w.code(0x190 + symbol - 144, 9);
  else if (symbol < 280) w.code(symbol - 256, 7);
  else w.code(0xC0 + symbol - 280, 8);
}

constexpr int LENGTH_BASE[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int LENGTH_EXTRA[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};

// A copy of `length` (3..258) bytes from one byte back.
void repeat_last(bit_writer &w, int length) {
  int i = 28;
  while (LENGTH_BASE[i] > length) --i;
  fixed_symbol(w, 257 + i);
  w.bits(static_cast<uint32_t>(length - LENGTH_BASE[i]), LENGTH_EXTRA[i]);
  w.code(0, 5);  // distance code 0: one byte back
}

// A zlib stream of one fixed-code deflate block.
std::vector<uint8_t> zlib_stream(const std::vector<uint8_t> &data) {
  bit_writer w;
  w.out = {0x78, 0x01};
  w.bits(1, 1);  // the last block
  w.bits(1, 2);  // fixed codes
  size_t i = 0;
  while (i < data.size()) {
    size_t run = 0;
    if (i > 0)
      while (i + run < data.size() && run < 258 && data[i + run] == data[i - 1]) ++run;
    if (run >= 3) {
      repeat_last(w, static_cast<int>(run));
      i += run;
    } else {
      fixed_symbol(w, data[i]);
      ++i;
    }
  }
  fixed_symbol(w, 256);
  w.flush();
  put32be(w.out, adler32(data));
  return w.out;
}

void png_chunk(std::vector<uint8_t> &file, const char *type, const std::vector<uint8_t> &body) {
  put32be(file, static_cast<uint32_t>(body.size()));
  const size_t start = file.size();
  file.insert(file.end(), type, type + 4);
  file.insert(file.end(), body.begin(), body.end());
  put32be(file, crc32(&file[start], file.size() - start));
}

}  // namespace

icon_picture icon_enlarge(const std::vector<uint32_t> &pixels, int size, int factor) {
  icon_picture p;
  p.size = size * factor;
  p.pixels.resize(static_cast<size_t>(p.size) * p.size);
  for (int y = 0; y < p.size; ++y)
    for (int x = 0; x < p.size; ++x)
      p.pixels[static_cast<size_t>(y) * p.size + x] =
          pixels[static_cast<size_t>(y / factor) * size + x / factor];
  return p;
}

std::vector<uint8_t> icon_png(const icon_picture &picture) {
  const size_t n = static_cast<size_t>(picture.size);
  // Each row is filtered by the row above (all zeros when it repeats it) or else by the
  // pixel to the left (zeros along every run of one colour).
  std::vector<uint8_t> raw;
  raw.reserve(n * (n * 4 + 1));
  for (size_t y = 0; y < n; ++y) {
    const uint32_t *row = &picture.pixels[y * n];
    const bool repeats = y > 0 && std::equal(row, row + n, row - n);
    raw.push_back(repeats ? 2 : 1);
    for (size_t x = 0; x < n; ++x)
      for (int c = 0; c < 4; ++c) {
        const uint8_t here = static_cast<uint8_t>(row[x] >> (8 * c));
        const uint8_t before = repeats ? static_cast<uint8_t>(row[x - n] >> (8 * c))
                               : x > 0 ? static_cast<uint8_t>(row[x - 1] >> (8 * c))
                                       : 0;
        raw.push_back(static_cast<uint8_t>(here - before));
      }
  }
  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  put32be(header, static_cast<uint32_t>(n));
  put32be(header, static_cast<uint32_t>(n));
  header.insert(header.end(), {8, 6, 0, 0, 0});  // 8 bits, RGBA, deflate, no interlace
  png_chunk(file, "IHDR", header);
  png_chunk(file, "IDAT", zlib_stream(raw));
  png_chunk(file, "IEND", {});
  return file;
}

std::vector<uint8_t> icon_ico(const std::vector<icon_picture> &pictures) {
  std::vector<std::vector<uint8_t>> images;
  for (const icon_picture &p : pictures) {
    if (p.size > 64) {
      images.push_back(icon_png(p));
      continue;
    }
    // A bitmap of twice the height (colours, then the mask), rows from the bottom up.
    const uint32_t n = static_cast<uint32_t>(p.size);
    const uint32_t mask_row = (n + 31) / 32 * 4;
    std::vector<uint8_t> b;
    put32le(b, 40);
    put32le(b, n);
    put32le(b, 2 * n);
    put16le(b, 1);   // planes
    put16le(b, 32);  // bits per pixel
    put32le(b, 0);   // no compression
    put32le(b, n * n * 4 + mask_row * n);
    for (int i = 0; i < 4; ++i) put32le(b, 0);
    for (uint32_t y = n; y-- > 0;)
      for (uint32_t x = 0; x < n; ++x) {
        const uint32_t px = p.pixels[y * n + x];
        b.push_back(static_cast<uint8_t>(px >> 16));  // blue, green, red, alpha
        b.push_back(static_cast<uint8_t>(px >> 8));
        b.push_back(static_cast<uint8_t>(px));
        b.push_back(static_cast<uint8_t>(px >> 24));
      }
    for (uint32_t y = n; y-- > 0;) {
      std::vector<uint8_t> row(mask_row, 0);
      for (uint32_t x = 0; x < n; ++x)
        if ((p.pixels[y * n + x] >> 24) == 0) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      b.insert(b.end(), row.begin(), row.end());
    }
    images.push_back(b);
  }
  std::vector<uint8_t> file;
  put16le(file, 0);
  put16le(file, 1);  // an icon, not a cursor
  put16le(file, static_cast<uint32_t>(pictures.size()));
  uint32_t offset = 6 + 16 * static_cast<uint32_t>(pictures.size());
  for (size_t i = 0; i < pictures.size(); ++i) {
    const uint32_t size = static_cast<uint32_t>(pictures[i].size);
    file.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));  // 0 stands for 256
    file.push_back(static_cast<uint8_t>(size >= 256 ? 0 : size));
    file.push_back(0);  // no palette
    file.push_back(0);
    put16le(file, 1);   // planes
    put16le(file, 32);  // bits per pixel
    put32le(file, static_cast<uint32_t>(images[i].size()));
    put32le(file, offset);
    offset += static_cast<uint32_t>(images[i].size());
  }
  for (const std::vector<uint8_t> &image : images) file.insert(file.end(), image.begin(), image.end());
  return file;
}
