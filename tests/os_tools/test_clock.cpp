// The game clock, pass by pass against a scripted millisecond clock.
#include <gtest/gtest.h>

#include <string>

#include "game_double.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "platform_headless/headless_clock.h"
#include "support/log_capture.h"

namespace {

struct Clock : ::testing::Test {
  log_capture log;
  void SetUp() override {
    game_double::restart();
    headless_set_time_ms(5000);
  }
  // First pass at the current time; the game is then running.
  void start() { ASSERT_TRUE(os_frame_tick()); }
  bool pass_after(uint32_t ms) {
    headless_advance_time_ms(ms);
    return os_frame_tick();
  }
  static int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) n++;
    return n;
  }
};

TEST_F(Clock, FirstPassInitialisesWithoutTicking) {
  int16_t key_seen_in_init = -1;
  game_double::on_init = [&] {
    os_key_event(0x41, 1);  // input during game_init is cleared by the reset that follows
    key_seen_in_init = os_get_key(0x41);
    headless_advance_time_ms(700);  // opening the display takes a while
  };
  EXPECT_TRUE(os_frame_tick());
  EXPECT_EQ(game_double::order, "i");
  EXPECT_EQ(key_seen_in_init, 1);
  EXPECT_EQ(os_get_key(0x41), 0);
  EXPECT_EQ(os_tick_count(), 0u);
  // The time game_init took is not a step: the next pass at the same time does not tick.
  EXPECT_TRUE(os_frame_tick());
  EXPECT_TRUE(game_double::steps.empty());
  EXPECT_TRUE(pass_after(1));
  ASSERT_EQ(game_double::steps.size(), 1u);
  EXPECT_EQ(game_double::steps[0], 0.001f);
}

TEST_F(Clock, StepsAreMeasuredMillisecondsUpToOneSecond) {
  start();
  EXPECT_TRUE(pass_after(16));
  EXPECT_TRUE(pass_after(1));
  EXPECT_TRUE(pass_after(1000));
  EXPECT_TRUE(pass_after(250));
  EXPECT_EQ(game_double::steps, (std::vector<float>{0.016f, 0.001f, 1.0f, 0.25f}));
  EXPECT_EQ(os_tick_count(), 4u);
  EXPECT_FALSE(log.contains("too slow"));
}

TEST_F(Clock, PassWithinTheSameMillisecondDoesNothingEvenWhenQuitting) {
  start();
  EXPECT_TRUE(pass_after(3));
  os_quit();
  EXPECT_TRUE(os_frame_tick());
  EXPECT_TRUE(os_frame_tick());
  EXPECT_EQ(game_double::order, "it");
  EXPECT_EQ(os_tick_count(), 1u);
}

TEST_F(Clock, GapOverOneSecondResynchronisesWithoutTicking) {
  start();
  EXPECT_TRUE(pass_after(1001));
  EXPECT_TRUE(game_double::steps.empty());
  EXPECT_EQ(log.text, "too slow: fix time\n");
  // The next step is measured from the resynchronised time.
  EXPECT_TRUE(pass_after(7));
  EXPECT_EQ(game_double::steps, (std::vector<float>{0.007f}));
}

TEST_F(Clock, SixteenBitWrapDropsOneStep) {
  headless_set_time_ms(65530);
  start();
  EXPECT_TRUE(pass_after(3));  // 65533
  log.text.clear();
  EXPECT_TRUE(pass_after(5));  // 65538: the low 16 bits read 2
  EXPECT_EQ(log.text, "fix time:0xFFFD -> 0x2\n");
  EXPECT_EQ(game_double::steps.size(), 1u);
  EXPECT_TRUE(pass_after(4));
  EXPECT_TRUE(pass_after(2));
  EXPECT_EQ(game_double::steps, (std::vector<float>{0.003f, 0.004f, 0.002f}));
  EXPECT_EQ(count(log.text, "fix time"), 1);
}

TEST_F(Clock, OnlyTheLowSixteenBitsOfTheTimeCount) {
  start();
  EXPECT_TRUE(pass_after(65536));  // the same 16-bit value: no step, nothing logged
  EXPECT_TRUE(game_double::steps.empty());
  EXPECT_TRUE(pass_after(65536 + 9));
  EXPECT_EQ(game_double::steps, (std::vector<float>{0.009f}));
  EXPECT_EQ(log.text.find("fix time"), std::string::npos);
}

TEST_F(Clock, QuitBetweenTicksRunsOneMoreTickThenShutsDown) {
  start();
  EXPECT_TRUE(pass_after(10));
  os_quit();
  EXPECT_EQ(os_running, 0);
  EXPECT_FALSE(pass_after(10));
  EXPECT_EQ(game_double::order, "ittsd");
  EXPECT_EQ(game_double::shutdown_calls, 1);
  EXPECT_EQ(game_double::deinit_calls, 1);
}

TEST_F(Clock, TickThatClearsRunningShutsDownInTheSamePass) {
  start();
  EXPECT_TRUE(pass_after(10));
  game_double::on_tick = [](float) { os_running = 0; };
  EXPECT_FALSE(pass_after(10));
  EXPECT_EQ(game_double::order, "ittsd");
}

TEST_F(Clock, FrameRateReportsAndSpeedValue) {
  start();
  EXPECT_TRUE(pass_after(5));
  EXPECT_EQ(log.text, "FPS:1 (5)\n");  // the first report comes with the first tick
  // Nine more 100 ms ticks stay below the next report at 1005 ms; the tenth reaches it.
  for (int k = 0; k < 9; ++k) pass_after(100);
  EXPECT_EQ(count(log.text, "FPS:"), 1);
  pass_after(100);
  EXPECT_TRUE(log.contains("FPS:10 (1005)\n"));
  // Nineteen more reports of 10 ticks: 21 reports summing 1 + 20 * 10 = 201 ticks.
  for (int k = 0; k < 19 * 10 - 1; ++k) pass_after(100);
  EXPECT_EQ(count(log.text, "FPS:"), 20);
  EXPECT_FALSE(log.contains("SPEED"));
  pass_after(100);
  EXPECT_EQ(count(log.text, "FPS:"), 21);
  EXPECT_TRUE(log.contains("FPS:10 (20005)\nSPEED DEBUG VALUE:10\n"));
  // The sums start over: the next speed value comes 21 reports later.
  for (int k = 0; k < 20 * 10; ++k) pass_after(100);
  EXPECT_EQ(count(log.text, "SPEED DEBUG VALUE:"), 1);
  for (int k = 0; k < 10; ++k) pass_after(100);
  EXPECT_EQ(count(log.text, "SPEED DEBUG VALUE:10\n"), 2);
}

TEST_F(Clock, HeldKeyAgesOncePerTickAndWrapsAfter254) {
  start();
  std::vector<int16_t> seen;
  game_double::on_tick = [&](float) { seen.push_back(os_get_key(0x41)); };
  pass_after(1);
  os_key_event(0x41, 1);
  for (int k = 0; k < 256; ++k) pass_after(1);
  ASSERT_EQ(seen.size(), 257u);
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(seen[1], 1);
  EXPECT_EQ(seen[2], 2);
  EXPECT_EQ(seen[254], 254);
  EXPECT_EQ(seen[255], 1);
  EXPECT_EQ(seen[256], 2);
  os_key_event(0x41, 0);
  pass_after(1);
  EXPECT_EQ(seen.back(), 0);
  EXPECT_EQ(os_keys_held(), 0);
}

TEST_F(Clock, MouseButtonCountsTicksNotPasses) {
  start();
  std::vector<int32_t> seen;
  game_double::on_tick = [&](float) { seen.push_back(os_get_mouse()->button[0]); };
  // One loop pass: the clock, then the mouse sample (twice here: passes without a tick and
  // extra samples must not count).
  auto pump = [&](uint32_t ms, bool held) {
    pass_after(ms);
    os_mouse_button(held ? 1 : 0);
    os_mouse_button(held ? 1 : 0);
  };
  for (int k = 0; k < 150; ++k) {
    pump(1, true);
    pump(0, true);
  }
  pump(1, false);
  pump(1, false);
  ASSERT_EQ(seen.size(), 152u);
  EXPECT_EQ(seen[1], 1);  // pressed in the pass of tick 0, first seen by tick 1
  EXPECT_EQ(seen[2], 2);
  EXPECT_EQ(seen[100], 100);
  EXPECT_EQ(seen[150], 100);
  EXPECT_EQ(seen[151], 0);
}

}  // namespace
