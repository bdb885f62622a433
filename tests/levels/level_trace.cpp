// level_trace: plays a replay and prints what happens in it, for writing levels and their
// replays. Prints a line whenever the player's cell, the game state or the diamond count
// changes, and the level as text with the replay counters when the state changes (and at
// LEVEL_TRACE_AT ms, and every LEVEL_TRACE_EVERY ms, if set).
//   level_trace REPLAY [--delay MS | --late MS]
// --delay: each arrow press up to MS later, by varying amounts; --late: every one MS later.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "game/game.h"
#include "platform_headless/headless_counters.h"
#include "platform_headless/headless_harness.h"
#include "replay_delay.h"

namespace {

struct trace_state {
  int cx = -1000, cy = -1000, state = -1, diamonds = -1;
};

char cell_char(uint8_t code) {
  if (code == 255) return ' ';
  if (code == 253) return '_';
  if (code == 6) return '#';
  if (code == 7) return 'X';
  if (code >= 9 && code <= 11) return 'D';
  if (code == 16) return 'W';
  if (code >= 17 && code <= 19) return 'E';
  if (code == 22) return 'H';
  if (code >= 32 && code < 127) return static_cast<char>(code);
  return '?';
}

void print_map(int px, int py) {
  for (int y = 0; y < game.map.height - 1; ++y) {
    std::string row;
    for (int x = 0; x < game.map.width; ++x) {
      row += (x == px && y == py) ? 'P' : cell_char(map_get_cell(&game.map, x, y));
    }
    std::printf("    %2d |%s|\n", y, row.c_str());
  }
}

void on_pass(uint32_t time_ms, void* user) {
  trace_state& t = *static_cast<trace_state*>(user);
  if (game.map.cells == nullptr || game.tw == 0) return;
  int cx = static_cast<int>(game.player_x / static_cast<float>(game.tw) + 0.5f);
  int cy = static_cast<int>(game.player_y / static_cast<float>(game.th) + 0.5f);
  bool state_changed = game.game_state != t.state;
  if (cx != t.cx || cy != t.cy || state_changed || game.diamonds_collected != t.diamonds) {
    std::printf("%6u ms  player (%2d,%2d)  state %d  level %d  diamonds %d/%d  view (%.1f,%.1f) path %c  out %.2f\n",
                time_ms, cx, cy, game.game_state, game.level_index, game.diamonds_collected,
                game.diamonds_total, game.view_x / static_cast<float>(game.tw),
                game.view_y / static_cast<float>(game.th), game.path_char, game.outside_time);
    t.cx = cx;
    t.cy = cy;
    t.diamonds = game.diamonds_collected;
  }
  static const char* at = std::getenv("LEVEL_TRACE_AT");        // also print the level at this time (ms)
  static const char* every = std::getenv("LEVEL_TRACE_EVERY");  // ... and whenever this many ms have gone by
  static uint32_t next_every = 0;
  const bool periodic = every != nullptr && std::atoi(every) > 0 && time_ms >= next_every;
  if (periodic) next_every = time_ms + static_cast<uint32_t>(std::atoi(every));
  if (state_changed || periodic || (at != nullptr && time_ms == static_cast<uint32_t>(std::atoi(at)))) {
    std::printf("%6u ms\n", time_ms);
    std::printf("          %s\n", headless_counters_text().c_str());
    print_map(cx, cy);
    t.state = game.game_state;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 4) {
    std::fprintf(stderr, "usage: level_trace REPLAY [--delay MS | --late MS]\n");
    return 2;
  }
  headless_replay replay;
  std::string error;
  if (!headless_replay_load(argv[1], &replay, &error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  if (argc == 4) {
    bool uniform = std::string(argv[2]) == "--late";
    replay = replay_with_delays(replay, static_cast<uint32_t>(std::atoi(argv[3])), uniform);
  }
  trace_state t;
  headless_options options;
  options.audio = false;
  options.on_pass = on_pass;
  options.user = &t;
  headless_result result;
  headless_play(replay, options, &result);
  std::printf("%s\nok %d  final state %d  level %d  leaks %d\n", result.failures_text().c_str(), result.ok,
              result.final_state, result.final_level, result.leaks);
  return result.ok ? 0 : 1;
}
