// The game harness: plays the whole game through the loop's pass with the scripted clock,
// scripted keys and mouse, the headless window and renderer and the headless wave device.
// Same replay, same frames and map states. Tests and tools only (standard library allowed).
//
// REPLAY FORMAT (text, one command per line; '#' starts a comment; blank lines are skipped)
//
//   step <ms>                 milliseconds per pass of the clock (default 16, 1..1000)
//   level <n>                 the first game starts at level n (0..6) instead of level 0
//   <t> down <key>            key goes down at time t
//   <t> up <key>              key goes up at time t
//   <t> hold <key> <ms>       key down at t, up at t + ms
//   <t> mouse down <x> <y>    left button down with the pointer at framebuffer pixel (x, y),
//                             0 <= x < 320, 0 <= y < 240
//   <t> mouse move <x> <y>    pointer moves
//   <t> mouse up              button released
//   <t> expect state <s>      after the tick at t: s is title, load_level, playing, game_over,
//                             next_level or won
//   <t> expect level <n>      level_index is n
//   <t> expect diamonds <n>   diamonds collected in this level
//   <t> expect cell <x> <y> <code>   map cell code (a number; 255 is empty)
//   <t> expect player <x> <y> the player stands on cell (x, y)
//   <t> expect <counter> [>= | <=] <n>   a counter of the level in play (headless_counters.h:
//                             enemy_moves, patrol, pushes, spare_ms, ...) is n, at least n
//                             or at most n
//   <t> end                   the replay stops at t (the game is then shut down)
//
// Time t is in milliseconds since the game started: the first pass (game_init) runs at 0,
// pass k at k * step. "+N" means N ms after the previous timed line. Input at time t is seen
// by the first tick at or after t; an expectation at t is checked after that tick.
// Keys: LEFT RIGHT UP DOWN ESCAPE SPACE RETURN, a letter or digit, or a number (the
// platform's virtual-key code). Without an end line the replay ends 1 s after its last line.
// Every *.txt in tests/replays/ is a test (tests/game/test_replays.cpp): it must hold all of
// its expect lines (and have at least one) and leave no live block after the shutdown.
// To find the times, trace a replay: build/tools/render_frame/render_frame FILE --trace
// (one line per state change and per second), or look at a moment: ... FILE 4000 out.png
//
// Example, level 0 won (tests/replays/level0_win.txt):
//   step 16
//   100 down SPACE          # leave the title
//   +50 up SPACE
//   ...
//   4500 expect state next_level
//   5000 end
//
// Running one from a test of your own (see tests/game/test_replays.cpp):
//   headless_replay replay;
//   std::string error;
//   ASSERT_TRUE(headless_replay_load(TUMBLER_SOURCE_DIR "/tests/replays/level0_win.txt", &replay, &error)) << error;
//   headless_result result;
//   headless_play(replay, headless_options{}, &result);
//   EXPECT_TRUE(result.ok) << result.failures_text();
//   EXPECT_EQ(result.leaks, 0);
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum : uint8_t {
  HEADLESS_EV_KEY_DOWN = 1,
  HEADLESS_EV_KEY_UP,
  HEADLESS_EV_MOUSE_DOWN,
  HEADLESS_EV_MOUSE_MOVE,
  HEADLESS_EV_MOUSE_UP,
  HEADLESS_EV_EXPECT,
};

enum : int32_t { HEADLESS_FB_WIDTH = 320, HEADLESS_FB_HEIGHT = 240 };

struct headless_event {
  uint32_t time_ms;
  uint8_t kind;
  uint32_t code;           // virtual-key code
  int32_t x;               // mouse position, or the cell / number of an expectation
  int32_t y;
  int32_t value;           // expected value
  char compare = '=';      // a counter's test: '=' equal, '>' at least, '<' at most
  std::string what;        // expectation: state, level, diamonds, cell, player
  int32_t line;            // line in the replay file
};

struct headless_replay {
  uint32_t step_ms = 16;
  int32_t level = 0;
  uint32_t end_ms = 0;
  std::vector<headless_event> events;  // sorted by time (stable)
};

// Parses replay text; false with a message naming the line on any error.
bool headless_replay_parse(const std::string& text, headless_replay* out, std::string* error);
bool headless_replay_load(const std::string& path, headless_replay* out, std::string* error);

struct headless_options {
  bool checksums = false;     // keep a checksum of the composed picture of every pass
  bool audio = true;          // finish one wave block per 100 ms so the music really plays
  int64_t dump_at_ms = -1;    // write the picture of the pass at this time (or the last before)
  std::string dump_path;      // .ppm, or .png through ImageMagick's convert
  // Called after every pass with a tick (time in ms); may read `game` and the layers.
  void (*on_pass)(uint32_t time_ms, void* user) = nullptr;
  void* user = nullptr;
};

struct headless_result {
  bool ok = false;                    // every expectation held and the game shut down
  std::vector<std::string> failures;  // expectations that did not hold, with their lines
  std::vector<uint64_t> checksums;    // one per pass after the first
  int32_t final_state = -1;
  int32_t final_level = -1;
  int32_t leaks = -1;                 // blocks still live after game_shutdown and display close
  uint32_t passes = 0;
  std::string failures_text() const;
};

// Plays the replay from a fresh start of the game to its end and shuts the game down.
bool headless_play(const headless_replay& replay, const headless_options& options, headless_result* result);

// --- lower level: drive the game by hand --------------------------------------------------
// Fresh platform doubles, clock at 0, first pass (game_init). step_ms is the pass length.
void headless_game_start(uint32_t step_ms);
// Everything headless_game_start does before that first pass.
void headless_game_prepare(uint32_t step_ms);
// One pass: the clock moves on by the step, the game ticks. False once the game has ended.
bool headless_game_pass();
// Milliseconds since start.
uint32_t headless_game_time();
// Input as the platform delivers it (virtual-key codes; framebuffer pixels).
void headless_game_key(uint32_t vk, bool down);
void headless_game_mouse(bool down, int32_t x, int32_t y);
// Ends the game (quit, one more tick, shutdown) and returns the blocks still live since start.
int32_t headless_game_stop();

// --- pictures ------------------------------------------------------------------------------
// The frame as the presenter stacks the layers: layer 0 opaque, the others blended by their
// alpha. 320 x 240 pixels 0xAABBGGRR with alpha 255.
void headless_compose(uint32_t* out);
// 64-bit FNV-1a of the composed frame's red, green and blue bytes.
uint64_t headless_frame_checksum();
// Writes pixels (0xAABBGGRR) as binary PPM, or as PNG through `convert` when path ends in .png.
bool headless_write_picture(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height);
// Virtual-key code of a key name (see the replay format), or -1.
int32_t headless_key_code(const std::string& name);
