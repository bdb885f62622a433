// Helpers shared by the picture tests: decoding through the game's own decoder.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graph/g_load.h"

// The game's decoding of a whole file, as a plain vector (empty when the decoder refused it).
struct decoded {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
};

inline decoded game_decode(const std::vector<uint8_t> &file) {
  decoded d;
  g_image img = g_decode_pcx(file.data(), static_cast<uint32_t>(file.size()));
  if (!img.pixels) return d;
  d.width = img.width;
  d.height = img.height;
  d.pixels.assign(img.pixels, img.pixels + static_cast<size_t>(img.width) * img.height);
  g_free_image(&img);
  return d;
}
