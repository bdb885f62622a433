// A host-side PCX reader with the game's rules (run headers 0xC0 + n, a count of 0 writes
// nothing, colour (255, 0, 255) becomes the transparent pixel 0), for previews and checks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct pcxr_picture {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0xAABBGGRR, row-major
  size_t stream_end = 0;         // offset after the last byte the decoder consumed
  bool ok = false;
};

pcxr_picture pcxr_decode(const std::vector<uint8_t> &file);
