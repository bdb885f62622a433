// Window placement, the frame correction, the counter clock's arithmetic and the click rule
// shared by the Windows and SDL back ends.
#include <gtest/gtest.h>

#include "os_tools/os_desktop.h"

namespace {

TEST(WindowPlacement, WindowedIsCentredWithArithmeticShifts) {
  const os_placement full_hd = os_place_window(1920, 1080, 960, 720, false);
  EXPECT_EQ(full_hd.x, 480);
  EXPECT_EQ(full_hd.y, 180);
  EXPECT_EQ(full_hd.width, 960);
  EXPECT_EQ(full_hd.height, 720);
  const os_placement odd = os_place_window(1366, 769, 960, 720, false);
  EXPECT_EQ(odd.x, 203);
  EXPECT_EQ(odd.y, 24);
  // A screen smaller than the window: negative offsets, rounded toward minus infinity.
  const os_placement small = os_place_window(800, 601, 960, 720, false);
  EXPECT_EQ(small.x, -80);
  EXPECT_EQ(small.y, -60);
}

TEST(WindowPlacement, FullscreenCoversTheScreenFromTheOrigin) {
  const os_placement place = os_place_window(1280, 1024, 960, 720, true);
  EXPECT_EQ(place.x, 0);
  EXPECT_EQ(place.y, 0);
  EXPECT_EQ(place.width, 1280);
  EXPECT_EQ(place.height, 1024);
}

TEST(WindowPlacement, FrameShareIsAddedOnce) {
  // A 960 x 720 outer window whose frame left a 954 x 695 client area.
  EXPECT_EQ(os_outer_size(960, 954), 966);
  EXPECT_EQ(os_outer_size(720, 695), 745);
  // A frameless window needs no correction.
  EXPECT_EQ(os_outer_size(720, 720), 720);
}

TEST(WindowPlacement, ScaledDisplaysGetTheNearestWholeMultipleThatFits) {
  // Work areas are the screen less a 40-pixel task bar; frames are what Windows 10 adds at
  // that dpi (caption and borders).
  struct scaled_case {
    int32_t dpi, work_width, work_height, frame_width, frame_height;
    int32_t width, height;
  } cases[] = {
      {96, 1880, 1040, 6, 29, 960, 720},     // 100 %: as it always was
      {96, 1024, 728, 6, 29, 960, 720},      // 100 % on a small screen: still as it was
      {120, 1920, 1040, 8, 36, 1280, 960},   // 125 % on 1920 x 1080: 3.75 -> 4
      {144, 1920, 1032, 10, 43, 1280, 960},  // 150 % on 1920 x 1080: 4.5 -> 5 does not fit
      {144, 2880, 1752, 10, 43, 1600, 1200}, // 150 % on 2880 x 1800: 5
      {168, 2560, 1392, 12, 50, 1600, 1200}, // 175 % on 2560 x 1440: 5.25 -> 5
      {192, 3840, 2080, 14, 58, 1920, 1440}, // 200 % on 3840 x 2160: 6
      {192, 1920, 1040, 14, 58, 1280, 960},  // 200 % on 1920 x 1080: 6 and 5 do not fit
      {240, 3840, 2080, 16, 72, 2560, 1920}, // 250 %: 7.5 -> 8
      {120, 1280, 1000, 8, 36, 960, 720},    // the frame alone makes 4 too wide by 8 pixels
      {144, 300, 200, 10, 43, 320, 240},     // nothing fits: never below one multiple
  };
  for (const scaled_case& c : cases) {
    const os_size size = os_scaled_window(c.dpi, c.work_width, c.work_height, c.frame_width, c.frame_height);
    EXPECT_EQ(size.width, c.width) << c.dpi << " dpi on " << c.work_width << " x " << c.work_height;
    EXPECT_EQ(size.height, c.height) << c.dpi << " dpi on " << c.work_width << " x " << c.work_height;
  }
}

TEST(CounterClock, FactorIsMillisecondsPerCountAsAFloat) {
  EXPECT_FLOAT_EQ(os_ms_factor(10'000'000), 1.0e-4f);
  EXPECT_FLOAT_EQ(os_ms_factor(1'000'000'000), 1.0e-6f);
  EXPECT_EQ(os_ms_factor(0), 0.0f);
  EXPECT_EQ(os_ms_factor(-5), 0.0f);
}

TEST(CounterClock, RoundsToTheNearestMillisecond) {
  const float factor = os_ms_factor(10'000'000);
  EXPECT_EQ(os_ms_from_count(0, factor), 0u);
  EXPECT_EQ(os_ms_from_count(4'999, factor), 0u);
  EXPECT_EQ(os_ms_from_count(5'001, factor), 1u);
  EXPECT_EQ(os_ms_from_count(10'000, factor), 1u);
  EXPECT_EQ(os_ms_from_count(10'000'000, factor), 1000u);
  EXPECT_EQ(os_ms_from_count(-10'000, factor), 0u);
}

TEST(CounterClock, KeepsSingleMillisecondsAfterHoursOfPlay) {
  // Five hours and one millisecond: beyond 2^24 ms a float product would step by two.
  const float factor = os_ms_factor(10'000'000);
  EXPECT_EQ(os_ms_from_count(180'000'010'000LL, factor), 18'000'001u);
  EXPECT_EQ(os_ms_from_count(180'000'020'000LL, factor), 18'000'002u);
}

TEST(CounterClock, ReturnsTheLowThirtyTwoBits) {
  // 1024 counts per millisecond makes the float factor exactly 1/1024.
  const float factor = os_ms_factor(1'024'000);
  ASSERT_EQ(factor, 1.0f / 1024.0f);
  EXPECT_EQ(os_ms_from_count((0x1'0000'0000LL + 5) * 1024, factor), 5u);
}

TEST(ClickRule, CountsOnlyInsideTheActiveWindowsClientArea) {
  // A 960 x 720 client area. Outside it the pointer is on the caption, the close box, the
  // frame or another program's window.
  const struct {
    bool active;
    int32_t x, y;
    bool counts;
  } cases[] = {{true, 0, 0, true},      {true, 959, 719, true}, {true, 480, 360, true},
               {false, 480, 360, false}, {true, -1, 360, false}, {true, 480, -1, false},
               {true, 960, 360, false},  {true, 480, 720, false}, {true, 940, -15, false}};
  for (const auto& c : cases)
    EXPECT_EQ(os_click_counts(c.active, c.x, c.y, 960, 720), c.counts)
        << c.active << " " << c.x << "," << c.y;
  // No client area (a window not made yet) takes no click.
  EXPECT_FALSE(os_click_counts(true, 0, 0, 0, 0));
}

}  // namespace
