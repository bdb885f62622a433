// Checking a level's proof (proof.h): the game run silently on the proof's recorded clock and
// input, from the level's start until it is won, lost, or the recording runs out.
#include <cstdio>
#include <cstring>

#include "game/game.h"
#include "graph/g_display.h"
#include "graph/g_layer.h"
#include "map/map.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_util.h"
#include "proof/proof.h"
#include "record/record.h"
#include "tile/tile.h"

namespace {

// A proof's play is a few minutes at most; this many ticks without an end is a broken file.
constexpr uint32_t PF_TICKS_MAX = 10u * 60u * 1000u;
constexpr uint32_t PF_PASSES_MAX = 16u * PF_TICKS_MAX;
constexpr float PF_LOOK_AHEAD_STEP = 0.016f;  // the step of the look at the time left

struct pf_state {
  bool active;
  const uint8_t* level;
  uint32_t size;
  uint8_t index;
  uint8_t bytes[MAP_FILE_MAX];  // pf_check_file's level
} pf;

// The view's wait-and-glide arithmetic run ahead on a copy of its state, as if the level went
// on with the player in the view: the seconds until the end of the path ends the level, or -1
// when it never does.
float pf_time_left() {
  const float dt = PF_LOOK_AHEAD_STEP;
  const float tw = float(game.tw), th = float(game.th);
  const float pic_w = float(game.map.width * game.tw), pic_h = float((game.map.height - 1) * game.th);
  float wait = game.wait_time, move_time = game.move_time, outside = game.outside_time;
  float x = game.view_x, y = game.view_y, x0 = game.move_start_x, y0 = game.move_start_y;
  float ox = game.move_offset_x, oy = game.move_offset_y;
  uint8_t dir = game.move_dir, index = game.path_index, path = game.path_char;
  if (path != CELL_PATH_END) outside = 0.0f;
  for (int32_t step = 1; step < 1000000; ++step) {
    float countdown = GAME_VIEW_WAIT - wait;
    if (countdown < 0.0f) countdown = 0.0f;
    path = map_get_cell(&game.map, index, game.map.height - 1);
    if (countdown > 0.0f) {
      wait += dt;
    } else {
      wait = 0.0f;
      move_time = 0.0f;
      dir = path == CELL_PATH_RIGHT ? MOVE_RIGHT : path == CELL_PATH_LEFT ? MOVE_LEFT
          : path == CELL_PATH_UP    ? MOVE_UP    : path == CELL_PATH_DOWN ? MOVE_DOWN : MOVE_NONE;
      x0 = x;
      y0 = y;
      ox = oy = 0.0f;
    }
    if (dir != MOVE_NONE) {
      move_time += dt;
      if (move_time >= GAME_VIEW_MOVE) {
        dir = MOVE_NONE;
        move_time = GAME_VIEW_MOVE;
        if (path != CELL_PATH_END) index++;
      } else {
        const float s = os_sin(float(double(move_time) * (3.14 * 0.5 / 6.0)));
        if (dir == MOVE_RIGHT) ox = s * tw * 10.0f;
        if (dir == MOVE_LEFT) ox = -s * tw * 10.0f;
        if (dir == MOVE_UP) oy = -s * th * 7.0f;
        if (dir == MOVE_DOWN) oy = s * th * 7.0f;
      }
      x = x0 + ox;
      y = y0 + oy;
      if (x + 10.0f * tw > pic_w) x = pic_w - 10.0f * tw, move_time = GAME_VIEW_MOVE;
      if (y + 7.0f * th > pic_h) y = pic_h - 7.0f * th, move_time = GAME_VIEW_MOVE;
      if (x < 0.0f) x = 0.0f, move_time = GAME_VIEW_MOVE;
      if (y < 0.0f) y = 0.0f, move_time = GAME_VIEW_MOVE;
    }
    if (path != CELL_PATH_END) continue;
    const float left = GAME_OUTSIDE_TIME - outside;
    outside += dt;
    if (left <= 0.0f) return float(step) * dt;
  }
  return -1.0f;
}

void pf_say(pf_result* r, const char* format, const char* detail) {
  // The detail is cut to what the line has room for, so the frame number is never lost.
  char cut[120];
  const size_t n = strnlen(detail, sizeof cut - 1);
  memcpy(cut, detail, n);
  cut[n] = '\0';
  snprintf(r->text, sizeof r->text, format, unsigned(r->frame), cut);
}

// Back to what a fresh program has: the check must leave no trace in the game that follows.
void pf_reset_modules() {
  rec_restart();
  os_clock_restart();
  os_input_restart();
  os_rand_restart();
  game = game_record{};
}

}  // namespace

uint64_t pf_level_checksum(const uint8_t* level, uint32_t size) {
  uint64_t h = OS_FNV1A_START;
  for (uint32_t i = 0; i < size; ++i) h = os_fnv1a(h, level[i]);
  return h;
}

bool pf_active() { return pf.active; }

void pf_start() {
  g_init_offscreen();
  g_create_layer(1);
  g_create_layer(2);
  game.quiet = true;
  game.player = tile_make_sprite();
  game_play_text(pf.level, pf.size, pf.index);
}

pf_result pf_check(const uint8_t* level, uint32_t size, const char* proof_path) {
  pf_result r{};
  r.spare = -1.0f;
  char message[REC_MESSAGE_SIZE] = "";
  uint64_t named = 0;
  uint8_t index = 0;
  pf_reset_modules();
  const int32_t opened = rec_proof_play_open(proof_path, &named, &index, message, int32_t(sizeof message));
  if (opened == REC_PROOF_MISSING) {
    r.outcome = PF_NO_PROOF;
    snprintf(r.text, sizeof r.text, "no proof");
    return r;
  }
  r.outcome = PF_FAILS;
  if (opened != REC_PROOF_OPEN) {
    snprintf(r.text, sizeof r.text, "the proof fails: %.160s", message);
    pf_reset_modules();
    return r;
  }
  if (named != pf_level_checksum(level, size)) {
    snprintf(r.text, sizeof r.text, "the proof fails: it was won on other level bytes (the level changed since)");
    pf_reset_modules();
    return r;
  }

  pf.active = true;
  pf.level = level;
  pf.size = size;
  pf.index = index;
  const char* failure = nullptr;
  bool left = false;  // the play went another way than the recording
  char why[REC_MESSAGE_SIZE] = "";
  // The loop's pass without a back end: the clock and the game, the recording's pass, the
  // recorded pointer.
  bool running = os_frame_tick();
  uint32_t passes = 0;
  while (running) {
    // Passes without a tick come only from equal readings in a row; endless ones mean that
    // the game's clock does not come from the proof.
    if (++passes > PF_PASSES_MAX) {
      failure = "the game's clock does not come from the proof";
      break;
    }
    rec_pass();
    rec_mouse(0, 0, 0);
    r.frame = os_tick_count();
    if (!rec_play_matches(why, int32_t(sizeof why))) {
      failure = why;
      left = true;
    } else if (game.game_state == GS_NEXT_LEVEL || game.game_state == GS_WON) {
      r.outcome = PF_WON;
      r.spare = pf_time_left();
    } else if (game.game_state == GS_GAME_OVER) {
      failure = "the level was lost";
    } else if (r.frame > PF_TICKS_MAX) {
      failure = "it plays on and on";
    }
    if (failure || r.outcome == PF_WON) break;
    running = os_frame_tick();
  }
  if (!failure && r.outcome != PF_WON) failure = "its recording ends before the level is won";
  // The game is shut down as it would be: a quit, one more tick, the shutdown. The playback
  // is stopped, not only the game: a play that left the recording halfway through a run of
  // equal readings would otherwise see the clock stand still and never reach its shutdown.
  rec_quit();
  for (int32_t i = 0; i < 4 && running; ++i) running = os_frame_tick();
  pf.active = false;
  pf_reset_modules();
  if (r.outcome == PF_WON) {
    if (r.spare < 0.0f) snprintf(r.text, sizeof r.text, "won by its proof (at frame %u), no time limit", unsigned(r.frame));
    else snprintf(r.text, sizeof r.text, "won by its proof, %.1f s to spare", double(r.spare));
  } else if (left) {
    snprintf(r.text, sizeof r.text, "the proof fails: its play leaves the recording (%.130s)", failure);
  } else {
    pf_say(&r, "the proof fails at frame %u: %s", failure);
  }
  return r;
}

pf_result pf_check_file(const char* level_path) {
  pf_result r{};
  r.outcome = PF_FAILS;
  r.spare = -1.0f;
  char proof[1100];
  const size_t length = strlen(level_path);
  size_t stem = length;
  for (size_t i = length; i > 0 && level_path[i - 1] != '/' && level_path[i - 1] != '\\'; --i)
    if (level_path[i - 1] == '.') {
      stem = i - 1;
      break;
    }
  if (snprintf(proof, sizeof proof, "%.*s.proof", int(stem), level_path) >= int(sizeof proof)) {
    snprintf(r.text, sizeof r.text, "the file name is too long");
    return r;
  }
  FILE* f = fopen(level_path, "rb");
  size_t n = 0;
  bool more = false;
  if (f) {
    n = fread(pf.bytes, 1, sizeof pf.bytes, f);
    more = n == sizeof pf.bytes && getc(f) != EOF;
    fclose(f);
  }
  if (!f || more) {
    snprintf(r.text, sizeof r.text, "%s", f ? "the level is larger than 64 KB" : "the level cannot be read");
    return r;
  }
  // As the game reads a level file: the line ends at its very end go.
  while (n > 0 && (pf.bytes[n - 1] == '\r' || pf.bytes[n - 1] == '\n')) --n;
  return pf_check(pf.bytes, uint32_t(n), proof);
}

void pf_check_folder(const char* folder) {
  const size_t length = strlen(folder);
  const bool slash = length > 0 && (folder[length - 1] == '/' || folder[length - 1] == '\\');
  for (int32_t k = 0; k < MAP_LEVEL_COUNT; ++k) {
    char path[1100];
    snprintf(path, sizeof path, "%s%s%s", folder, slash ? "" : "/", MAP_LEVEL_FILES[k]);
    FILE* f = fopen(path, "rb");
    if (!f) continue;
    fclose(f);
    const pf_result r = pf_check_file(path);
    fprintf(stderr, "tumbler: %s: %s\n", path, r.text);
  }
}
