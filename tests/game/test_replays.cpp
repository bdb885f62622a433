// Level 0 played through the whole game loop from committed replays: won, and lost to the
// rock, the enemy and the clock; every run ends with no live block.
#include <gtest/gtest.h>

#include <string>

#include "game/game.h"
#include "platform_headless/headless_harness.h"

static headless_result play_file(const std::string& name) {
  headless_replay replay;
  std::string error;
  headless_result result;
  EXPECT_TRUE(headless_replay_load(std::string(TUMBLER_SOURCE_DIR) + "/tests/replays/" + name, &replay, &error))
      << error;
  headless_play(replay, headless_options{}, &result);
  return result;
}

TEST(Level0Replays, WinningReplayReachesLevelOne) {
  const headless_result r = play_file("level0_win.txt");
  EXPECT_TRUE(r.ok) << r.failures_text();
  EXPECT_EQ(r.final_state, GS_PLAYING);
  EXPECT_EQ(r.final_level, 1);
  EXPECT_EQ(r.leaks, 0);
}

TEST(Level0Replays, RockFallsOnThePlayer) {
  const headless_result r = play_file("level0_lose_rock.txt");
  EXPECT_TRUE(r.ok) << r.failures_text();
  EXPECT_EQ(r.final_state, GS_TITLE);
  EXPECT_EQ(r.final_level, 0);
  EXPECT_EQ(r.leaks, 0);
}

TEST(Level0Replays, EnemyTouchesThePlayer) {
  const headless_result r = play_file("level0_lose_enemy.txt");
  EXPECT_TRUE(r.ok) << r.failures_text();
  EXPECT_EQ(r.final_state, GS_GAME_OVER);
  EXPECT_EQ(r.leaks, 0);
}

TEST(Level0Replays, CountdownRunsOutAfterThePathEnds) {
  const headless_result r = play_file("level0_lose_time.txt");
  EXPECT_TRUE(r.ok) << r.failures_text();
  EXPECT_EQ(r.final_state, GS_GAME_OVER);
  EXPECT_EQ(r.leaks, 0);
}
