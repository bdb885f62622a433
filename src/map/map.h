// map: a level as a grid of one-byte cell codes plus a parallel grid of flag bytes.
// Owned by the game (one map at a time); parsed from the text of an embedded level file.
// Any position outside the grid reads as an empty cell with no flags.
#pragma once
#include <cstdint>

// Cell codes; a code is also the number of the tile that draws it.
constexpr uint8_t CELL_BLOCK = 0;       // '.': solid block drawn as tile 0
constexpr uint8_t CELL_ROCK = 6;        // '#': falls, rolls, can be pushed sideways
constexpr uint8_t CELL_DIRT = 7;        // 'X': dug away by the player
constexpr uint8_t CELL_DIAMOND = 9;     // 'D': animates through 9, 10, 11
constexpr uint8_t CELL_DIAMOND_LAST = 11;
constexpr uint8_t CELL_WALL = 16;       // 'W'
constexpr uint8_t CELL_ENEMY = 17;      // 'E': animates through 17, 18, 19
constexpr uint8_t CELL_ENEMY_LAST = 19;
constexpr uint8_t CELL_WEAK_WALL = 22;  // 'H': a falling rock breaks through it
constexpr uint8_t CELL_PATH_END = '0';  // path line digits: '0' ends the path
constexpr uint8_t CELL_PATH_RIGHT = '1';
constexpr uint8_t CELL_PATH_LEFT = '2';
constexpr uint8_t CELL_PATH_UP = '3';
constexpr uint8_t CELL_PATH_DOWN = '4';
constexpr uint8_t CELL_START = 'S';     // the player's start cell (83)
constexpr uint8_t CELL_VACATED = 253;   // left during the current world step; back to empty after it
constexpr uint8_t CELL_EMPTY = 255;

// Flag bits: 1 = handled in this world step; 16/32/64/128 = an enemy's heading.
constexpr uint8_t MAP_FLAG_DONE = 1;
constexpr uint8_t MAP_FLAG_UP = 16;
constexpr uint8_t MAP_FLAG_RIGHT = 32;
constexpr uint8_t MAP_FLAG_DOWN = 64;
constexpr uint8_t MAP_FLAG_LEFT = 128;

// The last row (height - 1) is the screen path line; rows 0 .. height - 2 are the playfield.
struct map_t {
  int32_t width;
  int32_t height;  // path line included
  uint8_t* cells;  // width * height codes, row-major (os_alloc)
  uint8_t* flags;  // width * height flag bytes, 0 after parsing (os_alloc)
};

// Parses length bytes of level text (rows end in CR LF; the last line is the path line).
// Never reads past text[length - 1]. The result owns its arrays: release with map_free.
map_t map_parse(const uint8_t* text, uint32_t length);

// map_parse of the embedded file `name`; a name the store lacks gives width 0, height 1.
map_t map_load(const char* name);

// Releases cells and flags and nulls both pointers.
void map_free(map_t* map);

// The code at (x, y); CELL_EMPTY outside the grid.
uint8_t map_get_cell(const map_t* map, int32_t x, int32_t y);
// Writes the code and clears that cell's flags; nothing outside the grid.
void map_set_cell(map_t* map, int32_t x, int32_t y, uint8_t code);
// The flag byte at (x, y); 0 outside the grid.
uint8_t map_get_flags(const map_t* map, int32_t x, int32_t y);
// Writes the flag byte only; nothing outside the grid.
void map_set_flags(map_t* map, int32_t x, int32_t y, uint8_t value);

// The game's level files, in playing order.
enum : int32_t { MAP_LEVEL_COUNT = 7 };
constexpr const char* MAP_LEVEL_FILES[MAP_LEVEL_COUNT] = {
    "map0.txt", "map1.txt", "map2.txt", "map3.txt", "map4.txt", "map5.txt", "map6.txt",
};

// Levels from a folder: reads the level files (MAP_LEVEL_FILES) from `folder` where present,
// drops the line ends at the end of each, checks it (at most MAP_FILE_MAX bytes, at least one
// playfield row, a path digit 0 to 4 on the last line, a start cell in the playfield)
// and makes file_open find it in place of the embedded level. The bytes are kept in fixed
// storage for the rest of the run. False, with one line naming the file in message, for a
// bad file or a folder that holds none of the seven; then nothing is put in place.
enum : int32_t { MAP_FILE_MAX = 64 * 1024 };
bool map_use_folder(const char* folder, char* message, int32_t message_size);

// One level file as the whole game (a shared level): read and checked as map_use_folder does
// a file, it takes map0.txt's place, and winning it ends the game as the last level does
// (map_level_count is then 1). False, with one line naming the file, and nothing changed,
// for a file that is missing or bad.
bool map_use_file(const char* path, char* message, int32_t message_size);
// How many levels a game has: MAP_LEVEL_COUNT, or 1 after map_use_file.
int32_t map_level_count();
// Test seam: map_use_file's one-level game off again (the override stays until
// file_clear_overrides).
void map_forget_file();
