// The view along the screen path: the six-second wait, the eased move, the strips drawn as
// they scroll in, the clamps at the picture's edge, and the out-of-view countdown.
#include "game_test_support.h"

using view = game_fixture;

// Two rooms side by side, the path "1" then "0".
static const char* TWO_ROOMS =
    "WWWWWWWWWWWWWWWWWWWW\n"
    "W        W         W\n"
    "W  S     W         W\n"
    "W        W         W\n"
    "W        W         W\n"
    "W        W         W\n"
    "WWWWWWWWWWWWWWWWWWWW\n"
    "10";

// Runs view_update in 16 ms ticks until the move in progress (or the next one) has ended.
static int32_t run_until_still(int32_t limit) {
  int32_t ticks = 0;
  bool moved = false;
  while (ticks < limit) {
    view_update(0.016f);
    ticks++;
    if (game.move_dir != MOVE_NONE) moved = true;
    else if (moved) break;
  }
  return ticks;
}

TEST_F(view, WaitsSixSecondsThenGlidesOneRoomAFractionShort) {
  level(TWO_ROOMS);
  for (int32_t i = 0; i < 12; ++i) {
    view_update(0.5f);
    EXPECT_EQ(game.view_x, 0.0f) << i;
    EXPECT_EQ(game.countdown, 6.0f - 0.5f * float(i)) << i;
  }
  view_update(0.5f);  // the wait is over: the move begins in this tick
  EXPECT_EQ(game.move_dir, MOVE_RIGHT);
  EXPECT_GT(game.view_x, 0.0f);
  EXPECT_EQ(game.countdown, 0.0f);
  view_update(0.5f);
  EXPECT_EQ(game.countdown, 6.0f);  // stays at 6 while moving
  run_until_still(2000);
  // The table sine never reaches 1: the view stops a fraction of a pixel short of 320.
  EXPECT_GT(game.view_x, 319.9f);
  EXPECT_LT(game.view_x, 320.0f);
  EXPECT_EQ(game.path_index, 1);
}

TEST_F(view, MoveEasesOutFastFirst) {
  level(TWO_ROOMS);
  for (int32_t i = 0; i < 13; ++i) view_update(0.5f);
  const float first_half = game.view_x;
  for (int32_t i = 0; i < 5; ++i) view_update(0.5f);  // 3 s into the move
  EXPECT_GT(game.view_x, 220.0f);
  EXPECT_LT(game.view_x, 230.0f);
  EXPECT_GT(first_half, 40.0f);  // 0.5 s: sin(0.13) of 320
}

TEST_F(view, EnteringStripsAreDrawnOnlyAsTheyScrollIn) {
  level(TWO_ROOMS);
  const g_image& pic = game.picture;
  EXPECT_NE(pixel_at(pic, 9 * 32 + 5, 5), 0u);   // the first view is drawn at the start
  EXPECT_EQ(pixel_at(pic, 15 * 32 + 5, 5), 0u);  // the second room is not drawn yet
  for (int32_t i = 0; i < 13; ++i) view_update(0.5f);  // the move's first tick draws column 10
  EXPECT_NE(pixel_at(pic, 10 * 32 + 5, 5), 0u);
  EXPECT_EQ(pixel_at(pic, 15 * 32 + 5, 5), 0u);
  run_until_still(2000);
  EXPECT_NE(pixel_at(pic, 15 * 32 + 5, 5), 0u);
  EXPECT_NE(pixel_at(pic, 19 * 32 + 5, 6 * 32 + 5), 0u);
}

TEST_F(view, CopyStartsAtTheViewsWholePixel) {
  level(TWO_ROOMS);
  for (int32_t i = 0; i < 13; ++i) view_update(0.5f);
  view_copy();
  const int32_t vx = int32_t(game.view_x);
  for (int32_t x = 0; x < 320; x += 7)
    ASSERT_EQ(layer_pixel(1, x, 40), pixel_at(game.picture, vx + x, 40)) << x;
}

TEST_F(view, MovesStopAtThePicturesEdgeAndThePathGoesOn) {
  // Like the third level: 25 columns, 13 rows, path down, right, right, end.
  std::string rows;
  for (int32_t y = 0; y < 13; ++y) rows += (y == 2 ? "W  S" + std::string(21, ' ') : std::string(25, 'W')) + "\n";
  level(rows + "4110");
  run_until_still(3000);
  EXPECT_EQ(game.view_y, 192.0f);  // 13 rows of 32 less the view's 224
  EXPECT_EQ(game.path_index, 1);
  run_until_still(3000);
  EXPECT_GT(game.view_x, 319.9f);
  EXPECT_EQ(game.path_index, 2);
  // The second move right would reach 640; the picture ends at 800, the view at 480.
  int32_t ticks = 0;
  while (game.view_x < 480.0f && ticks++ < 3000) view_update(0.016f);
  EXPECT_EQ(game.view_x, 480.0f);
  EXPECT_EQ(game.move_dir, MOVE_RIGHT);
  EXPECT_EQ(game.move_time, 6.0f);
  view_update(0.016f);  // the clamp ends the move in the next tick
  EXPECT_EQ(game.move_dir, MOVE_NONE);
  EXPECT_EQ(game.view_x, 480.0f);
  EXPECT_EQ(game.path_index, 3);
  view_update(0.016f);
  EXPECT_EQ(game.path_char, CELL_PATH_END);
}

TEST_F(view, CountdownShowsFiveToZeroAndEndsTheGame) {
  level("WWWWWWWWWWWW\nS          W\nWWWWWWWWWWWW\n10");
  // With the view at 0 a player in column 0 is outside: the limits are strict.
  float left = -1.0f;
  const float want[6] = {5, 4, 3, 2, 1, 0};
  for (int32_t i = 0; i < 6; ++i) {
    EXPECT_EQ(game.game_state, GS_PLAYING);
    EXPECT_TRUE(view_outside_check(1.0f, &left));
    EXPECT_EQ(left, want[i]);
  }
  EXPECT_EQ(game.game_state, GS_GAME_OVER);
  EXPECT_FALSE(view_outside_check(1.0f, &left));  // only while playing
}

TEST_F(view, SteppingBackInResetsTheCountdown) {
  level("WWWWWWWWWWWW\nW S        W\nWWWWWWWWWWWW\n10");
  game.path_char = CELL_PATH_RIGHT;  // the path goes on: inside stops the countdown
  float left = 0.0f;
  game.player_x = 320.0f;  // column 10: just outside
  EXPECT_TRUE(view_outside_check(1.0f, &left));
  EXPECT_TRUE(view_outside_check(1.0f, &left));
  EXPECT_EQ(left, 4.0f);
  game.player_x = 288.0f;  // column 9: inside
  EXPECT_FALSE(view_outside_check(1.0f, &left));
  EXPECT_EQ(game.outside_time, 0.0f);
  game.player_x = 320.0f;
  EXPECT_TRUE(view_outside_check(1.0f, &left));
  EXPECT_EQ(left, 5.0f);
}

TEST_F(view, BottomRowIsInsideHalfBelowIsNot) {
  level("WWWWWWWWWWWW\nW S        W\nWWWWWWWWWWWW\n10");
  game.path_char = CELL_PATH_RIGHT;
  float left = 0.0f;
  game.player_y = 192.0f;
  EXPECT_FALSE(view_outside_check(0.1f, &left));
  game.player_y = 207.9f;
  EXPECT_FALSE(view_outside_check(0.1f, &left));
  game.player_y = 208.0f;
  EXPECT_TRUE(view_outside_check(0.1f, &left));
}

TEST_F(view, PathOfJustZeroStartsTheCountdownAtOnce) {
  level("WWWWW\nW S W\nWWWWW\n0");
  view_update(0.016f);
  float left = 0.0f;
  EXPECT_TRUE(view_outside_check(0.016f, &left));
  EXPECT_EQ(left, 5.0f);
}

TEST_F(view, NoPathLineMeansNoMovesAndNoTimeLimit) {
  level("WWWWWWWWWWWW\nW S        W\nWWWWWWWWWWWW\n");  // ends in CR LF: the path row is empty
  float left = 0.0f;
  for (int32_t i = 0; i < 60; ++i) {
    view_update(0.5f);
    EXPECT_FALSE(view_outside_check(0.5f, &left));
  }
  EXPECT_EQ(game.path_char, CELL_EMPTY);
  EXPECT_EQ(game.view_x, 0.0f);
  EXPECT_EQ(game.move_dir, MOVE_NONE);
}
