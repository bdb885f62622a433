// A recorded session played back: the game is driven with an uneven clock, keys and the
// mouse through the recording hooks, as a back end's pump does; the headless player must
// then reproduce every frame and the final state, and notice a frame that was changed.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "game/game.h"
#include "graph/g_compose.h"
#include "os_tools/os_clock.h"
#include "options/options.h"
#include "os_tools/os_util.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "platform_headless/headless_recording.h"
#include "record/record.h"
#include "support/temp_path.h"

namespace {

uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

std::string read_all(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

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
// With `on_disk`, what the file held at the last pass, before the recording was closed: the
// file a crash there would have left.
recorded_session record_session(const std::string& path, std::string* on_disk = nullptr) {
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
  if (on_disk) *on_disk = read_all(path);
  EXPECT_EQ(rec_close(message, int32_t(sizeof message)), 0) << message;
  headless_set_clock_source(nullptr);
  return out;
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

// A session cut short (the game killed or crashed): what was on the disk, and the whole file
// cut in the middle of a line, play up to their last frame line, every frame as recorded;
// the game's extra tick after the cut is not compared.
// One session recorded for the tests below: the frames, the file, and what was on the disk
// at its last pass.
struct kept_session {
  recorded_session recorded;
  std::string whole;
  std::string on_disk;
};
const kept_session& kept() {
  static const kept_session session = [] {
    kept_session k;
    const std::string path = temp_path("kept.rec");
    k.recorded = record_session(path, &k.on_disk);
    k.whole = read_all(path);
    std::remove(path.c_str());
    return k;
  }();
  return session;
}

TEST(Recording, CutShortPlaysToItsLastFrame) {
  const std::string path = temp_path("cut.rec");
  const recorded_session& recorded = kept().recorded;
  const std::string& on_disk = kept().on_disk;
  const std::string& whole = kept().whole;
  ASSERT_GT(recorded.frames.size(), 500u);
  // Written out at least every 100 ms of play: at 3 to 16 ms a pass, no more than 40 frames
  // are still held back at the end, and the file ends on a whole frame line.
  ASSERT_GT(on_disk.size(), 100u);
  EXPECT_EQ(on_disk.rfind("\nf ") + 20, on_disk.size());
  const std::string cut_path = path + ".cut";
  for (const std::string& cut : {on_disk, whole.substr(0, whole.size() * 3 / 5)}) {
    std::ofstream(cut_path, std::ios::binary) << cut;
    uint32_t frames = 0;
    for (size_t at = cut.find("\nf "); at != std::string::npos && cut.find('\n', at + 1) != std::string::npos;
         at = cut.find("\nf ", at + 1))
      ++frames;
    EXPECT_GE(frames + 40, cut.size() == on_disk.size() ? recorded.frames.size() : 0u);
    headless_playback played;
    ASSERT_TRUE(headless_play_recording(cut_path, &played)) << played.message;
    EXPECT_EQ(played.status, REC_EXIT_CUT) << played.message;
    EXPECT_EQ(played.message, "tumbler: " + cut_path + " ends after frame " + std::to_string(frames) +
                                  " without its end line: played " + std::to_string(frames) + " frames as recorded\n");
    ASSERT_GE(played.checksums.size(), frames);
    EXPECT_TRUE(std::equal(recorded.frames.begin(), recorded.frames.begin() + frames, played.checksums.begin()));
    EXPECT_EQ(played.leaks, 0);
  }
  std::remove(cut_path.c_str());
}

// A start that fails (no display: the first pass never ends) leaves the file as it was; a
// path that cannot be written is refused before anything starts and nothing is made.
TEST(Recording, AFailedStartLeavesTheFileAsItWas) {
  const std::string path = temp_path("keep.rec");
  std::ofstream(path, std::ios::binary) << "an earlier recording";
  char message[REC_MESSAGE_SIZE] = "";
  rec_restart();
  ASSERT_TRUE(rec_record_open(path.c_str(), message, int32_t(sizeof message))) << message;
  rec_note_answer(false);
  recorded_clock();
  EXPECT_EQ(rec_close(message, int32_t(sizeof message)), 0);
  EXPECT_EQ(read_all(path), "an earlier recording");
  const std::string fresh = temp_path("fresh.rec");
  ASSERT_TRUE(rec_record_open(fresh.c_str(), message, int32_t(sizeof message)));
  rec_close(message, int32_t(sizeof message));
  EXPECT_FALSE(std::ifstream(fresh).good()) << "a new file is not made before the game starts";
  const std::string nowhere = temp_path("no-such-folder/a.rec");
  EXPECT_FALSE(rec_record_open(nowhere.c_str(), message, int32_t(sizeof message)));
  EXPECT_EQ(std::string(message), "tumbler: cannot write the recording " + nowhere + "\n");
  std::remove(path.c_str());
}

// A file that holds the clock nearly still for hours: Escape, the window's close (or a
// signal) ends the playback within a few passes.
TEST(Recording, TheViewerStopsAPlaybackThatWouldTakeHours) {
  char levels[17];
  snprintf(levels, sizeof levels, "%016llx", static_cast<unsigned long long>(rec_levels_checksum()));
  std::string text = std::string("tumbler-recording 1\ngame ") + OPT_GAME_VERSION + "\nlevels " + levels +
                     "\nt 0\nanswer no\n";
  for (int i = 1; i <= 3000; ++i) text += "t " + std::to_string(i) + " 1000000\n";
  text += "end 0\n";
  const std::string path = temp_path("hang.rec");
  std::ofstream(path, std::ios::binary) << text;
  for (const bool close : {false, true}) {
    char message[REC_MESSAGE_SIZE] = "";
    rec_restart();
    ASSERT_TRUE(rec_play_open(path.c_str(), false, message, int32_t(sizeof message))) << message;
    headless_game_prepare(1);
    os_rand_restart();
    headless_set_clock_source(recorded_clock);
    bool running = os_frame_tick();
    uint32_t passes = 0;
    for (; running && passes < 100000; ++passes) {
      rec_pass();
      if (passes == 1000) close ? rec_quit() : rec_key(0x1B, 1);
      running = os_frame_tick();
    }
    EXPECT_FALSE(running) << (close ? "close" : "Escape");
    EXPECT_LE(passes, 1002u);
    rec_close(message, int32_t(sizeof message));
    headless_set_clock_source(nullptr);
  }
  std::remove(path.c_str());
}

// A recording read from a pipe plays as the file does.
TEST(Recording, PlaysFromAPipe) {
  const std::string fifo = temp_path("fifo.rec");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::thread writer([&] { std::ofstream(fifo, std::ios::binary) << kept().whole; });
  headless_playback played;
  const bool opened = headless_play_recording(fifo, &played);
  writer.join();
  ASSERT_TRUE(opened) << played.message;
  EXPECT_EQ(played.status, 0) << played.message;
  EXPECT_EQ(played.checksums, kept().recorded.frames);
  std::remove(fifo.c_str());
}

}  // namespace
