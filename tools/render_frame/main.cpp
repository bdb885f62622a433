// render_frame: plays a replay in the headless harness and writes the composed picture of
// one moment to an image, or traces the game's state pass by pass.
//
//   render_frame REPLAY TIME_MS OUT.png|OUT.ppm   picture of the pass at TIME_MS
//   render_frame REPLAY --every MS DIR            a picture every MS ms: DIR/frame_<ms>.png
//   render_frame REPLAY --trace                   one line per state change and per second
//   render_frame REPLAY --checksums               one checksum per pass
//   render_frame REPLAY --record OUT.rec          the session as tumbler --record writes it
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game/game.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "record/record.h"

struct every_state {
  uint32_t period;
  std::string dir;
};

static void on_every(uint32_t t, void* user) {
  const every_state* e = static_cast<const every_state*>(user);
  if (t % e->period != 0) return;
  static uint32_t frame[HEADLESS_FB_WIDTH * HEADLESS_FB_HEIGHT];
  headless_compose(frame);
  char name[64];
  snprintf(name, sizeof name, "/frame_%06u.png", t);
  headless_write_picture(e->dir + name, frame, HEADLESS_FB_WIDTH, HEADLESS_FB_HEIGHT);
}

static void on_trace(uint32_t t, void*) {
  static int32_t last_state = -1;
  if (game.game_state == last_state && t % 1000 != 0) return;
  last_state = game.game_state;
  printf("%6u ms state %d level %d player %.2f,%.2f step %d view %.2f,%.2f path '%c' move %d countdown %.3f "
         "outside %.3f diamonds %d/%d\n",
         t, game.game_state, game.level_index, game.player_x, game.player_y, game.step_state, game.view_x,
         game.view_y, game.path_char >= 32 && game.path_char < 127 ? game.path_char : '?', game.move_dir,
         game.countdown, game.outside_time, game.diamonds_collected, game.diamonds_total);
}

static uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

int main(int argc, char** argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: %s REPLAY TIME_MS OUT | --every MS DIR | --trace | --checksums | --record OUT.rec\n", argv[0]);
    return 2;
  }
  headless_replay replay;
  std::string error;
  if (!headless_replay_load(argv[1], &replay, &error)) {
    fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  headless_options options;
  every_state every{};
  const std::string mode = argv[2];
  if (mode == "--trace") {
    options.on_pass = on_trace;
  } else if (mode == "--checksums") {
    options.checksums = true;
  } else if (mode == "--every" && argc == 5) {
    every.period = uint32_t(strtoul(argv[3], nullptr, 10));
    every.dir = argv[4];
    if (every.period == 0) return 2;
    options.on_pass = on_every;
    options.user = &every;
  } else if (mode == "--record" && argc == 4) {
    char message[REC_MESSAGE_SIZE];
    if (!rec_record_open(argv[3], message, int32_t(sizeof message))) {
      fputs(message, stderr);
      return 2;
    }
    headless_set_clock_source(recorded_clock);
    rec_note_answer(false);  // the headless question answers no
  } else if (argc == 4) {
    options.dump_at_ms = strtoll(argv[2], nullptr, 10);
    options.dump_path = argv[3];
  } else {
    fprintf(stderr, "bad arguments\n");
    return 2;
  }
  headless_result result;
  headless_play(replay, options, &result);
  if (mode == "--record") {
    char message[REC_MESSAGE_SIZE];
    if (rec_close(message, int32_t(sizeof message)) != 0) {
      fputs(message, stderr);
      return 1;
    }
  }
  if (mode == "--checksums")
    for (uint64_t c : result.checksums) printf("%016" PRIx64 "\n", c);
  fprintf(stderr, "passes %u, final state %d, level %d, leaks %d\n%s", result.passes, result.final_state,
          result.final_level, result.leaks, result.failures_text().c_str());
  return result.ok ? 0 : 1;
}
