// Level text from the fuzzer: the parser must stay inside the data, give a grid whose every
// cell holds a code of the table, and give back every block it took.
#include <cstdint>
#include <cstdlib>

#include "map/map.h"
#include "os_tools/os_mem.h"

static bool map_known_code(uint8_t c) {
  return c == CELL_EMPTY || c == CELL_BLOCK || c == CELL_ROCK || c == CELL_DIRT || c == CELL_DIAMOND ||
         c == CELL_WALL || c == CELL_ENEMY || c == CELL_WEAK_WALL || (c >= '0' && c <= '4') || c == CELL_START;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0xFFFFFFFFu) return 0;
  const int32_t blocks = os_alloc_count();
  map_t map = map_parse(data, uint32_t(size));
  if (map.width < 0 || map.height < 1) abort();
  for (int32_t y = -1; y <= map.height; ++y)
    for (int32_t x = -1; x <= map.width; ++x) {
      if (!map_known_code(map_get_cell(&map, x, y))) abort();
      if (map_get_flags(&map, x, y) != 0) abort();
    }
  map_set_cell(&map, map.width - 1, map.height - 1, CELL_VACATED);
  map_set_flags(&map, map.width, 0, MAP_FLAG_DONE);
  map_free(&map);
  if (os_alloc_count() != blocks) abort();
  return 0;
}
