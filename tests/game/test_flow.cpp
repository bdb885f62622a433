// The game's flow through its hooks: the start question, the title, levels, the end screens
// with their texts and curtains, the status line, the arrow, Escape and a clean shutdown.
#include <cstdio>
#include <cstring>

#include "file/file.h"
#include "map/map.h"
#include "sound/sound.h"

#include "game_test_support.h"
#include "platform_headless/headless_window.h"

using flow = game_fixture;

// Layer 2's rows y .. y + 18 hold exactly `text` drawn at (x, y) with the game's font.
static ::testing::AssertionResult text_at(const char* text, int32_t x, int32_t y) {
  g_image ref = g_create_image(320, 240);
  g_set_target(&ref);
  snprintf(g_text, sizeof g_text, "%s", text);
  g_draw_text(&game.font, x, y);
  int32_t drawn = 0;
  for (int32_t yy = y; yy < y + 19; ++yy) {
    for (int32_t xx = 0; xx < 320; ++xx) {
      if (pixel_at(ref, xx, yy) != 0) drawn++;
      if (pixel_at(ref, xx, yy) != layer_pixel(2, xx, yy)) {
        g_free_image(&ref);
        g_set_layer(2);
        return ::testing::AssertionFailure() << '"' << text << "\" differs at " << xx << "," << yy;
      }
    }
  }
  g_free_image(&ref);
  g_set_layer(2);
  if (drawn == 0) return ::testing::AssertionFailure() << "the font drew nothing";
  return ::testing::AssertionSuccess();
}

static void tap(uint32_t vk) {
  headless_game_key(vk, true);
  headless_game_pass();
  headless_game_key(vk, false);
}

TEST_F(flow, StartAsksForTheDisplayModeAndShowsTheTitle) {
  EXPECT_STREQ(headless_window_question(), "Use fullscreen mode");
  EXPECT_STREQ(headless_window_caption(), "Select display mode");
  EXPECT_EQ(game.game_state, GS_TITLE);
  EXPECT_EQ(game.level_index, 0);
  passes(1);
  EXPECT_EQ(game.font.cell_width, 18);
  EXPECT_EQ(game.font.spacing, 2);
  EXPECT_TRUE(text_at("start game", 88, 202));
  EXPECT_EQ(layer_pixel(1, 0, 239), GAME_GREY);
}

TEST_F(flow, StartGameBlinksOneSecondOnOneOff) {
  passes(70);  // 1.12 s
  g_image& l2 = const_cast<g_image&>(g_get_layer(2)->image);
  for (int32_t x = 0; x < 320; ++x) ASSERT_EQ(pixel_at(l2, x, 210), 0u) << x;
  passes(60);  // 2.08 s: shown again
  EXPECT_TRUE(text_at("start game", 88, 202));
}

TEST_F(flow, AnyKeyStartsLevelZeroWithItsLayers) {
  tap(VK_SPACE);
  EXPECT_EQ(game.game_state, GS_LOAD_LEVEL);
  passes(1);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  EXPECT_EQ(game.map.width, 20);
  EXPECT_EQ(game.map.height, 8);
  EXPECT_EQ(game.diamonds_total, 2);
  EXPECT_EQ(game.player_x, 96.0f);
  EXPECT_EQ(game.player_y, 160.0f);
  EXPECT_STREQ(g_text, "06 0/2 lvl:0");
  EXPECT_TRUE(text_at("06 0/2 lvl:0", 10, 221));
  // The grey bar under the view starts at row 224; above it lies the background tile.
  EXPECT_EQ(layer_pixel(0, 100, 224), GAME_GREY);
  EXPECT_EQ(layer_pixel(0, 319, 239), GAME_GREY);
  EXPECT_NE(layer_pixel(0, 100, 223), GAME_GREY);
  EXPECT_EQ(layer_pixel(0, 100, 223), pixel_at(tile_global.sheet, 8 * 32 + 100 % 32, 223 % 32));
}

TEST_F(flow, ClickLeavesTheTitle) {
  headless_game_mouse(true, 160, 120);
  passes(2);
  EXPECT_EQ(game.game_state, GS_LOAD_LEVEL);
}

TEST_F(flow, KeyHeldWhileTheTitleIsEnteredDoesNotStartAGame) {
  tap(VK_SPACE);
  passes(2);
  headless_game_key(VK_SPACE, true);
  game_over();
  passes(200);  // 3.2 s of " Game Over", then the title with the key still held
  EXPECT_EQ(game.game_state, GS_TITLE);
  passes(100);
  EXPECT_EQ(game.game_state, GS_TITLE);
  headless_game_key(VK_SPACE, false);
  passes(10);
  EXPECT_EQ(game.game_state, GS_TITLE);
  tap(VK_SPACE);
  EXPECT_EQ(game.game_state, GS_LOAD_LEVEL);
}

TEST_F(flow, GameOverShowsItsTextThenTheTitleAndReplaysTheSameLevel) {
  game_select_level(3);
  tap(VK_SPACE);
  passes(1);
  EXPECT_EQ(game.level_index, 3);
  game_over();
  passes(1);
  EXPECT_EQ(game.game_state, GS_GAME_OVER);
  EXPECT_TRUE(text_at(" Game Over", 70, 111));
  EXPECT_EQ(game.player.frame, 20.0f);
  passes(190);
  EXPECT_EQ(game.game_state, GS_TITLE);
  tap(VK_SPACE);
  passes(1);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  EXPECT_EQ(game.level_index, 3);
  map_t third = map_load("map3.txt");
  EXPECT_EQ(game.map.width, third.width);
  EXPECT_EQ(game.map.height, third.height);
  if (third.cells) map_free(&third);
}

TEST_F(flow, NextLevelLoadsAfterThreeSeconds) {
  tap(VK_SPACE);
  passes(1);
  level_complete();
  EXPECT_EQ(game.level_index, 1);
  passes(1);
  EXPECT_EQ(game.game_state, GS_NEXT_LEVEL);
  EXPECT_TRUE(text_at("Next Level", 70, 111));
  passes(186);  // 2.992 s
  EXPECT_EQ(game.game_state, GS_NEXT_LEVEL);
  passes(2);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  EXPECT_EQ(game.level_index, 1);
}

TEST_F(flow, WinningTheSeventhShowsYouDidItAndStartsOverWithTheFirst) {
  game_select_level(6);
  tap(VK_SPACE);
  passes(1);
  EXPECT_EQ(game.level_index, 6);
  level_complete();
  EXPECT_EQ(game.game_state, GS_WON);
  EXPECT_EQ(game.level_index, 0);
  passes(1);
  EXPECT_TRUE(text_at("You Did IT!", 70, 111));
  passes(190);
  EXPECT_EQ(game.game_state, GS_TITLE);
  tap(VK_SPACE);
  passes(1);
  EXPECT_EQ(game.map.width, 20);  // "map0.txt"
  EXPECT_EQ(game.diamonds_total, 2);
}

// A level given alone (--level) is the whole game: winning it is winning the game, and the
// next game plays it again.
TEST_F(flow, WinningTheOneLevelGivenAloneShowsYouDidIt) {
  const char* path = "tumbler_flow_one_level.txt";
  FILE* f = fopen(path, "wb");
  ASSERT_NE(f, nullptr);
  fputs("WWWW\r\nWSDW\r\nWWWW\r\n0", f);
  fclose(f);
  char message[256] = "";
  ASSERT_TRUE(map_use_file(path, message, int32_t(sizeof message))) << message;
  tap(VK_SPACE);
  passes(1);
  EXPECT_EQ(game.map.width, 4);
  EXPECT_EQ(game.level_index, 0);
  level_complete();
  EXPECT_EQ(game.game_state, GS_WON);
  EXPECT_EQ(game.level_index, 0);
  passes(1);
  EXPECT_TRUE(text_at("You Did IT!", 70, 111));
  passes(190);
  EXPECT_EQ(game.game_state, GS_TITLE);
  tap(VK_SPACE);
  passes(1);
  EXPECT_EQ(game.map.width, 4);
  map_forget_file();
  file_clear_overrides();
  remove(path);
}

TEST_F(flow, CountdownDigitStandsInTheMiddle) {
  tap(VK_SPACE);
  passes(1);
  game.player_x = 320.0f;  // out of the view
  passes(1);
  EXPECT_STREQ(g_text, "5");
  EXPECT_TRUE(text_at("5", 160, 111));
}

TEST_F(flow, ArrowBlinksEveryHalfSecond) {
  tap(VK_SPACE);
  passes(1);
  const auto arrow_shown = [] {
    for (int32_t y = 0; y < 32; ++y)
      for (int32_t x = 0; x < 32; ++x)
        if (layer_pixel(2, 144 + x, y) != pixel_at(tile_global.sheet, 15 * 32 + x, y)) return false;
    return true;
  };
  EXPECT_FALSE(arrow_shown());
  passes(32);  // 0.528 s
  EXPECT_TRUE(arrow_shown());  // path "1": the right arrow, tile 15
  passes(31);
  EXPECT_FALSE(arrow_shown());
}

TEST_F(flow, CurtainSweepsInFromTheLeftAndNeverCoversTheLastColumn) {
  headless_game_stop();
  headless_game_start(500);
  tap(VK_SPACE);
  passes(1);
  game_over();
  passes(3);  // 1.5 s: the table sine of 0.785 is 0.7024, so 224 columns
  EXPECT_EQ(layer_pixel(1, 223, 100), GAME_GREY);
  EXPECT_NE(layer_pixel(1, 224, 100), GAME_GREY);
  passes(3);  // 3.0 s: the last curtain
  EXPECT_EQ(game.game_state, GS_GAME_OVER);
  EXPECT_EQ(layer_pixel(1, 318, 100), GAME_GREY);
  EXPECT_NE(layer_pixel(1, 319, 100), GAME_GREY);
  passes(1);
  EXPECT_EQ(game.game_state, GS_TITLE);
}

TEST_F(flow, EscapeEndsTheProgramAfterTheTickWithNothingLeftLive) {
  tap(VK_SPACE);
  passes(20);
  headless_game_key(VK_ESCAPE, true);
  EXPECT_FALSE(headless_game_pass());
  EXPECT_FALSE(headless_window_open());
}

TEST_F(flow, MissingLevelAndSongPlaySafely) {
  tap(VK_SPACE);
  passes(1);
  level_start("no_such_map.txt", "no_such_song.sqt");
  EXPECT_EQ(game.map.width, 0);
  headless_game_key(VK_RIGHT, true);
  passes(200);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  EXPECT_EQ(game.view_x, 0.0f);
}

// snd_music holds the song of that name (compared by its order list and pattern count).
static ::testing::AssertionResult playing(const char* name) {
  snd_song want = snd_load_song(name);
  const bool same = want.order_length == snd_music.order_length && want.pattern_count == snd_music.pattern_count &&
                    (want.order_length == 0 || memcmp(want.order, snd_music.order, size_t(want.order_length)) == 0);
  const int32_t length = want.order_length;
  // Free the copy just loaded through the one path that frees songs, then play on.
  const snd_song keep = snd_music;
  snd_music = want;
  snd_free_music();
  snd_music = keep;
  snd_play_music();
  if (length == 0) return ::testing::AssertionFailure() << name << " is not in the file store";
  if (!same) return ::testing::AssertionFailure() << "the music is not " << name;
  return ::testing::AssertionSuccess();
}

TEST_F(flow, EverySongChange) {
  EXPECT_TRUE(playing("start.sqt"));
  tap(VK_SPACE);
  passes(1);
  EXPECT_TRUE(playing("song1.sqt"));
  level_complete();
  EXPECT_TRUE(playing("did_it.sqt"));
  passes(190);
  EXPECT_EQ(game.level_index, 1);
  EXPECT_TRUE(playing("song2.sqt"));
  game_over();
  EXPECT_TRUE(playing("game_over.sqt"));
  passes(190);
  EXPECT_TRUE(playing("start.sqt"));
}

TEST_F(flow, DirectionKeyThatLeavesTheTitleMovesOnlyIfStillHeldAfterTheStepTimer) {
  tap(VK_RIGHT);  // leaves the title, released at once
  passes(30);
  EXPECT_EQ(game.game_state, GS_PLAYING);
  EXPECT_EQ(game.player_x, 96.0f);
  EXPECT_EQ(game.step_state, STEP_READY);
  headless_game_stop();
  headless_game_start(16);
  headless_game_key(VK_RIGHT, true);  // held on
  passes(14);  // title, level start, and 12 more ticks: 0.208 s of the level, ready at last
  EXPECT_EQ(game.player_x, 96.0f);
  passes(1);
  EXPECT_EQ(game.step_state, STEP_RIGHT);
}

TEST_F(flow, HeldMouseButtonSteersByScreenRegion) {
  tap(VK_SPACE);
  passes(14);  // the player is ready
  headless_game_mouse(true, 300, 120);  // the right band
  passes(3);
  EXPECT_EQ(game.step_state, STEP_RIGHT);
  headless_game_mouse(false, 300, 120);
  passes(30);
  EXPECT_EQ(game.player_x, 128.0f);  // one step, then the release let go of the key
  headless_game_mouse(true, 160, 20);  // the top band
  passes(3);
  EXPECT_EQ(game.step_state, STEP_UP);
}
