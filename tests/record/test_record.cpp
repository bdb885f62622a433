// A recorded session played back: the game is driven with an uneven clock, keys and the
// mouse through the recording hooks, as a back end's pump does; the headless player must
// then reproduce every frame and the final state, and notice a frame that was changed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "graph/g_compose.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_util.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "platform_headless/headless_recording.h"
#include "record/record.h"
#include "support/temp_path.h"

namespace {

uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

struct recorded_session {
  std::vector<uint64_t> frames;
  int32_t state = -1;
  int32_t level = -1;
  int32_t diamonds = -1;
};

// The pump's order: clock pass, rec_pass, at most one event, the mouse sample. Uneven steps
// of 3 to 16 ms and every fifth pass none (the same millisecond read again); Space leaves
// the title, the right arrow is held until the window loses the focus, a held click at the
// left edge steers, Escape ends it.
recorded_session record_session(const std::string& path) {
  recorded_session out;
  char message[REC_MESSAGE_SIZE] = "";
  rec_restart();
  EXPECT_TRUE(rec_record_open(path.c_str(), message, int32_t(sizeof message))) << message;
  headless_game_prepare(1);
  os_rand_restart();
  headless_set_clock_source(recorded_clock);
  rec_note_answer(false);  // the headless question answers no without the hooks
  uint32_t ticks = 0;
  bool running = os_frame_tick();
  for (uint32_t pass = 1; running && pass < 5000; ++pass) {
    rec_pass();
    if (os_tick_count() != ticks) out.frames.push_back(g_frame_checksum());
    ticks = os_tick_count();
    const uint32_t t = headless_time_ms();
    if (t >= 1000 && t < 1016) rec_key(0x20, t < 1008);
    if (t >= 2000 && t < 2300) rec_key(0x27, 1);
    if (t >= 2300 && t < 2316) rec_release_input();  // the focus goes while Right is held
    if (t >= 2600 && t < 2700) rec_key(0x27, 0);     // let go in the other window
    rec_mouse(t > 4000 && t < 4400, 30, 360);  // window pixels: the left band
    if (t > 6000) rec_key(0x1B, 1);
    headless_advance_time_ms(pass % 5 == 0 ? 0 : 3 + (pass * 7) % 14);
    running = os_frame_tick();
  }
  out.state = game.game_state;
  out.level = game.level_index;
  out.diamonds = game.diamonds_collected;
  EXPECT_FALSE(running) << "Escape ends the game";
  EXPECT_EQ(rec_close(message, int32_t(sizeof message)), 0) << message;
  headless_set_clock_source(nullptr);
  return out;
}

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Recording, PlaysBackEveryFrameAndTheFinalState) {
  const std::string path = temp_path("round_trip.rec");
  const recorded_session recorded = record_session(path);
  ASSERT_GT(recorded.frames.size(), 500u);
  EXPECT_EQ(recorded.state, GS_PLAYING);

  const std::string text = read_all(path);
  EXPECT_EQ(text.rfind("tumbler-recording 1\ngame " TUMBLER_VERSION "\nlevels ", 0), 0u);
  EXPECT_NE(text.find("\nanswer no\n"), std::string::npos);
  EXPECT_NE(text.find("\nk 32 1\n"), std::string::npos);
  EXPECT_NE(text.find("\nk 2 0\n"), std::string::npos) << "the focus loss lets go of Right";
  EXPECT_NE(text.find("\nm 1 10 120\n"), std::string::npos) << "the mouse in framebuffer pixels";
  // The last tick shut the game down and has no frame of its own.
  EXPECT_NE(text.find("\nend " + std::to_string(recorded.frames.size()) + "\n"), std::string::npos);

  headless_playback played;
  ASSERT_TRUE(headless_play_recording(path, &played)) << played.message;
  EXPECT_EQ(played.status, 0) << played.message;
  EXPECT_EQ(played.checksums, recorded.frames);
  EXPECT_EQ(played.final_state, recorded.state);
  EXPECT_EQ(played.final_level, recorded.level);
  EXPECT_EQ(played.final_diamonds, recorded.diamonds);
  EXPECT_EQ(played.leaks, 0);

  // One frame's checksum changed: the player names the first frame that differs.
  std::string changed = text;
  const size_t at = changed.find("\nf ", changed.size() / 2);
  ASSERT_NE(at, std::string::npos);
  changed[at + 3] = changed[at + 3] == '0' ? '1' : '0';
  const std::string changed_path = path + ".changed";
  std::ofstream(changed_path, std::ios::binary) << changed;
  ASSERT_TRUE(headless_play_recording(changed_path, &played)) << played.message;
  EXPECT_EQ(played.status, 1);
  EXPECT_NE(played.message.find("the frame differs at frame "), std::string::npos) << played.message;
  std::remove(path.c_str());
  std::remove(changed_path.c_str());
}

}  // namespace
