// The level's bytes and the edits on them (ed_level.h).
#include "editor/ed_level.h"

#include <cstring>

#include "game/game.h"

// Rows are found again after every change: a level is at most a few dozen kilobytes.
static bool ed_index(ed_level* level) {
  int32_t rows = 0;
  int32_t start = 0;
  int32_t width = 0;
  level->tail = 0;
  while (level->tail < level->length &&
         (level->text[level->length - 1 - level->tail] == '\r' || level->text[level->length - 1 - level->tail] == '\n'))
    level->tail++;
  const int32_t end = level->length - level->tail;
  for (int32_t i = 0; i + 1 < end; ++i) {
    if (level->text[i] != '\r' || level->text[i + 1] != '\n') continue;
    if (rows >= ED_ROWS_MAX) return false;
    level->row_start[rows] = start;
    level->row_length[rows] = i - start;
    if (i - start > width) width = i - start;
    rows++;
    start = i + 2;
    i++;
  }
  level->row_start[rows] = start;
  level->rows = rows;
  level->width = width;
  return true;
}

// Replaces `remove` bytes at `at` with `count` copies of `fill` (or the bytes of `from`).
static bool ed_splice(ed_level* level, int32_t at, int32_t remove, const uint8_t* from, int32_t count, uint8_t fill) {
  const int32_t length = level->length - remove + count;
  if (length > ED_TEXT_MAX || at < 0 || remove < 0 || at + remove > level->length) return false;
  memmove(level->text + at + count, level->text + at + remove, size_t(level->length - at - remove));
  if (from) memcpy(level->text + at, from, size_t(count));
  else memset(level->text + at, fill, size_t(count));
  level->length = length;
  return true;
}

bool ed_level_set_text(ed_level* level, const uint8_t* bytes, int32_t size) {
  if (size < 0 || size > ED_TEXT_MAX) return false;
  static ed_level scratch;  // the old level stays if the new one has too many rows
  memcpy(scratch.text, bytes, size_t(size));
  scratch.length = size;
  if (!ed_index(&scratch)) return false;
  memcpy(level, &scratch, sizeof scratch);
  return true;
}

uint8_t ed_level_char(const ed_level* level, int32_t x, int32_t y) {
  if (y < 0 || y >= level->rows || x < 0) return 0;
  return x < level->row_length[y] ? level->text[level->row_start[y] + x] : uint8_t(' ');
}

// Empty rows before the path line until the playfield has `rows` rows.
static bool ed_grow_rows(ed_level* level, int32_t rows) {
  if (rows > ED_ROWS_MAX) return false;
  while (level->rows < rows) {
    if (!ed_splice(level, level->row_start[level->rows], 0, reinterpret_cast<const uint8_t*>("\r\n"), 2, 0))
      return false;
    ed_index(level);
  }
  return true;
}

bool ed_level_put(ed_level* level, int32_t x, int32_t y, uint8_t c) {
  if (x < 0 || y < 0) return false;
  const int32_t saved = level->length;
  if (!ed_grow_rows(level, y + 1)) {
    level->length = saved;  // only whole empty rows were added: take them back
    ed_index(level);
    return false;
  }
  const int32_t start = level->row_start[y], have = level->row_length[y];
  bool done;
  if (x < have) {
    level->text[start + x] = c;
    done = true;
  } else {
    done = ed_splice(level, start + have, 0, nullptr, x - have, ' ') && ed_splice(level, start + x, 0, &c, 1, 0);
  }
  ed_index(level);
  return done;
}

int32_t ed_level_rooms_across(const ed_level* level) {
  const int32_t n = (level->width + ED_ROOM_COLUMNS - 1) / ED_ROOM_COLUMNS;
  return n < 1 ? 1 : n;
}

int32_t ed_level_rooms_down(const ed_level* level) {
  const int32_t n = (level->rows + ED_ROOM_ROWS - 1) / ED_ROOM_ROWS;
  return n < 1 ? 1 : n;
}

// Every row padded with spaces (or cut) to `width` characters.
static bool ed_set_width(ed_level* level, int32_t width) {
  for (int32_t y = 0; y < level->rows; ++y) {
    const int32_t have = level->row_length[y];
    const bool ok = have < width ? ed_splice(level, level->row_start[y] + have, 0, nullptr, width - have, ' ')
                                 : ed_splice(level, level->row_start[y] + width, have - width, nullptr, 0, 0);
    ed_index(level);
    if (!ok) return false;
  }
  return true;
}

bool ed_level_add_rooms(ed_level* level, int32_t side) {
  static ed_level before;
  memcpy(&before, level, sizeof before);
  const int32_t across = ed_level_rooms_across(level), down = ed_level_rooms_down(level);
  bool ok = true;
  if (side == MOVE_RIGHT) {
    ok = ed_set_width(level, (across + 1) * ED_ROOM_COLUMNS);
  } else if (side == MOVE_LEFT) {
    for (int32_t y = 0; y < level->rows && ok; ++y) {
      ok = ed_splice(level, level->row_start[y], 0, nullptr, ED_ROOM_COLUMNS, ' ');
      ed_index(level);
    }
  } else if (side == MOVE_DOWN || side == MOVE_UP) {
    const int32_t width = across * ED_ROOM_COLUMNS;
    // A part-filled bottom row of rooms is filled up first, so the new rooms start at a room.
    if (side == MOVE_DOWN) ok = ed_grow_rows(level, down * ED_ROOM_ROWS);
    for (int32_t k = 0; k < ED_ROOM_ROWS && ok; ++k) {
      const int32_t at = side == MOVE_DOWN ? level->row_start[level->rows] : 0;
      ok = level->rows < ED_ROWS_MAX && ed_splice(level, at, 0, nullptr, width, ' ') &&
           ed_splice(level, at + width, 0, reinterpret_cast<const uint8_t*>("\r\n"), 2, 0);
      ed_index(level);
    }
  } else {
    ok = false;
  }
  if (!ok) memcpy(level, &before, sizeof before);
  return ok;
}

bool ed_level_remove_rooms(ed_level* level, int32_t side) {
  const int32_t across = ed_level_rooms_across(level), down = ed_level_rooms_down(level);
  if (side == MOVE_RIGHT || side == MOVE_LEFT) {
    if (across < 2) return false;
    if (side == MOVE_RIGHT) return ed_set_width(level, (across - 1) * ED_ROOM_COLUMNS);
    for (int32_t y = 0; y < level->rows; ++y) {
      const int32_t cut = level->row_length[y] < ED_ROOM_COLUMNS ? level->row_length[y] : ED_ROOM_COLUMNS;
      ed_splice(level, level->row_start[y], cut, nullptr, 0, 0);
      ed_index(level);
    }
    return true;
  }
  if (side == MOVE_DOWN || side == MOVE_UP) {
    if (down < 2) return false;
    const int32_t keep = (down - 1) * ED_ROOM_ROWS;
    const int32_t first = side == MOVE_DOWN ? keep : 0;
    const int32_t last = side == MOVE_DOWN ? level->rows : level->rows - keep;
    const int32_t from = level->row_start[first], to = level->row_start[last];
    ed_splice(level, from, to - from, nullptr, 0, 0);
    ed_index(level);
    return true;
  }
  return false;
}

// --- the path ------------------------------------------------------------------------------

static int32_t ed_path_moves_length(const ed_level* level) {
  const int32_t start = level->row_start[level->rows];
  int32_t n = 0;
  while (start + n < ed_level_played(level) && level->text[start + n] >= CELL_PATH_RIGHT &&
         level->text[start + n] <= CELL_PATH_DOWN)
    ++n;
  return n;
}

int32_t ed_level_moves(const ed_level* level, uint8_t* moves, int32_t max) {
  const int32_t n = ed_path_moves_length(level);
  const int32_t start = level->row_start[level->rows];
  for (int32_t i = 0; i < n && i < max; ++i) moves[i] = level->text[start + i];
  return n;
}

uint8_t ed_level_path_end(const ed_level* level) {
  const int32_t at = level->row_start[level->rows] + ed_path_moves_length(level);
  return at < ed_level_played(level) ? level->text[at] : 0;
}

bool ed_level_add_move(ed_level* level, uint8_t digit) {
  if (digit < CELL_PATH_RIGHT || digit > CELL_PATH_DOWN) return false;
  const int32_t n = ed_path_moves_length(level);
  if (n >= ED_MOVES_MAX) return false;
  const int32_t at = level->row_start[level->rows] + n;
  const bool open = at >= ed_level_played(level);  // no end after the moves yet
  const uint8_t with_end[2] = {digit, CELL_PATH_END};
  const bool ok = ed_splice(level, at, 0, with_end, open ? 2 : 1, 0);
  ed_index(level);
  return ok;
}

bool ed_level_take_move(ed_level* level) {
  const int32_t n = ed_path_moves_length(level);
  if (n == 0) return false;
  const int32_t start = level->row_start[level->rows];
  // A path line is never left empty: its line end would then close the last row, and the
  // game would read that row as the path.
  const bool only = n == 1 && ed_level_played(level) == start + 1;
  const uint8_t end = CELL_PATH_END;
  ed_splice(level, start + n - 1, 1, only ? &end : nullptr, only ? 1 : 0, 0);
  ed_index(level);
  return true;
}
