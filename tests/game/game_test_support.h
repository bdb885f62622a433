// Shared set-up for the game's tests: a game started in the headless harness, level text
// with "\n" for the CR LF row ends, synthetic tile sheets, and pixel reads.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "game/game.h"
#include "graph/g_image.h"
#include "graph/g_layer.h"
#include "platform_headless/headless_harness.h"
#include "tile/tile.h"

// A 384 x 16 strip of 24 tiles; every pixel of tile n is opaque with red n + 1 and green =
// its x + y inside the tile (so that clipping shows which part of a tile was drawn).
inline g_image make_tile_strip() {
  g_image image = g_create_image(384, 16);
  for (int32_t y = 0; y < 16; ++y)
    for (int32_t x = 0; x < 384; ++x)
      image.pixels[y * 384 + x] = 0xff000000u | (uint32_t((x % 16) + y) << 8) | uint32_t(x / 16 + 1);
  return image;
}

inline uint32_t pixel_at(const g_image& image, int32_t x, int32_t y) {
  return image.pixels[y * image.width + x];
}
inline uint32_t layer_pixel(int32_t layer, int32_t x, int32_t y) {
  return pixel_at(g_get_layer(layer)->image, x, y);
}

// A game on the title screen; TearDown checks that shutting it down frees every block.
class game_fixture : public ::testing::Test {
 protected:
  void SetUp() override { headless_game_start(16); }
  void TearDown() override { EXPECT_EQ(headless_game_stop(), 0) << "blocks still live after shutdown"; }

  // Starts a level from rows joined by "\n"; the last row is the path line.
  static void level(const std::string& rows) {
    std::string text;
    for (char c : rows) {
      if (c == '\n') text += "\r\n";
      else text += c;
    }
    level_start_text(text.data(), uint32_t(text.size()), "song1.sqt");
  }
  static void key(uint32_t vk, bool down) { headless_game_key(vk, down); }
  static void passes(int32_t n) {
    for (int32_t i = 0; i < n; ++i) headless_game_pass();
  }
  static int32_t cell_x() { return int32_t(game.player_x) / game.tw; }
  static int32_t cell_y() { return int32_t(game.player_y) / game.th; }
  static uint8_t at(int32_t x, int32_t y) { return map_get_cell(&game.map, x, y); }
};

enum : uint32_t { VK_LEFT = 0x25, VK_UP = 0x26, VK_RIGHT = 0x27, VK_DOWN = 0x28, VK_SPACE = 0x20, VK_ESCAPE = 0x1B };
