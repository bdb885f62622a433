// The editor's flow: opening the file, the keys and the mouse of each mode, undo and redo,
// saving, the draft, and test-play through the game's own play path.
#include <cstdio>
#include <cstring>

#include "editor/ed_file.h"
#include "editor/ed_state.h"
#include "game/game.h"
#include "graph/g_present.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_mem.h"
#include "os_tools/os_util.h"
#include "proof/proof.h"
#include "record/record.h"
#include "tile/tile.h"

ed_state_record ed;

const ed_kind ED_KINDS_TABLE[ED_KINDS] = {
    {'W', "Wall"}, {'X', "Dirt"}, {'#', "Rock"},      {'D', "Diamond"},
    {'E', "Enemy"}, {'H', "Weak wall"}, {'S', "Start"}, {' ', "Empty"},
};

namespace {

constexpr float ED_MESSAGE_TIME = 3.0f;
constexpr float ED_REPEAT_DELAY = 0.35f;  // an arrow held this long starts repeating
constexpr float ED_REPEAT_TIME = 0.06f;
constexpr uint32_t ED_KEY_BACKSPACE = 0x08;
constexpr uint32_t ED_KEY_RETURN = 0x0D;
constexpr uint32_t ED_KEY_SPACE = 0x20;
constexpr uint32_t ED_KEY_DELETE = 5;     // the key map's code for Delete
constexpr uint32_t ED_KEY_SHIFT = 245;

// A new level: one room walled round, and a path that ends at once (five seconds to play,
// until moves are added).
constexpr char ED_NEW_LEVEL[] =
    "WWWWWWWWWW\r\nW        W\r\nW        W\r\nW        W\r\nW        W\r\nW        W\r\nWWWWWWWWWW\r\n0";

void ed_say(const char* text) {
  snprintf(ed.message, sizeof ed.message, "%s", text);
  ed.message_time = ED_MESSAGE_TIME;
}

bool ed_dirty() { return ed.history_count > 0 && ed.history[ed.current].serial != ed.saved_serial; }

void ed_reparse() {
  if (ed.map.cells || ed.map.flags) map_free(&ed.map);
  ed.map = map_parse(ed.level.text, uint32_t(ed_level_played(&ed.level)));
}

// What a proof names: the checksum of the level's bytes as the game reads them.
uint64_t ed_level_checksum() { return pf_level_checksum(ed.level.text, uint32_t(ed_level_played(&ed.level))); }

void ed_update_proof() {
  if (ed.proof == ED_PROOF_NONE) return;
  ed.proof = ed.proof_level == ed_level_checksum() ? ED_PROOF_OK : ED_PROOF_OLD;
}

// Unsaved work goes into the draft; once it is saved (or undone) the draft goes.
void ed_keep_draft() {
  if (!ed_dirty()) {
    ed_remove_file(ed.draft_path);
  } else if (!ed_write_file(ed.draft_path, ed.level.text, ed.level.length)) {
    ed_say("Cannot keep a draft");
  }
}

void ed_snapshot_free(ed_snapshot* s) {
  if (s->text) os_free(&s->text);
  s->length = 0;
}

// The level as it is now becomes the newest step of the history.
void ed_push() {
  for (int32_t i = ed.current + 1; i < ed.history_count; ++i) ed_snapshot_free(&ed.history[i]);
  ed.history_count = ed.history_count > 0 ? ed.current + 1 : 0;
  if (ed.history_count == ED_HISTORY) {
    ed_snapshot_free(&ed.history[0]);
    memmove(&ed.history[0], &ed.history[1], sizeof ed.history[0] * (ED_HISTORY - 1));
    ed.history_count--;
    memset(&ed.history[ed.history_count], 0, sizeof ed.history[0]);
  }
  ed_snapshot& s = ed.history[ed.history_count];
  s.text = static_cast<uint8_t*>(os_alloc(uint32_t(ed.level.length > 0 ? ed.level.length : 1)));
  memcpy(s.text, ed.level.text, size_t(ed.level.length));
  s.length = ed.level.length;
  s.serial = ++ed.next_serial;
  s.cursor_x = ed.cursor_x;
  s.cursor_y = ed.cursor_y;
  ed.current = ed.history_count++;
}

// After a change: the new step, the picture, the proof's standing and the draft.
void ed_changed() {
  ed_push();
  ed_reparse();
  ed_update_proof();
  ed_keep_draft();
}

void ed_go_to(int32_t step) {
  if (step < 0 || step >= ed.history_count) return;
  ed.current = step;
  const ed_snapshot& s = ed.history[step];
  ed_level_set_text(&ed.level, s.text, s.length);
  ed.cursor_x = s.cursor_x;
  ed.cursor_y = s.cursor_y;
  ed_reparse();
  ed_update_proof();
  ed_keep_draft();
}

void ed_clamp_cursor() {
  const int32_t w = ed_level_rooms_across(&ed.level) * ED_ROOM_COLUMNS;
  const int32_t h = ed_level_rooms_down(&ed.level) * ED_ROOM_ROWS;
  ed.cursor_x = ed.cursor_x < 0 ? 0 : (ed.cursor_x >= w ? w - 1 : ed.cursor_x);
  ed.cursor_y = ed.cursor_y < 0 ? 0 : (ed.cursor_y >= h ? h - 1 : ed.cursor_y);
}

void ed_move_cursor(uint32_t arrow) {
  if (arrow == OS_KEY_LEFT) ed.cursor_x--;
  if (arrow == OS_KEY_RIGHT) ed.cursor_x++;
  if (arrow == OS_KEY_UP) ed.cursor_y--;
  if (arrow == OS_KEY_DOWN) ed.cursor_y++;
  ed_clamp_cursor();
}

// Puts c at (x, y); a start moves there from wherever it was. True when a cell changed.
bool ed_put(int32_t x, int32_t y, uint8_t c) {
  if (ed_level_char(&ed.level, x, y) == c && y < ed.level.rows && x < ed.level.width) return false;
  if (c == CELL_START)
    for (int32_t sy = 0; sy < ed.level.rows; ++sy)
      for (int32_t sx = 0; sx < ed.level.row_length[sy]; ++sx)
        if (ed_level_char(&ed.level, sx, sy) == CELL_START) ed_level_put(&ed.level, sx, sy, ' ');
  if (!ed_level_put(&ed.level, x, y, c)) {
    ed_say("The level cannot grow more");
    return false;
  }
  ed.mark_x = -1;
  return true;
}

// The problem in the message line, the cursor taken to where it is.
void ed_show_problem(const ed_problem& p) {
  ed_say(p.text);
  ed.mark_x = p.x;
  ed.mark_y = p.y;
  ed.mark_move = p.move;
  if (p.x >= 0) {
    ed.cursor_x = p.x;
    ed.cursor_y = p.y;
  }
  if (p.kind == ED_PATH_LEAVES && p.move >= 0) {
    ed.path_from_x = ed.cursor_x;
    ed.path_from_y = ed.cursor_y;
    const ed_path path = ed_trace_path(&ed.level);
    ed.cursor_x = path.x[p.move];
    ed.cursor_y = path.y[p.move];
    ed.mode = ED_MODE_PATH;
  }
  ed_clamp_cursor();
}

bool ed_save() {
  const ed_problem p = ed_check(&ed.level);
  if (p.kind != ED_OK) {
    ed_show_problem(p);
    return false;
  }
  if (!ed_write_file(ed.path, ed.level.text, ed.level.length)) {
    ed_say("Cannot write the file");
    return false;
  }
  ed.saved_serial = ed.history[ed.current].serial;
  ed_remove_file(ed.draft_path);
  char said[64];
  snprintf(said, sizeof said, "Saved %s", ed.name);
  ed_say(said);
  return true;
}

void ed_leave(bool keep_draft) {
  if (!keep_draft) ed_remove_file(ed.draft_path);
  os_running = 0;
}

// --- test-play -----------------------------------------------------------------------------

void ed_play_begin() {
  const ed_problem p = ed_check(&ed.level);
  if (p.kind != ED_OK) {
    ed_show_problem(p);
    return;
  }
  ed.play_length = ed_level_played(&ed.level);  // the bytes as the game reads the file
  memcpy(ed.play_text, ed.level.text, size_t(ed.play_length));
  ed.play_won = false;
  ed.play_time = 0.0f;
  ed.mode = ED_MODE_PLAY;
  game.player = tile_make_sprite();  // as fresh as at the start of a game
  game_play_text(ed.play_text, uint32_t(ed.play_length), ed.level_index);
  // The play is recorded from here; a win keeps it as the level's proof.
  char message[REC_MESSAGE_SIZE] = "";
  ed.proving = rec_proof_begin(ed.proof_path, pf_level_checksum(ed.play_text, uint32_t(ed.play_length)),
                               ed.level_index, message, int32_t(sizeof message));
  if (!ed.proving) ed_say("Cannot keep a proof");
}

void ed_play_end() {
  if (ed.proving && !ed.play_won) rec_proof_drop();
  ed.proving = false;
  ed.mode = ED_MODE_CELLS;
  game.own_text = nullptr;
  game.own_length = 0;
  game.game_state = GS_TITLE;
  game_change_song("start.sqt");
  ed_screen_background();
  os_set_last_key(0);
  if (ed.play_won) ed_say(ed.proof != ED_PROOF_NONE ? "Won! The proof is kept" : "Won!");
}

void ed_play_tick(float dt) {
  if (os_get_key(OS_KEY_ESCAPE) != 0) {
    ed_play_end();
    return;
  }
  game_play_tick(dt);
  g_present();
  ed.play_time += dt;
  if (!ed.play_won && (game.game_state == GS_NEXT_LEVEL || game.game_state == GS_WON)) {
    ed.play_won = true;
    if (ed.proving) {  // the recording ends with this pass and becomes the proof
      rec_proof_won();
      ed.proof = ED_PROOF_OK;
      ed.proof_level = pf_level_checksum(ed.play_text, uint32_t(ed.play_length));
      ed_update_proof();
    }
  }
  // After its end screen the game would start the next level or go to the title.
  if (game.game_state == GS_LOAD_LEVEL || game.game_state == GS_TITLE) ed_play_end();
}

// --- keys of each mode ---------------------------------------------------------------------

uint8_t ed_move_digit(uint32_t arrow) {
  switch (arrow) {
    case OS_KEY_LEFT: return CELL_PATH_LEFT;
    case OS_KEY_RIGHT: return CELL_PATH_RIGHT;
    case OS_KEY_UP: return CELL_PATH_UP;
    default: return CELL_PATH_DOWN;
  }
}

bool ed_arrow(uint32_t key) { return key >= OS_KEY_LEFT && key <= OS_KEY_DOWN; }

void ed_key_cells(uint32_t key) {
  if (ed_arrow(key)) {
    ed_move_cursor(key);
  } else if (key >= '1' && key < uint32_t('1' + ED_KINDS)) {
    ed.kind = int32_t(key - '1');
  } else if (key == ED_KEY_SPACE || key == ED_KEY_RETURN) {
    if (ed_put(ed.cursor_x, ed.cursor_y, ED_KINDS_TABLE[ed.kind].c)) ed_changed();
  } else if (key == ED_KEY_DELETE || key == ED_KEY_BACKSPACE) {
    if (ed_put(ed.cursor_x, ed.cursor_y, ' ')) ed_changed();
  } else if (key == 'P') {
    ed.mode = ED_MODE_PATH;
    ed.path_from_x = ed.cursor_x;  // the view follows the path, then comes back here
    ed.path_from_y = ed.cursor_y;
  } else if (key == 'R') {
    ed.mode = ED_MODE_ROOMS;
    ed.remove_armed = false;
  } else if (key == 'H') {
    ed.mode = ED_MODE_HELP;
  } else if (key == 'Z') {
    if (ed.current > 0) ed_go_to(ed.current - 1);
    else ed_say("Nothing to undo");
  } else if (key == 'Y') {
    if (ed.current + 1 < ed.history_count) ed_go_to(ed.current + 1);
    else ed_say("Nothing to redo");
  } else if (key == 'T') {
    ed_play_begin();
  } else if (key == 'S') {
    ed_save();
  } else if (key == OS_KEY_ESCAPE) {
    if (ed_dirty()) ed.mode = ED_MODE_LEAVE;
    else ed_leave(false);
  }
}

// The cursor goes to the room where the path now ends, so the view shows it.
void ed_key_path(uint32_t key) {
  bool changed = false;
  if (ed_arrow(key)) {
    changed = ed_level_add_move(&ed.level, ed_move_digit(key));
    if (!changed) ed_say("The path is as long as it gets");
  } else if (key == ED_KEY_BACKSPACE || key == ED_KEY_DELETE) {
    changed = ed_level_take_move(&ed.level);
  } else if (key == 'P' || key == OS_KEY_ESCAPE || key == ED_KEY_RETURN) {
    ed.mode = ED_MODE_CELLS;
    ed.cursor_x = ed.path_from_x;
    ed.cursor_y = ed.path_from_y;
    ed_clamp_cursor();
  }
  if (!changed) return;
  ed.mark_move = -1;
  const ed_path path = ed_trace_path(&ed.level);
  ed.cursor_x = path.x[path.moves] + ED_ROOM_COLUMNS / 2;
  ed.cursor_y = path.y[path.moves] + ED_ROOM_ROWS / 2;
  ed_clamp_cursor();
  ed_changed();
}

void ed_key_rooms(uint32_t key) {
  if (key == ED_KEY_DELETE || key == ED_KEY_BACKSPACE) {
    ed.remove_armed = !ed.remove_armed;
  } else if (ed_arrow(key)) {
    const int32_t side = int32_t(key);  // the arrows' codes are the view's move codes
    const bool remove = ed.remove_armed || os_get_key(ED_KEY_SHIFT) != 0;
    const bool changed = remove ? ed_level_remove_rooms(&ed.level, side) : ed_level_add_rooms(&ed.level, side);
    ed.remove_armed = false;
    if (!changed) {
      ed_say(remove ? "The last room stays" : "The level cannot grow more");
      return;
    }
    // Rooms added or taken at the left or top move the cells under the cursor.
    const int32_t shift = remove ? -1 : 1;
    if (side == MOVE_LEFT) ed.cursor_x += shift * ED_ROOM_COLUMNS;
    if (side == MOVE_UP) ed.cursor_y += shift * ED_ROOM_ROWS;
    ed_clamp_cursor();
    ed_changed();
  } else if (key == 'R' || key == OS_KEY_ESCAPE || key == ED_KEY_RETURN) {
    ed.mode = ED_MODE_CELLS;
  }
}

void ed_key_leave(uint32_t key) {
  if (key == 'S') {
    if (ed_save()) ed_leave(false);
    else if (ed.mode == ED_MODE_LEAVE) ed.mode = ED_MODE_CELLS;
  } else if (key == 'Y') {
    ed_leave(false);
  } else if (key == 'N' || key == OS_KEY_ESCAPE) {
    ed.mode = ED_MODE_CELLS;
  }
}

// An arrow held down repeats after a moment, in the cells.
void ed_repeat(float dt) {
  uint32_t held = 0;
  for (uint32_t k = OS_KEY_LEFT; k <= OS_KEY_DOWN && held == 0; ++k)
    if (os_get_key(k) != 0) held = k;
  if (held == 0 || ed.mode != ED_MODE_CELLS) {
    ed.held_time = 0.0f;
    ed.repeat_time = 0.0f;
    return;
  }
  ed.held_time += dt;
  if (ed.held_time < ED_REPEAT_DELAY) return;
  ed.repeat_time += dt;
  while (ed.repeat_time >= ED_REPEAT_TIME) {
    ed.repeat_time -= ED_REPEAT_TIME;
    ed_move_cursor(held);
  }
}

// The mouse (and touch in the browser) draws with the chosen kind; a click on the palette
// chooses one. One stroke is one step of the history.
void ed_mouse() {
  const os_mouse* m = os_get_mouse();
  const bool down = m->button[0] != 0 && ed.mode == ED_MODE_CELLS;
  if (!down) {
    if (ed.stroke && ed.stroke_changed) ed_changed();
    ed.stroke = false;
    return;
  }
  if (!ed.stroke && m->button[0] == 1) {
    const int32_t icon = ed_screen_icon_at(m->x[0], m->y[0]);
    if (icon >= 0) {
      ed.kind = icon;
      return;
    }
  }
  int32_t x = 0, y = 0;
  if (!ed_screen_cell_at(m->x[0], m->y[0], &x, &y)) return;
  if (!ed.stroke) {
    ed.stroke = true;
    ed.stroke_changed = false;
  }
  ed.cursor_x = x;
  ed.cursor_y = y;
  ed_clamp_cursor();
  if (ed_put(ed.cursor_x, ed.cursor_y, ED_KINDS_TABLE[ed.kind].c)) {
    ed.stroke_changed = true;
    ed_reparse();
  }
}

}  // namespace

// --- the hooks -----------------------------------------------------------------------------

void ed_restart() {
  for (ed_snapshot& s : ed.history) ed_snapshot_free(&s);
  if (ed.map.cells || ed.map.flags) map_free(&ed.map);
  ed_screen_free();
  memset(&ed, 0, sizeof ed);
}

bool ed_active() { return ed.open; }

bool ed_open(const char* path, char* message, int32_t message_size) {
  ed_restart();
  if (strlen(path) + 8 >= sizeof ed.path || !ed_sibling(path, ".draft", ed.draft_path, ED_PATH_MAX) ||
      !ed_sibling(path, ".proof", ed.proof_path, ED_PATH_MAX)) {
    snprintf(message, size_t(message_size), "tumbler: the file name given to --edit is too long\n");
    return false;
  }
  snprintf(ed.path, sizeof ed.path, "%s", path);
  ed.name = ed.path;
  for (const char* p = ed.path; *p; ++p)
    if (*p == '/' || *p == '\\') ed.name = p + 1;
  // mapN.txt is level N of the game: its number and song in test-play.
  if (strlen(ed.name) == 8 && strncmp(ed.name, "map", 3) == 0 && ed.name[3] >= '0' && ed.name[3] < '0' + GAME_LEVEL_COUNT &&
      strcmp(ed.name + 4, ".txt") == 0)
    ed.level_index = uint8_t(ed.name[3] - '0');

  uint8_t* bytes = ed.file_text;
  int32_t size = 0;
  const int32_t read = ed_read_file(path, bytes, MAP_FILE_MAX, &size);
  const char* problem = read == ED_READ_FAILED ? "cannot be read" : read == ED_READ_TOO_LARGE ? "is larger than 64 KB" : nullptr;
  if (read == ED_READ_MISSING) {
    size = int32_t(sizeof ED_NEW_LEVEL - 1);
    memcpy(bytes, ED_NEW_LEVEL, size_t(size));
  }
  if (!problem && !ed_level_set_text(&ed.level, bytes, size)) problem = "has more rows than the editor takes";
  if (problem) {
    snprintf(message, size_t(message_size), "tumbler: %s %s\n", path, problem);
    ed_restart();
    return false;
  }
  ed.file_length = size;
  // Work from a session that ended without saving: it comes back, still to be saved.
  static uint8_t draft[MAP_FILE_MAX];
  int32_t draft_size = 0;
  if (ed_read_file(ed.draft_path, draft, MAP_FILE_MAX, &draft_size) == ED_READ_DONE &&
      (draft_size != size || memcmp(draft, bytes, size_t(size)) != 0))
    ed.restored = ed_level_set_text(&ed.level, draft, draft_size);
  ed.mark_x = ed.mark_y = ed.mark_move = -1;
  ed.open = true;
  return true;
}

void ed_start() {
  ed.started = true;
  // The history starts with the file; brought-back work is the step after it.
  if (ed.restored) {
    static uint8_t draft[MAP_FILE_MAX];
    const int32_t length = ed.level.length;
    memcpy(draft, ed.level.text, size_t(length));
    ed_level_set_text(&ed.level, ed.file_text, ed.file_length);
    ed_push();
    ed_level_set_text(&ed.level, draft, length);
  }
  ed_push();
  ed.saved_serial = ed.history[0].serial;
  ed_screen_make();
  ed_screen_background();
  ed_reparse();
  uint8_t index = 0;
  if (rec_proof_read(ed.proof_path, &ed.proof_level, &index)) ed.proof = ED_PROOF_OK;
  ed_update_proof();
  ed.mode = ED_MODE_CELLS;
  bool found = false;  // the cursor starts on the (first) start cell
  for (int32_t y = 0; y < ed.level.rows && !found; ++y)
    for (int32_t x = 0; x < ed.level.row_length[y] && !found; ++x)
      if (ed_level_char(&ed.level, x, y) == CELL_START) ed.cursor_x = x, ed.cursor_y = y, found = true;
  ed_clamp_cursor();
  os_set_last_key(0);
  game_change_song("start.sqt");
  if (ed.restored) ed_say("Unsaved work brought back");
}

void ed_tick(float dt) {
  // The window was closed: unsaved work is asked about first; closing it again leaves, the
  // work kept in the draft.
  if (os_running == 0 && ed_dirty() && ed.mode != ED_MODE_LEAVE) {
    if (ed.mode == ED_MODE_PLAY) ed_play_end();
    ed.mode = ED_MODE_LEAVE;
    os_running = 1;
  }
  if (ed.mode == ED_MODE_PLAY) return ed_play_tick(dt);
  ed.blink += dt;
  if (ed.blink >= 60.0f) ed.blink -= 60.0f;
  if (ed.message_time > 0.0f) ed.message_time -= dt;
  const uint32_t key = os_get_last_key();
  os_set_last_key(0);
  if (key != 0) {
    switch (ed.mode) {
      case ED_MODE_CELLS: ed_key_cells(key); break;
      case ED_MODE_PATH: ed_key_path(key); break;
      case ED_MODE_ROOMS: ed_key_rooms(key); break;
      case ED_MODE_HELP:
        if (key == 'H' || key == OS_KEY_ESCAPE || key == ED_KEY_RETURN) ed.mode = ED_MODE_CELLS;
        break;
      case ED_MODE_LEAVE: ed_key_leave(key); break;
      default: break;
    }
  }
  if (ed.mode == ED_MODE_PLAY) return;  // test-play began: its first tick is the next one
  ed_repeat(dt);
  ed_mouse();
  ed_screen_draw();
  g_present();
}

void ed_stop() {
  if (ed.proving) rec_proof_drop();
  ed.proving = false;
  ed.open = false;  // the game's own shutdown follows
  for (ed_snapshot& s : ed.history) ed_snapshot_free(&s);
  if (ed.map.cells || ed.map.flags) map_free(&ed.map);
  ed_screen_free();
}
