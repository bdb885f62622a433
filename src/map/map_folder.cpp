// Levels from a folder (map_use_folder): players edit map0.txt .. map6.txt in a text editor
// and the game reads them in place of its own. One level file alone (map_use_file, a shared
// level) takes the first level's place and is then the whole game.
#include <cstdio>
#include <cstring>

#include "file/file.h"
#include "map/map.h"

static struct {
  uint8_t data[MAP_LEVEL_COUNT][MAP_FILE_MAX];
  uint32_t size[MAP_LEVEL_COUNT];
  bool present[MAP_LEVEL_COUNT];
  bool single;  // map_use_file: one level is the whole game
} map_folder;

// Reads the file at path into slot k. -1: not there; 0: too large; 1: read; 2: there but
// it cannot be read (a folder opens, but does not read).
static int32_t map_folder_read(const char* path, int32_t k) {
  FILE* f = fopen(path, "rb");
  if (!f) return -1;
  const size_t n = fread(map_folder.data[k], 1, MAP_FILE_MAX, f);
  const bool failed = ferror(f) != 0;
  const bool more = !failed && n == size_t(MAP_FILE_MAX) && getc(f) != EOF;
  fclose(f);
  if (failed) return 2;
  // Editors end a file with a line break; the path line is the last line all the same.
  uint32_t size = uint32_t(n);
  while (size > 0 && (map_folder.data[k][size - 1] == '\r' || map_folder.data[k][size - 1] == '\n')) --size;
  map_folder.size[k] = size;
  return more ? 0 : 1;
}

// Whether the text's last line (after the last CR LF) holds a step of the screen path or
// its end: without one the digits are not there, or they were read as a playfield row.
static bool map_folder_has_path(const uint8_t* text, uint32_t size) {
  uint32_t start = 0;
  for (uint32_t i = 0; i + 1 < size; ++i)
    if (text[i] == '\r' && text[i + 1] == '\n') start = i + 2;
  for (uint32_t i = start; i < size; ++i)
    if (text[i] >= CELL_PATH_END && text[i] <= CELL_PATH_DOWN) return true;
  return false;
}

// What is wrong with the level text, or null when it is a level the game can start.
static const char* map_folder_problem(const uint8_t* text, uint32_t size) {
  map_t map = map_parse(text, size);
  const char* problem = nullptr;
  if (map.width < 1 || map.height < 2) {
    problem = "holds no level (rows end in CR LF; the last line is the screen path)";
  } else if (!map_folder_has_path(text, size)) {
    problem = "has no screen path on its last line (digits 1 to 4, 0 at the end)";
  } else {
    problem = "has no start cell (S) in its rooms";
    for (int32_t y = 0; y < map.height - 1 && problem; ++y)
      for (int32_t x = 0; x < map.width; ++x)
        if (map_get_cell(&map, x, y) == CELL_START) problem = nullptr;
  }
  map_free(&map);
  return problem;
}

bool map_use_folder(const char* folder, char* message, int32_t message_size) {
  const size_t length = strlen(folder);
  const bool has_slash = length > 0 && (folder[length - 1] == '/' || folder[length - 1] == '\\');
  int32_t found = 0;
  for (int32_t k = 0; k < MAP_LEVEL_COUNT; ++k) {
    char path[1024];
    snprintf(path, sizeof path, "%s%s%s", folder, has_slash ? "" : "/", MAP_LEVEL_FILES[k]);
    const int32_t read = map_folder_read(path, k);
    map_folder.present[k] = read > 0;
    if (read < 0) continue;
    const char* problem = read == 0   ? "is larger than 64 KB"
                          : read == 2 ? "cannot be read"
                                      : map_folder_problem(map_folder.data[k], map_folder.size[k]);
    if (problem) {
      snprintf(message, size_t(message_size), "tumbler: %s %s\n", path, problem);
      return false;
    }
    ++found;
  }
  if (found == 0) {
    snprintf(message, size_t(message_size), "tumbler: %s holds none of map0.txt ... map6.txt\n", folder);
    return false;
  }
  for (int32_t k = 0; k < MAP_LEVEL_COUNT; ++k)
    if (map_folder.present[k]) file_override(MAP_LEVEL_FILES[k], map_folder.data[k], map_folder.size[k]);
  return true;
}

bool map_use_file(const char* path, char* message, int32_t message_size) {
  const int32_t read = map_folder_read(path, 0);
  const char* problem = read < 0 || read == 2 ? "cannot be read"
                        : read == 0            ? "is larger than 64 KB"
                                    : map_folder_problem(map_folder.data[0], map_folder.size[0]);
  if (problem) {
    snprintf(message, size_t(message_size), "tumbler: %s %s\n", path, problem);
    return false;
  }
  file_override(MAP_LEVEL_FILES[0], map_folder.data[0], map_folder.size[0]);
  map_folder.single = true;
  return true;
}

int32_t map_level_count() { return map_folder.single ? 1 : MAP_LEVEL_COUNT; }

void map_forget_file() { map_folder.single = false; }
