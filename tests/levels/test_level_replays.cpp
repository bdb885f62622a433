// Each level after the first can be won: a committed replay collects every diamond while
// keeping up with the view and reaches "Next Level" (after the last level, "You Did IT!").
// Two of them are also played by a slower hand, every step up to 0.1 s late, so that the
// levels leave some margin rather than one exact way through. One more run plays the whole
// game from the title through every level to the end.
#include <gtest/gtest.h>

#include <string>

#include "game/game.h"
#include "platform_headless/headless_harness.h"
#include "replay_delay.h"

namespace {

headless_replay load_file(const std::string& name) {
  headless_replay replay;
  std::string error;
  std::string path = std::string(TUMBLER_SOURCE_DIR) + "/tests/replays/" + name;
  EXPECT_TRUE(headless_replay_load(path, &replay, &error)) << error;
  return replay;
}

headless_replay load(int level) { return load_file("level" + std::to_string(level) + "_win.txt"); }

headless_result play(const headless_replay& replay) {
  headless_options options;
  options.audio = false;
  headless_result result;
  headless_play(replay, options, &result);
  return result;
}

void expect_won(const headless_result& r, int level) {
  EXPECT_TRUE(r.ok) << r.failures_text();
  if (level < GAME_LEVEL_COUNT - 1) {
    EXPECT_EQ(r.final_state, GS_PLAYING);  // the next level has begun
    EXPECT_EQ(r.final_level, level + 1);
  } else {
    EXPECT_EQ(r.final_state, GS_WON);
    EXPECT_EQ(r.final_level, 0);
  }
  EXPECT_EQ(r.leaks, 0);
}

}  // namespace

class LevelWin : public ::testing::TestWithParam<int> {};

TEST_P(LevelWin, ReplayCollectsEveryDiamond) { expect_won(play(load(GetParam())), GetParam()); }

INSTANTIATE_TEST_SUITE_P(Levels, LevelWin, ::testing::Values(1, 2, 3, 4, 5, 6),
                         [](const ::testing::TestParamInfo<int>& info) { return "map" + std::to_string(info.param); });

class LevelWinLate : public ::testing::TestWithParam<int> {};

TEST_P(LevelWinLate, StepsUpToATenthOfASecondLate) {
  expect_won(play(replay_with_delays(load(GetParam()), 100)), GetParam());
}

TEST_P(LevelWinLate, EveryStepATenthOfASecondLate) {
  expect_won(play(replay_with_delays(load(GetParam()), 100, true)), GetParam());
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelWinLate, ::testing::Values(1, 4),
                         [](const ::testing::TestParamInfo<int>& info) { return "map" + std::to_string(info.param); });

TEST(WholeGame, FromTheTitleThroughEveryLevelToTheEnd) {
  const headless_result r = play(load_file("level6_whole_game_win.txt"));
  EXPECT_TRUE(r.ok) << r.failures_text();
  EXPECT_EQ(r.final_state, GS_WON);
  EXPECT_EQ(r.final_level, 0);
  EXPECT_EQ(r.leaks, 0);
}
