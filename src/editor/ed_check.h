// What the game would make of the level being edited: the problems that keep it from being
// saved or played (the ones the game refuses, and a path that leaves the map), and the
// path's rooms and times as the view will travel them.
#pragma once
#include <cstdint>

#include "editor/ed_level.h"

enum : int32_t {
  ED_OK = 0,
  ED_TOO_LARGE,     // over 64 KB: the game does not read it
  ED_NO_ROWS,       // no playfield at all
  ED_NO_PATH,       // no path digit (0 to 4) on the last line
  ED_NO_START,      // no start cell in the playfield
  ED_TWO_STARTS,    // more than one (x, y: the second)
  ED_PATH_LEAVES,   // a move that finds the view at the map's edge already (move: its index)
  ED_PATH_CUT,      // the path line is longer than the map is wide: the game drops the rest
};

struct ed_problem {
  int32_t kind;
  int32_t x, y;     // the cell it is about (a second start), or -1
  int32_t move;     // the move it is about, or -1
  char text[64];    // one short line for the screen
};

// The view's way along the path, in cells of the view's top-left corner.
struct ed_path {
  int32_t moves;
  uint8_t move[ED_MOVES_MAX];
  int32_t x[ED_MOVES_MAX + 1];  // x[0], y[0] = 0, 0; x[i], y[i] after move i
  int32_t y[ED_MOVES_MAX + 1];
  bool leaves[ED_MOVES_MAX];    // the view could not move at all
  bool ends;                    // an end ("0") after the moves: then the five-second countdown
  float seconds;                // from the level's start until the view has made every move
};

// The first problem of the level, or kind ED_OK.
ed_problem ed_check(const ed_level* level);
// The path as the view travels it, with each move's waiting and gliding time (shortened where
// it stops at the map's edge).
ed_path ed_trace_path(const ed_level* level);
// The number of each kind of cell in the playfield, indexed by the character ('D', 'S', ...).
int32_t ed_count(const ed_level* level, uint8_t c);
