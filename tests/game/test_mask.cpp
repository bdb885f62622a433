// The screen mask: corner shading, the stripes of every third row and column, the grain.
#include <gtest/gtest.h>

#include "game/game.h"
#include "graph/g_image.h"

class mask_test : public ::testing::Test {
 protected:
  void SetUp() override {
    mask = g_create_image(320, 240);
    mask_build(&mask);
  }
  void TearDown() override { g_free_image(&mask); }
  uint32_t alpha(int32_t x, int32_t y) const { return mask.pixels[y * 320 + x] >> 24; }
  uint32_t red(int32_t x, int32_t y) const { return mask.pixels[y * 320 + x] & 0xff; }
  g_image mask{};
};

TEST_F(mask_test, OutermostRowsAndColumnsAreOpaque) {
  for (int32_t x = 0; x < 320; ++x) {
    EXPECT_EQ(alpha(x, 0), 255u) << x;
    EXPECT_EQ(alpha(x, 239), 255u) << x;
  }
  for (int32_t y = 0; y < 240; ++y) {
    EXPECT_EQ(alpha(0, y), 255u) << y;
    EXPECT_EQ(alpha(319, y), 255u) << y;
  }
}

TEST_F(mask_test, CornerShadingWhereNoStripeAdds) {
  // Rows and columns with remainder 2 get no stripe: the shading shows alone.
  EXPECT_EQ(alpha(2, 2), 255u);
  EXPECT_EQ(alpha(20, 20), 90u);
  EXPECT_EQ(alpha(35, 35), 12u);
  EXPECT_EQ(alpha(59, 59), 0u);
  // Mirrored into the other three corners.
  EXPECT_EQ(alpha(319 - 20, 20), 90u);
  EXPECT_EQ(alpha(20, 239 - 20), 90u + 10u);  // row 219 has remainder 0
  EXPECT_EQ(alpha(319 - 35, 239 - 35), 12u + 10u);  // column 284 has remainder 2, row 204 0
}

TEST_F(mask_test, ShadingPlusStripes) {
  EXPECT_EQ(alpha(10, 10), 186u + 20u + 20u);
  EXPECT_EQ(alpha(30, 30), 32u + 10u + 10u);
  EXPECT_EQ(alpha(40, 40), 0u + 20u + 20u);
  EXPECT_EQ(alpha(1, 119), 176u + 20u + 0u);
  EXPECT_EQ(alpha(159, 119), 10u);
  EXPECT_EQ(red(159, 119), 0u);
}

TEST_F(mask_test, MiddleCyclesThroughTheFiveStripeLevels) {
  const uint32_t want[3][3] = {{20, 30, 10}, {30, 40, 20}, {10, 20, 0}};
  for (int32_t y = 120; y < 126; ++y) {
    for (int32_t x = 150; x < 156; ++x) {
      EXPECT_EQ(alpha(x, y), want[y % 3][x % 3]) << x << "," << y;
    }
  }
}

TEST_F(mask_test, GrainIsFaintRedOffEveryThirdColumn) {
  int32_t coloured = 0;
  for (int32_t y = 0; y < 240; ++y) {
    for (int32_t x = 0; x < 320; ++x) {
      const uint32_t p = mask.pixels[y * 320 + x];
      ASSERT_EQ(p & 0x00ffff00u, 0u);  // green and blue stay 0
      ASSERT_LE(p & 0xff, 9u);
      if (x % 3 == 0) {
        ASSERT_EQ(p & 0xff, 0u);
      }
      if (p & 0xff) coloured++;
    }
  }
  // Random reds 1..9 in nine of every ten grain pixels: far more than a handful.
  EXPECT_GT(coloured, 320 * 240 / 2);
}
