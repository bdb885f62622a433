// game: the game's states and screens, the rules of play on the level map, the moving view
// with its screen path, and the screen mask. The frame clock (os_tools/os_clock.h) drives it
// through game_init, game_tick and game_shutdown; everything runs on the main thread.
// The state lives in one record, `game`, which tests and the headless harness may read.
#pragma once
#include <cstdint>

#include "graph/g_font.h"
#include "graph/g_image.h"
#include "map/map.h"
#include "sprite/sprite.h"

// Game states.
enum : int32_t {
  GS_PLAYING = 0,
  GS_GAME_OVER = 1,
  GS_LOAD_LEVEL = 4,
  GS_NEXT_LEVEL = 5,
  GS_WON = 6,
  GS_TITLE = 7,
};

// The player's step state.
enum : int32_t {
  STEP_DONE = 0,
  STEP_RIGHT = 1,
  STEP_LEFT = 2,
  STEP_READY = 3,
  STEP_UP = 4,
  STEP_DOWN = 5,
};

// Moves of the view.
enum : uint8_t {
  MOVE_LEFT = 1,
  MOVE_RIGHT = 2,
  MOVE_UP = 3,
  MOVE_DOWN = 4,
  MOVE_NONE = 5,
};

enum : int32_t {
  GAME_LEVEL_COUNT = MAP_LEVEL_COUNT,
  GAME_VIEW_COLUMNS = 10,  // the view is one room of 10 x 7 cells
  GAME_VIEW_ROWS = 7,
};

// Screen colours (0xAABBGGRR).
constexpr g_pixel GAME_GREY = 0xff3c3c3c;
constexpr g_pixel GAME_OLIVE = 0xff003c3c;
constexpr g_pixel GAME_TEAL = 0xff3c3c00;

// Timings in seconds.
constexpr float GAME_STEP_TIME = 0.2f;      // one step of the player
constexpr float GAME_WORLD_TIME = 0.5f;     // one world step of rocks and enemies
constexpr float GAME_ANIM_TIME = 0.1f;      // one frame of the diamonds and enemies
constexpr float GAME_BLINK_TIME = 0.5f;     // the direction arrow's blink
constexpr float GAME_END_TIME = 3.0f;       // an end screen
constexpr float GAME_VIEW_WAIT = 6.0f;      // the view's wait between moves
constexpr float GAME_VIEW_MOVE = 6.0f;      // one move of the view
constexpr float GAME_OUTSIDE_TIME = 5.0f;   // the countdown out of the view

struct game_record {
  // --- flow and screens
  int32_t game_state;
  uint8_t level_index;  // 0..6
  float end_timer;
  float blink_timer;
  bool blink_on;
  float title_bob;
  float title_blink;
  g_image title;
  g_font font;
  g_image mask;
  sprite player;  // its x, y follow player_x, player_y when it is drawn
  map_t map;
  g_image picture;  // the level picture: one tile per cell, path row left out
  const uint8_t* own_text;  // a level given as text (game_play_text) in place of the level table's
  uint32_t own_length;
  bool quiet;               // a silent run (a proof's check): no level picture, no sound device
  int32_t tw;       // tile size in play (read from the tile set at level start)
  int32_t th;
  // --- the player and the world
  float player_x;
  float player_y;
  float target_x;
  float target_y;
  int32_t step_state;
  float step_progress;
  bool stepping;
  float step_timer;
  float world_timer;
  float anim_timer;
  int32_t diamonds_total;
  int32_t diamonds_collected;
  // --- the view
  float view_x;
  float view_y;
  uint8_t path_index;
  uint8_t path_char;
  uint8_t move_dir;
  float move_time;
  float wait_time;
  float countdown;
  float move_start_x;
  float move_start_y;
  float move_offset_x;
  float move_offset_y;
  float outside_time;
};

extern game_record game;

// The level table: map and song of each level, in playing order.
struct game_level {
  const char* map;
  const char* song;
};
extern const game_level GAME_LEVELS[GAME_LEVEL_COUNT];

// --- flow (game_flow.cpp) -----------------------------------------------------------------
// The state's name as tests and tools write it ("playing", "game_over", "load_level",
// "next_level", "won", "title"), or null for a code that is no state.
const char* game_state_name(int32_t state);
// Enters the title screen: forgets the last key, plays "start.sqt".
void title_enter();
// The level's last diamond was taken: "Next Level", or "You Did IT!" after the seventh (after
// the one, for a level given alone: map_level_count).
void level_complete();
// The player died or ran out of time: " Game Over"; the same level is replayed afterwards.
void game_over();
// Frees the current music, loads the named song into snd_music and starts it.
void game_change_song(const char* name);
// Tools and tests: the level the next game starts with (0..6).
void game_select_level(uint8_t index);
// The editor's test-play and the proofs: the next tick of the play path sets up `length`
// bytes of level text as level `index` (0..6) would start (its song, its number in the
// status line). The caller keeps the text unchanged until then.
void game_play_text(const uint8_t* text, uint32_t length, uint8_t index);
// One tick of the play path (level set-up, rules, view, texts, curtains) without presenting
// the frame or looking at Escape: the editor's test-play, which does both itself.
void game_play_tick(float dt);

// --- rules (game_rules.cpp) ---------------------------------------------------------------
// Sets up the level: play and view state, player sprite, song, map, first view, counts.
void level_start(const char* map_name, const char* song_name);
// level_start over level text held in memory (tests and tools).
void level_start_text(const char* text, uint32_t length, const char* song_name);
// Redraws the w x h cells at cell (x, y) into the level picture, which it leaves as target.
void redraw_cells(int32_t x, int32_t y, int32_t w, int32_t h);
// Per tick: redraws the cells around the player, draws it, checks enemy contact, copies the view.
void redraw_around_player();
// Reads the direction keys, starts steps and applies the examined cell.
void player_control(float dt);
// Eases the player along its step and snaps it to the grid at the end.
void player_motion(float dt);
// One step of rocks and enemies; false (not run) while the player is between cells.
bool world_step();
// Diamond and enemy frames inside the view, every 0.1 s.
void animate_cells(float dt);

// --- view (game_view.cpp) -----------------------------------------------------------------
// Waits, starts and advances the view's moves along the path, draws the status line.
void view_update(float dt);
// Copies the view out of the level picture onto layer 1.
void view_copy();
// The out-of-view rule while playing: true while the countdown runs, with its value in *left.
bool view_outside_check(float dt, float* left);

// --- mask (game_mask.cpp) -----------------------------------------------------------------
// Fills a freshly created (all zero) image of even size with the screen mask.
void mask_build(g_image* image);
