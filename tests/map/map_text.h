// Parses level text from an exact-size heap copy, so that a read past the end is caught
// by the address sanitizer build.
#pragma once
#include <cstring>
#include <memory>
#include <string>

#include "map/map.h"

inline map_t parse_text(const std::string& text) {
  std::unique_ptr<uint8_t[]> copy(new uint8_t[text.size() ? text.size() : 1]);
  if (!text.empty()) memcpy(copy.get(), text.data(), text.size());
  return map_parse(copy.get(), uint32_t(text.size()));
}

// Row y of the grid as codes.
inline std::string row_codes(const map_t& map, int32_t y) {
  std::string row;
  for (int32_t x = 0; x < map.width; ++x) row += char(map_get_cell(&map, x, y));
  return row;
}
