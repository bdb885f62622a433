// The headless recording player (see headless_recording.h).
#include "platform_headless/headless_recording.h"

#include "game/game.h"
#include "graph/g_compose.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_mem.h"
#include "os_tools/os_util.h"
#include "platform.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "platform_headless/headless_window.h"
#include "record/record.h"

static uint32_t headless_recorded_clock() { return rec_clock(headless_time_ms); }

bool headless_play_recording(const std::string& path, headless_playback* playback) {
  *playback = headless_playback{};
  char message[REC_MESSAGE_SIZE] = "";
  rec_restart();
  if (!rec_play_open(path.c_str(), false, message, int32_t(sizeof message))) {
    playback->message = message;
    return false;
  }
  playback->opened = true;
  const int32_t live_at_start = os_alloc_count();
  headless_game_prepare(1);
  os_rand_restart();  // as in a fresh process, where the recording was made
  headless_window_set_answer(rec_given_answer() == 1);
  headless_set_clock_source(headless_recorded_clock);
  // The live pointer stays at (0, 0), up: the recorded samples stand in for it.
  uint32_t ticks = os_tick_count();
  while (platform_pump()) {
    if (os_tick_count() != ticks) playback->checksums.push_back(g_frame_checksum());
    ticks = os_tick_count();
    playback->passes++;
  }
  playback->final_state = game.game_state;
  playback->final_level = game.level_index;
  playback->final_diamonds = game.diamonds_collected;
  playback->status = rec_close(message, int32_t(sizeof message));
  playback->message = message;
  headless_set_clock_source(nullptr);
  playback->leaks = os_alloc_count() - live_at_start;
  return true;
}
