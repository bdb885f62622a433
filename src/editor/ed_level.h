// The level being edited, kept as the very bytes of its file: rows that end in CR LF, then
// the path line, then any line ends after it (which the game drops as it reads the file, so
// they are kept but not edited). A change rewrites only the bytes it concerns, so a level
// loaded and saved without a change is its file byte for byte, whatever is in it (rows of
// different lengths, characters the game reads as empty). Cells past a row's end read as
// empty; writing one pads the row with spaces. Rooms are 10 x 7 cells from the top-left.
#pragma once
#include <cstdint>

#include "map/map.h"

enum : int32_t {
  ED_ROOM_COLUMNS = 10,
  ED_ROOM_ROWS = 7,
  ED_TEXT_MAX = 2 * MAP_FILE_MAX,  // room to grow past the largest file the game reads
  ED_ROWS_MAX = 4096,              // playfield rows the editor keeps track of
  ED_MOVES_MAX = 64,               // moves of the path it shows and checks
};

struct ed_level {
  uint8_t text[ED_TEXT_MAX];
  int32_t length;
  int32_t tail;                // CR and LF bytes at the very end, after the path line
  int32_t rows;                // playfield rows (lines ended by CR LF)
  int32_t row_start[ED_ROWS_MAX + 1];  // row_start[rows] is the path line's first byte
  int32_t row_length[ED_ROWS_MAX];
  int32_t width;               // the longest row: the game's width
};

// The bytes the game plays: the file without its closing line ends.
inline int32_t ed_level_played(const ed_level* level) { return level->length - level->tail; }

// Takes `size` bytes as the level. False (the level left as it was) when they are more
// than ED_TEXT_MAX bytes or ED_ROWS_MAX rows.
bool ed_level_set_text(ed_level* level, const uint8_t* bytes, int32_t size);

// The character at cell (x, y) of the playfield: a space past the row's end; 0 outside
// the playfield's rows or left of it.
uint8_t ed_level_char(const ed_level* level, int32_t x, int32_t y);
// Writes the character at (x, y), padding the row with spaces and adding empty rows below
// the last one as needed. False when the text would grow past ED_TEXT_MAX or ED_ROWS_MAX.
bool ed_level_put(ed_level* level, int32_t x, int32_t y, uint8_t c);

// Rooms: the map's size in whole rooms (a part-filled room counts), at least 1 x 1.
int32_t ed_level_rooms_across(const ed_level* level);
int32_t ed_level_rooms_down(const ed_level* level);
// Adds or removes a column of rooms at the left (side 1, MOVE_LEFT) or right (2), a row at
// the top (3) or bottom (4). Adding fills the new rooms with empty cells (rows of spaces
// as wide as the rooms; a column at the right pads every row out to it); removing takes away the last (or first) whole or part room and
// refuses to take the only one. False when nothing changed.
bool ed_level_add_rooms(ed_level* level, int32_t side);
bool ed_level_remove_rooms(ed_level* level, int32_t side);

// The path line: its moves are the digits 1 to 4 it starts with, then comes its end (usually
// "0"). Adding a move to a path with no end gives it the end "0"; taking back the only move
// of a path without an end leaves "0", since a path line is never empty.
int32_t ed_level_moves(const ed_level* level, uint8_t* moves, int32_t max);
bool ed_level_add_move(ed_level* level, uint8_t digit);
bool ed_level_take_move(ed_level* level);
// The path line's first byte after its moves (0 when it ends there).
uint8_t ed_level_path_end(const ed_level* level);
