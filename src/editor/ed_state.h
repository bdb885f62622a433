// The editor's one state record, shared by its flow (ed_main.cpp) and its screen
// (ed_screen.cpp). Internal to src/editor.
#pragma once
#include <cstdint>

#include "editor/ed_check.h"
#include "editor/ed_level.h"
#include "editor/editor.h"
#include "graph/g_image.h"
#include "map/map.h"

enum : int32_t {
  ED_MODE_CELLS = 0,  // the cursor, the cells and the mouse
  ED_MODE_PATH,       // arrows add moves to the path, Backspace takes the last one back
  ED_MODE_ROOMS,      // arrows add rooms at that side; Delete (or Shift) first removes them
  ED_MODE_HELP,       // the keys
  ED_MODE_LEAVE,      // "Not saved": save and leave, leave, or stay
  ED_MODE_PLAY,       // test-play: the game runs the level
};

enum : int32_t {
  ED_KINDS = 8,
  ED_HISTORY = 128,  // undo steps kept
};

// What each of the keys 1 to 8 puts down, with its name on the screen.
struct ed_kind {
  uint8_t c;
  const char* name;
};
extern const ed_kind ED_KINDS_TABLE[ED_KINDS];

// One state of the level for undo and redo.
struct ed_snapshot {
  uint8_t* text;  // os_alloc
  int32_t length;
  uint32_t serial;  // which state it is: the saved one is remembered by its serial
  int32_t cursor_x, cursor_y;
};

// How the proof beside the level stands.
enum : int32_t { ED_PROOF_NONE = 0, ED_PROOF_OK, ED_PROOF_OLD };

struct ed_state_record {
  bool open;
  bool started;
  char path[ED_PATH_MAX];
  char draft_path[ED_PATH_MAX];
  char proof_path[ED_PATH_MAX];
  const char* name;  // the file's own name (in path)
  uint8_t level_index;  // the level it is in the game: N for mapN.txt, else 0
  ed_level level;
  uint8_t file_text[MAP_FILE_MAX];  // the file as ed_open read it (or the new level)
  int32_t file_length;
  map_t map;         // the level as the game parses it, for drawing
  ed_snapshot history[ED_HISTORY];
  int32_t history_count;
  int32_t current;
  uint32_t next_serial;
  uint32_t saved_serial;
  bool restored;     // the draft of an earlier session was brought back (it is in `level`)
  // the cursor, the view and the tools
  int32_t cursor_x, cursor_y;
  int32_t path_from_x, path_from_y;  // where the cursor was when the path's screen opened
  int32_t kind;      // index into ED_KINDS_TABLE
  int32_t mode;
  bool remove_armed; // rooms: the next arrow removes
  bool stroke;       // the mouse button is drawing
  bool stroke_changed;
  float held_time;   // how long the arrow key held has been down, for its repeat
  float repeat_time;
  float blink;       // seconds, for the cursor and the marks
  // what the screen says
  char message[64];
  float message_time;
  int32_t mark_x, mark_y;  // a cell the message is about, -1 none
  int32_t mark_move;       // a path move it is about, -1 none
  // the proof
  int32_t proof;
  uint64_t proof_level;    // the level checksum the proof is tied to
  // test-play
  uint8_t play_text[MAP_FILE_MAX];
  int32_t play_length;
  bool play_won;
  bool proving;      // the test-play is being recorded as a proof
  float play_time;
  // drawing
  g_image icons;     // the eight kinds at half size, side by side
  g_image line;      // one line of text before it goes onto a layer
};

extern ed_state_record ed;

// --- the screen (ed_screen.cpp) -----------------------------------------------------------
// The half-size icons and the line image; freed by ed_screen_free.
void ed_screen_make();
void ed_screen_free();
// Layer 0 as the game's play screens have it: the background tile and the grey bar.
void ed_screen_background();
// Layers 1 and 2: the room around the cursor, the marks, the texts, the open panel.
void ed_screen_draw();
// Which cell of the room shown the framebuffer point (x, y) is, false off the room.
bool ed_screen_cell_at(int32_t x, int32_t y, int32_t* cell_x, int32_t* cell_y);
// Which kind's icon the point is on (0..7), or -1.
int32_t ed_screen_icon_at(int32_t x, int32_t y);
