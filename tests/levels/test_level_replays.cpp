// Each level after the first can be won: a committed replay collects every diamond while
// keeping up with the view and reaches "Next Level" (after the last level, "You Did IT!").
// Two of them, the first and the tightest, are also played by a slower hand, every step up
// to 0.1 s late, so that the levels leave some margin rather than one exact way through. The
// counters each winning replay pins show that the levels hold what they promise, in a curve
// that rises. One more run plays the whole game from the title through every level to the end.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "game/game.h"
#include "platform_headless/headless_counters.h"
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

INSTANTIATE_TEST_SUITE_P(Levels, LevelWinLate, ::testing::Values(1, 6),
                         [](const ::testing::TestParamInfo<int>& info) { return "map" + std::to_string(info.param); });

// The counters a winning replay pins with its expect lines (headless_counters.h).
std::map<std::string, int32_t> pinned_counters(int level) {
  std::map<std::string, int32_t> pins;
  for (const headless_event& e : load(level).events) {
    int32_t value = 0;
    if (e.kind == HEADLESS_EV_EXPECT && e.compare == '=' && headless_counter_value(e.what, &value)) pins[e.what] = e.value;
  }
  return pins;
}

TEST(LevelCurve, EveryLevelUsesItsMechanicsAndTheSpareTimeFalls) {
  struct promise {
    int level;
    bool pushes, weak_walls, patrol;
  };
  const promise PROMISES[] = {
      {1, false, false, false}, {2, true, false, true}, {3, true, true, true},
      {4, true, true, true},    {5, true, true, true},  {6, true, true, true},
  };
  int32_t spare_before = INT32_MAX;
  int close_passes = 0;
  for (const promise& p : PROMISES) {
    SCOPED_TRACE("map" + std::to_string(p.level));
    std::map<std::string, int32_t> pins = pinned_counters(p.level);
    EXPECT_GE(pins["rock_falls"], 1);
    EXPECT_GE(pins["trail_falls"], 1) << "no rock lands where the player had been";
    EXPECT_GE(pins["pushes"], p.pushes ? 1 : 0);
    EXPECT_GE(pins["walls_broken"], p.weak_walls ? 1 : 0);
    EXPECT_GE(pins["patrolling"], p.patrol ? 1 : 0);
    close_passes += pins.count("closest_enemy") && pins["closest_enemy"] >= 0 && pins["closest_enemy"] <= 2;
    ASSERT_TRUE(pins.count("spare_ms"));
    EXPECT_GT(pins["spare_ms"], 0);
    EXPECT_LT(pins["spare_ms"], spare_before) << "the spare time does not fall";
    spare_before = pins["spare_ms"];
  }
  EXPECT_GE(close_passes, 3) << "levels whose way passes within two cells of a moving enemy";
}

TEST(ReplayCounters, ExpectLinesCompareAndSayWhatTheyFound) {
  // Level 1 with nobody at the keys: nothing falls, nobody pushes, and the path's end comes.
  headless_replay r;
  std::string error;
  ASSERT_TRUE(headless_replay_parse("step 16\nlevel 1\n100 down SPACE\n+50 up SPACE\n"
                                    "2000 expect rock_falls 0\n2000 expect pushes <= 0\n"
                                    "2000 expect doom_ms >= 27000\n2000 expect rock_falls >= 1\n2100 end\n",
                                    &r, &error))
      << error;
  ASSERT_EQ(r.events.size(), 6u);
  EXPECT_EQ(r.events[3].compare, '<');
  EXPECT_EQ(r.events[4].compare, '>');
  EXPECT_EQ(r.events[4].value, 27000);
  const headless_result result = play(r);
  ASSERT_EQ(result.failures.size(), 1u) << result.failures_text();
  EXPECT_NE(result.failures[0].find("rock_falls is 0, expected at least 1"), std::string::npos) << result.failures[0];
  EXPECT_FALSE(headless_replay_parse("100 expect patrol > 3\n", &r, &error)) << "only >= and <= compare";
}

TEST(WholeGame, FromTheTitleThroughEveryLevelToTheEnd) {
  const headless_result r = play(load_file("level6_whole_game_win.txt"));
  EXPECT_TRUE(r.ok) << r.failures_text();
  EXPECT_EQ(r.final_state, GS_WON);
  EXPECT_EQ(r.final_level, 0);
  EXPECT_EQ(r.leaks, 0);
}
