// The tile set and the player's sprite: tile geometry after doubling, clipping, the screen
// fill, frame ranges that loop or bounce, and the rounding of the drawn position.
#include "game_test_support.h"
#include "sprite/sprite.h"

class tile_sprite : public game_fixture {
 protected:
  void SetUp() override {
    game_fixture::SetUp();
    saved = tile_global;
    g_image strip = make_tile_strip();
    tile_global = tile_set_create(&strip);
    g_free_image(&strip);
    target = g_create_image(320, 240);
    g_set_target(&target);
  }
  void TearDown() override {
    g_set_layer(0);
    g_free_image(&target);
    if (tile_global.sheet.pixels) g_free_image(&tile_global.sheet);
    tile_global = saved;
    game_fixture::TearDown();
  }
  tile_set saved{};
  g_image target{};
};

TEST_F(tile_sprite, SheetIsCutIntoSixteenPixelTilesAndDoubled) {
  EXPECT_EQ(tile_global.tile_width, 16);
  EXPECT_EQ(tile_global.tiles_per_row, 24);
  EXPECT_EQ(tile_global.tile_rows, 1);
  EXPECT_EQ(tile_global.blit_mode, G_BLIT_COPY);
  tile_set_scale2x();
  EXPECT_EQ(tile_global.sheet.width, 768);
  EXPECT_EQ(tile_global.sheet.height, 32);
  EXPECT_EQ(tile_global.tile_width, 32);
  EXPECT_EQ(tile_global.tile_height, 32);
  EXPECT_EQ(tile_global.tiles_per_row, 24);  // not recomputed: the tiles grew with the sheet
  EXPECT_EQ(tile_global.tile_rows, 1);
}

TEST_F(tile_sprite, TileDrawReadsItsOwnColumnAndClipsAtTheTargetEdge) {
  tile_set_scale2x();
  tile_draw(&tile_global, 23, 0, 0);
  EXPECT_EQ(pixel_at(target, 0, 0) & 0xff, 24u);   // tile 23 (sheet x 736..767)
  EXPECT_EQ(pixel_at(target, 31, 31) & 0xff, 24u);
  EXPECT_EQ(pixel_at(target, 32, 0), 0u);
  tile_draw(&tile_global, 7, 300, 220);  // only 20 x 20 of it lies on the target
  EXPECT_EQ(pixel_at(target, 300, 220) & 0xff, 8u);
  EXPECT_EQ(pixel_at(target, 319, 239) & 0xff, 8u);
  EXPECT_EQ(pixel_at(target, 299, 220), 0u);
  EXPECT_EQ(pixel_at(target, 300, 219), 0u);
}

TEST_F(tile_sprite, TileNumbersPastTheSheetDrawNothing) {
  tile_set_scale2x();
  tile_draw(&tile_global, 24, 10, 10);   // row 1 lies below the one-row sheet
  tile_draw(&tile_global, 253, 50, 50);  // the vacated mark has no picture
  for (int32_t i = 0; i < 320 * 240; ++i) ASSERT_EQ(target.pixels[i], 0u) << i;
}

TEST_F(tile_sprite, ScreenFillCoversEveryPixelWithTileEight) {
  tile_set_scale2x();
  tile_fill_screen(&tile_global);
  for (int32_t i = 0; i < 320 * 240; ++i) ASSERT_EQ(target.pixels[i] & 0xff, 9u) << i;
  // The last row of tiles is cut at 240: row 239 holds the tile's row 15 (green x/2 + 15/2).
  EXPECT_EQ((pixel_at(target, 0, 239) >> 8) & 0xff, 7u);
}

TEST_F(tile_sprite, EmptySheetDrawsNothingAndDoesNotDivideByZero) {
  g_image none{};
  tile_set empty = tile_set_create(&none);
  EXPECT_EQ(empty.tiles_per_row, 0);
  tile_draw(&empty, 5, 0, 0);
  tile_fill_screen(&empty);
  for (int32_t i = 0; i < 320 * 240; ++i) ASSERT_EQ(target.pixels[i], 0u);
}

TEST_F(tile_sprite, LoopingRangeWrapsToItsFirstFrame) {
  sprite s = sprite_create(0, 0, 16, 16);
  sprite_set_anim(&s, 3, 5, 0);
  EXPECT_EQ(s.frame, 3.0f);
  EXPECT_EQ(s.direction, 1);
  const int32_t want[] = {4, 5, 3, 4, 5, 3};
  for (int32_t w : want) {
    sprite_animate(&s, 1.0f);
    EXPECT_EQ(int32_t(s.frame), w);
    EXPECT_EQ(s.frame_offset, w * 16);
  }
}

TEST_F(tile_sprite, BouncingRangeTurnsByStepingOneBack) {
  sprite s = sprite_create(0, 0, 16, 16);
  sprite_set_anim(&s, 3, 5, 1);
  const int32_t want[] = {4, 5, 5, 4, 3, 3, 4};
  for (int32_t w : want) {
    sprite_animate(&s, 1.0f);
    EXPECT_EQ(int32_t(s.frame), w);
  }
}

TEST_F(tile_sprite, QuarterStepsShowEachFrameFourTimesAndOneFrameRangePins) {
  sprite s = sprite_create(0, 0, 16, 16);
  sprite_set_anim(&s, 0, 2, 0);
  int32_t shown[12];
  for (int32_t& f : shown) {
    f = int32_t(s.frame);
    sprite_animate(&s, 0.25f);
  }
  const int32_t want[12] = {0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2};
  for (int32_t i = 0; i < 12; ++i) EXPECT_EQ(shown[i], want[i]) << i;
  sprite_set_anim(&s, 20, 20, 0);
  sprite_animate(&s, 7.5f);
  EXPECT_EQ(s.frame, 20.0f);
  EXPECT_EQ(s.frame_offset, 320);
}

TEST_F(tile_sprite, SetAnimKeepsThePlaceWithinTheRange) {
  sprite s = sprite_create(0, 0, 16, 16);
  sprite_set_anim(&s, 0, 2, 1);
  sprite_animate(&s, 1.5f);  // 1.5
  sprite_set_anim(&s, 3, 5, 1);
  EXPECT_EQ(s.frame, 4.5f);
  EXPECT_EQ(s.direction, 1);
}

TEST_F(tile_sprite, RenderRoundsHalvesUpAndTruncatesTowardZero) {
  sprite s = sprite_create(0, 0, 16, 16);  // frame 0 = tile 0 of the 16-pixel strip
  s.x = 10.5f;
  s.y = 0.0f;
  sprite_render(&s);
  EXPECT_EQ(pixel_at(target, 10, 0), 0u);
  EXPECT_EQ(pixel_at(target, 11, 0) & 0xff, 1u);
  EXPECT_EQ((pixel_at(target, 11, 0) >> 8) & 0xff, 0u);  // the tile's own left column
  g_fill_rect(0, 0, 320, 240, 0);
  s.x = -0.7f;
  s.y = 100.0f;
  sprite_render(&s);  // -0.2 truncates to 0: the whole frame, not its cut-off part
  EXPECT_EQ((pixel_at(target, 0, 100) >> 8) & 0xff, 0u);
  EXPECT_EQ(pixel_at(target, 15, 100) & 0xff, 1u);
}

TEST_F(tile_sprite, DrawClipsAFramePartlyOffTheTarget) {
  sprite s = sprite_create(0, 0, 16, 16);
  sprite_set_anim(&s, 2, 2, 0);
  sprite_animate(&s, 0.0f);
  sprite_draw(&s, -10, 230);
  EXPECT_EQ(pixel_at(target, 0, 230) & 0xff, 3u);
  EXPECT_EQ((pixel_at(target, 0, 230) >> 8) & 0xff, 10u);  // tile column 10, row 0
  EXPECT_EQ(pixel_at(target, 6, 230), 0u);                 // only 6 columns are on it
  EXPECT_EQ(pixel_at(target, 5, 239) & 0xff, 3u);
}
