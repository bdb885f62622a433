// Builders of small image files in memory and a reader for the committed fixtures.
#pragma once
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

typedef std::vector<uint8_t> bytes;

inline bytes read_fixture(const std::string& relative) {
  std::ifstream in(std::string(TUMBLER_SOURCE_DIR) + "/" + relative, std::ios::binary);
  return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A 128-byte PCX header: version 5, run-length, 8 bits, the given size, planes and line length.
inline bytes pcx_header(int32_t width, int32_t height, uint8_t planes, int32_t bytes_per_line) {
  bytes h(128, 0);
  h[0] = 10;
  h[1] = 5;
  h[2] = 1;
  h[3] = 8;
  h[8] = uint8_t((width - 1) & 0xFF);
  h[9] = uint8_t((width - 1) >> 8);
  h[10] = uint8_t((height - 1) & 0xFF);
  h[11] = uint8_t((height - 1) >> 8);
  h[65] = planes;
  h[66] = uint8_t(bytes_per_line & 0xFF);
  h[67] = uint8_t(bytes_per_line >> 8);
  return h;
}

// Appends the marker 12 and a 256-entry palette where entry i is (i, 255 - i, i / 2), except
// the entries given as magenta.
inline void pcx_palette(bytes* file, std::initializer_list<int> magenta = {}) {
  file->push_back(12);
  for (int i = 0; i < 256; ++i) {
    bool m = false;
    for (int k : magenta) m = m || k == i;
    file->push_back(m ? 255 : uint8_t(i));
    file->push_back(m ? 0 : uint8_t(255 - i));
    file->push_back(m ? 255 : uint8_t(i / 2));
  }
}

inline uint32_t pcx_palette_colour(int i) {
  return 0xFF000000u | (uint32_t(i / 2) << 16) | (uint32_t(255 - i) << 8) | uint32_t(i);
}

// A BMP with the 40-byte info header: rows as given (already bottom-up and padded).
inline bytes bmp_file(int32_t width, int32_t height, uint16_t bits, const bytes& rows) {
  bytes f(54, 0);
  const uint32_t size = 54 + uint32_t(rows.size());
  f[0] = 'B';
  f[1] = 'M';
  for (int i = 0; i < 4; ++i) f[2 + i] = uint8_t(size >> (8 * i));
  f[10] = 54;
  f[14] = 40;
  for (int i = 0; i < 4; ++i) f[18 + i] = uint8_t(uint32_t(width) >> (8 * i));
  for (int i = 0; i < 4; ++i) f[22 + i] = uint8_t(uint32_t(height) >> (8 * i));
  f[26] = 1;
  f[28] = uint8_t(bits);
  f.insert(f.end(), rows.begin(), rows.end());
  return f;
}
