// The level checked as the game would read it (ed_check.h).
#include "editor/ed_check.h"

#include <cmath>
#include <cstdio>

#include "game/game.h"

int32_t ed_count(const ed_level* level, uint8_t c) {
  int32_t n = 0;
  for (int32_t y = 0; y < level->rows; ++y)
    for (int32_t x = 0; x < level->row_length[y]; ++x)
      if (level->text[level->row_start[y] + x] == c) ++n;
  return n;
}

ed_path ed_trace_path(const ed_level* level) {
  ed_path path{};
  uint8_t moves[ED_MOVES_MAX];
  path.moves = ed_level_moves(level, moves, ED_MOVES_MAX);
  if (path.moves > ED_MOVES_MAX) path.moves = ED_MOVES_MAX;
  path.ends = ed_level_path_end(level) == CELL_PATH_END;
  // The view's corner may go from 0 to the map's size less the view's, as in the game,
  // where a move that would pass the edge stops at it.
  const int32_t max_x = level->width - GAME_VIEW_COLUMNS > 0 ? level->width - GAME_VIEW_COLUMNS : 0;
  const int32_t max_y = level->rows - GAME_VIEW_ROWS > 0 ? level->rows - GAME_VIEW_ROWS : 0;
  int32_t x = 0, y = 0;
  for (int32_t i = 0; i < path.moves; ++i) {
    path.move[i] = moves[i];
    int32_t to_x = x, to_y = y, full = GAME_VIEW_COLUMNS;
    if (moves[i] == CELL_PATH_RIGHT) to_x += GAME_VIEW_COLUMNS;
    if (moves[i] == CELL_PATH_LEFT) to_x -= GAME_VIEW_COLUMNS;
    if (moves[i] == CELL_PATH_UP) to_y -= GAME_VIEW_ROWS, full = GAME_VIEW_ROWS;
    if (moves[i] == CELL_PATH_DOWN) to_y += GAME_VIEW_ROWS, full = GAME_VIEW_ROWS;
    to_x = to_x < 0 ? 0 : (to_x > max_x ? max_x : to_x);
    to_y = to_y < 0 ? 0 : (to_y > max_y ? max_y : to_y);
    const int32_t distance = (to_x > x ? to_x - x : x - to_x) + (to_y > y ? to_y - y : y - to_y);
    path.leaves[i] = distance == 0;
    // Six seconds of waiting, then the glide (the sine of the game's eased move reaches the
    // share of the distance it can go).
    const double share = double(distance) / double(full);
    const double glide = share >= 1.0 ? double(GAME_VIEW_MOVE) : std::asin(share) * double(GAME_VIEW_MOVE) / (3.14 * 0.5);
    path.seconds += float(double(GAME_VIEW_WAIT) + glide);
    x = to_x;
    y = to_y;
    path.x[i + 1] = x;
    path.y[i + 1] = y;
  }
  return path;
}

ed_problem ed_check(const ed_level* level) {
  ed_problem p{ED_OK, -1, -1, -1, ""};
  if (level->length > MAP_FILE_MAX) {
    p.kind = ED_TOO_LARGE;
    snprintf(p.text, sizeof p.text, "Over 64 KB: too large");
    return p;
  }
  if (level->rows < 1 || level->width < 1) {
    p.kind = ED_NO_ROWS;
    snprintf(p.text, sizeof p.text, "No rooms to play in");
    return p;
  }
  bool digit = false;
  for (int32_t i = level->row_start[level->rows]; i < ed_level_played(level); ++i)
    digit |= level->text[i] >= CELL_PATH_END && level->text[i] <= CELL_PATH_DOWN;
  if (!digit) {
    p.kind = ED_NO_PATH;
    snprintf(p.text, sizeof p.text, "No path: add a move (P)");
    return p;
  }
  int32_t starts = 0;
  for (int32_t y = 0; y < level->rows && p.kind == ED_OK; ++y) {
    for (int32_t x = 0; x < level->row_length[y]; ++x) {
      if (level->text[level->row_start[y] + x] != CELL_START) continue;
      if (++starts == 2) {
        p.kind = ED_TWO_STARTS;
        p.x = x;
        p.y = y;
        snprintf(p.text, sizeof p.text, "A second start at %d,%d", int(x), int(y));
        break;
      }
    }
  }
  if (p.kind != ED_OK) return p;
  if (starts == 0) {
    p.kind = ED_NO_START;
    snprintf(p.text, sizeof p.text, "No start yet (key 7)");
    return p;
  }
  const ed_path path = ed_trace_path(level);
  for (int32_t i = 0; i < path.moves; ++i) {
    if (!path.leaves[i]) continue;
    p.kind = ED_PATH_LEAVES;
    p.move = i;
    snprintf(p.text, sizeof p.text, "Path move %d leaves the map", int(i + 1));
    return p;
  }
  // The game reads the path line as a row of the map: only as many characters as it is wide.
  const int32_t path_length = ed_level_played(level) - level->row_start[level->rows];
  if (path.moves > 0 && path.moves + (path.ends ? 1 : 0) > level->width && path_length > level->width) {
    p.kind = ED_PATH_CUT;
    p.move = level->width;
    snprintf(p.text, sizeof p.text, "Path longer than the map");
  }
  return p;
}
