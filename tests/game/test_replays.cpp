// Every replay in tests/replays/ is played through the whole game loop and must hold all of
// its expectations and end with no live block. Level 0 is won by level0_win.txt and lost by
// the others (the rock, the enemy, the clock); a new replay file is a new test, no code needed.
//
// To play one replay from a test of your own:
//   headless_replay replay;
//   std::string error;
//   ASSERT_TRUE(headless_replay_load(path, &replay, &error)) << error;
//   headless_result result;
//   headless_play(replay, headless_options{}, &result);
//   EXPECT_TRUE(result.ok) << result.failures_text();
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "platform_headless/headless_harness.h"

static std::vector<std::string> replay_files() {
  std::vector<std::string> names;
  const std::filesystem::path dir = std::filesystem::path(TUMBLER_SOURCE_DIR) / "tests" / "replays";
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
    if (entry.path().extension() == ".txt") names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class replay_file : public ::testing::TestWithParam<std::string> {};

TEST_P(replay_file, HoldsEveryExpectationAndLeavesNothingLive) {
  headless_replay replay;
  std::string error;
  const std::string path = std::string(TUMBLER_SOURCE_DIR) + "/tests/replays/" + GetParam();
  ASSERT_TRUE(headless_replay_load(path, &replay, &error)) << error;
  bool expects = false;
  for (const headless_event& ev : replay.events) expects |= ev.kind == HEADLESS_EV_EXPECT;
  EXPECT_TRUE(expects) << "a replay proves nothing without an expect line";
  headless_result result;
  headless_play(replay, headless_options{}, &result);
  EXPECT_TRUE(result.failures.empty()) << result.failures_text();
  EXPECT_EQ(result.leaks, 0);
}

static std::string test_name(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param.substr(0, info.param.rfind('.'));
  for (char& c : name)
    if (!isalnum((unsigned char)c)) c = '_';
  return name;
}

INSTANTIATE_TEST_SUITE_P(Replays, replay_file, ::testing::ValuesIn(replay_files()), test_name);

TEST(ReplayFormat, ParsesTimesKeysHoldsAndExpectations) {
  headless_replay r;
  std::string error;
  ASSERT_TRUE(headless_replay_parse("step 20\nlevel 3\n100 down space # leave\n+50 up SPACE\n"
                                    "300 hold LEFT 250\n400 mouse down 10 120\n600 expect state game_over\n"
                                    "700 expect cell 3 4 255\n900 end\n",
                                    &r, &error))
      << error;
  EXPECT_EQ(r.step_ms, 20u);
  EXPECT_EQ(r.level, 3);
  EXPECT_EQ(r.end_ms, 900u);
  ASSERT_EQ(r.events.size(), 7u);
  EXPECT_EQ(r.events[0].code, 0x20u);
  EXPECT_EQ(r.events[1].time_ms, 150u);  // +50 after the line before
  EXPECT_EQ(r.events[1].kind, HEADLESS_EV_KEY_UP);
  EXPECT_EQ(r.events[2].code, 0x25u);   // the arrow's virtual-key code, mapped by the game
  EXPECT_EQ(r.events[3].kind, HEADLESS_EV_MOUSE_DOWN);
  EXPECT_EQ(r.events[4].kind, HEADLESS_EV_KEY_UP);  // the hold's release, sorted by time
  EXPECT_EQ(r.events[4].time_ms, 550u);
  EXPECT_EQ(r.events[5].value, GS_GAME_OVER);
  EXPECT_EQ(r.events[6].value, 255);
}

TEST(ReplayFormat, RejectsBadLinesWithTheirNumber) {
  headless_replay r;
  std::string error;
  EXPECT_FALSE(headless_replay_parse("step 16\n100 down NOSUCHKEY\n", &r, &error));
  EXPECT_NE(error.find("line 2"), std::string::npos) << error;
  EXPECT_FALSE(headless_replay_parse("100 expect state dancing\n", &r, &error));
  EXPECT_FALSE(headless_replay_parse("step 0\n", &r, &error));
  EXPECT_FALSE(headless_replay_parse("level 7\n", &r, &error));
  EXPECT_FALSE(headless_replay_parse("abc down UP\n", &r, &error));
  EXPECT_FALSE(headless_replay_parse("100 mouse down 3000000 10\n", &r, &error));
  EXPECT_FALSE(headless_replay_parse("100 mouse move 10 240\n", &r, &error));
  EXPECT_FALSE(headless_replay_parse("100 mouse move -1 0\n", &r, &error));
}

TEST(ReplayFormat, FailedExpectationIsReportedWithItsLine) {
  headless_replay r;
  std::string error;
  ASSERT_TRUE(headless_replay_parse("100 expect state playing\n200 end\n", &r, &error)) << error;
  headless_result result;
  EXPECT_FALSE(headless_play(r, headless_options{}, &result));
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_NE(result.failures[0].find("line 1"), std::string::npos);
  EXPECT_NE(result.failures[0].find("title"), std::string::npos);
  EXPECT_EQ(result.leaks, 0);
}
