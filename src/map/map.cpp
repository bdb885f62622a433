// Level text -> cell and flag grids, and the cell accessors that read outside as empty.
#include "map/map.h"

#include "file/file.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"

// A level is a few rooms of 10 x 7 cells; anything near this bound is not a level, and the
// bound keeps width * height far from overflowing the sizes os_alloc takes.
static constexpr uint64_t MAP_MAX_CELLS = 1u << 24;

// Character -> cell code: the digits and S keep their own byte value; every other character
// takes the index of its first place in the tile order string, or empty when it has none.
struct map_code_table {
  uint8_t code[256];
};

static constexpr map_code_table map_build_codes() {
  constexpr char OWN[] = "01234S";
  constexpr char TILES[] = "......#X.DDD....WEEE..H";
  static_assert(sizeof TILES - 1 == 23);
  map_code_table t{};
  for (int c = 0; c < 256; ++c) {
    t.code[c] = CELL_EMPTY;
    bool own = false;
    for (int k = 0; k < 6; ++k)
      if (uint8_t(OWN[k]) == c) own = true;
    if (own) {
      t.code[c] = uint8_t(c);
      continue;
    }
    for (int k = 0; k < 23; ++k)
      if (uint8_t(TILES[k]) == c) {
        t.code[c] = uint8_t(k);
        break;
      }
  }
  return t;
}

static constexpr map_code_table MAP_CODES = map_build_codes();
static_assert(MAP_CODES.code[uint8_t('.')] == CELL_BLOCK && MAP_CODES.code[uint8_t('#')] == CELL_ROCK &&
              MAP_CODES.code[uint8_t('X')] == CELL_DIRT && MAP_CODES.code[uint8_t('D')] == CELL_DIAMOND &&
              MAP_CODES.code[uint8_t('W')] == CELL_WALL && MAP_CODES.code[uint8_t('E')] == CELL_ENEMY &&
              MAP_CODES.code[uint8_t('H')] == CELL_WEAK_WALL && MAP_CODES.code[uint8_t('S')] == CELL_START &&
              MAP_CODES.code[uint8_t(' ')] == CELL_EMPTY && MAP_CODES.code[0] == CELL_EMPTY);

// True when a row ends at i: CR LF, with both bytes inside the text (a CR as the very last
// byte is an ordinary cell).
static bool map_row_end(const uint8_t* text, uint32_t length, uint32_t i) {
  return i + 1 < length && text[i] == '\r' && text[i + 1] == '\n';
}

static map_t map_alloc(int32_t width, int32_t height) {
  map_t map{width, height, nullptr, nullptr};
  uint32_t count = uint32_t(width) * uint32_t(height);
  map.cells = static_cast<uint8_t*>(os_alloc(count));
  map.flags = static_cast<uint8_t*>(os_alloc(count));  // zero-filled
  for (uint32_t k = 0; k < count; ++k) map.cells[k] = CELL_EMPTY;
  return map;
}

map_t map_parse(const uint8_t* text, uint32_t length) {
  if (!text) length = 0;

  // Measure: the width is the longest line ended by CR LF; the last line does not count.
  uint64_t width = 0, height = 0, run = 0;
  for (uint32_t i = 0; i < length;) {
    if (map_row_end(text, length, i)) {
      height++;
      if (run > width) width = run;
      run = 0;
      i += 2;
    } else {
      run++;
      i++;
    }
  }
  height++;

  OS_ASSERT(width * height <= MAP_MAX_CELLS);
  if (width * height > MAP_MAX_CELLS) {  // not a level: give the map that reads all empty
    map_t none = map_alloc(0, 1);
    return none;
  }
  map_t map = map_alloc(int32_t(width), int32_t(height));

  // Copy the raw bytes; bytes past the width (only possible on the last line) are dropped.
  int32_t x = 0, y = 0;
  for (uint32_t i = 0; i < length;) {
    if (map_row_end(text, length, i)) {
      i += 2;
      y++;
      x = 0;
      continue;
    }
    OS_ASSERT(x < map.width);
    if (x < map.width) map.cells[y * map.width + x] = text[i];
    x++;
    i++;
  }

  uint32_t count = uint32_t(map.width) * uint32_t(map.height);
  for (uint32_t k = 0; k < count; ++k) map.cells[k] = MAP_CODES.code[map.cells[k]];

  OS_ASSERT(map.width >= 1 && map.height >= 1);
  return map;
}

map_t map_load(const char* name) {
  OS_ASSERT(name != nullptr);
  file_handle file = name ? file_open(name) : file_handle{nullptr, 0};
  OS_ASSERT(file.data != nullptr);
  map_t map = map_parse(file.data, file.size);
  if (file.data) file_close(&file);
  return map;
}

void map_free(map_t* map) {
  OS_ASSERT(map != nullptr);
  if (!map) return;
  os_free(&map->cells);
  os_free(&map->flags);
}

// The index of (x, y), or -1 outside the grid (or for a map with no arrays).
static int32_t map_index(const map_t* map, int32_t x, int32_t y) {
  OS_ASSERT(map != nullptr);
  if (!map || !map->cells || !map->flags) return -1;
  if (x < 0 || x >= map->width || y < 0 || y >= map->height) return -1;
  return y * map->width + x;
}

uint8_t map_get_cell(const map_t* map, int32_t x, int32_t y) {
  int32_t at = map_index(map, x, y);
  return at < 0 ? CELL_EMPTY : map->cells[at];
}

void map_set_cell(map_t* map, int32_t x, int32_t y, uint8_t code) {
  int32_t at = map_index(map, x, y);
  if (at < 0) return;
  map->cells[at] = code;
  map->flags[at] = 0;
}

uint8_t map_get_flags(const map_t* map, int32_t x, int32_t y) {
  int32_t at = map_index(map, x, y);
  return at < 0 ? 0 : map->flags[at];
}

void map_set_flags(map_t* map, int32_t x, int32_t y, uint8_t value) {
  int32_t at = map_index(map, x, y);
  if (at < 0) return;
  map->flags[at] = value;
}
