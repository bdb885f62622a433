// The game's own pictures from the embedded store, through g_load_image and the font.
#include <gtest/gtest.h>

#include "file/file.h"
#include "graph/g_font.h"
#include "graph/g_load.h"
#include "os_tools/os_mem.h"
#include "support/log_capture.h"

TEST(shipped_images, tiles_are_a_keyed_384_by_16_strip) {
  log_capture log;
  g_image tiles = g_load_image("tiles.pcx");
  ASSERT_EQ(tiles.width, 384);
  ASSERT_EQ(tiles.height, 16);
  int transparent = 0;
  for (int32_t i = 0; i < 384 * 16; ++i) {
    const uint32_t p = tiles.pixels[i];
    ASSERT_TRUE(p == 0 || (p >> 24) == 255) << i;
    transparent += p == 0;
  }
  EXPECT_GT(transparent, 0);
  EXPECT_FALSE(log.contains("assert:"));
  g_free_image(&tiles);
}

TEST(shipped_images, the_font_sheet_is_black_and_white_and_its_stream_ends_with_the_file) {
  log_capture log;
  g_image sheet = g_load_image("c64.pcx");
  ASSERT_EQ(sheet.width, 256);
  ASSERT_EQ(sheet.height, 256);
  for (int32_t i = 0; i < 256 * 256; ++i)
    ASSERT_TRUE(sheet.pixels[i] == 0xFF000000u || sheet.pixels[i] == 0xFFFFFFFFu) << i;
  EXPECT_FALSE(log.contains("assert:"));
  g_free_image(&sheet);
}

TEST(shipped_images, the_title_is_320_by_100) {
  g_image title = g_load_image("title.pcx");
  EXPECT_EQ(title.width, 320);
  EXPECT_EQ(title.height, 100);
  if (title.pixels) g_free_image(&title);
}

TEST(shipped_images, names_pick_their_decoder_by_a_case_sensitive_extension) {
  log_capture log;
  // The store holds "tiles.pcx" only in lower case: other spellings are not found at all.
  EXPECT_EQ(g_load_image("tiles.PCX").pixels, nullptr);
  EXPECT_EQ(g_load_image("tiles.pcx.bak").pixels, nullptr);
  // A map is no picture: decoded as BMP, refused.
  EXPECT_EQ(g_load_image("map0.txt").pixels, nullptr);
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(shipped_font, glyph_widths_of_the_sheet) {
  g_font font = g_load_font();
  ASSERT_NE(font.sheet.pixels, nullptr);
  EXPECT_EQ(font.glyphs[' '].width, 9);
  EXPECT_EQ(font.glyphs['I'].width, 11);
  EXPECT_EQ(font.glyphs['l'].width, 11);
  EXPECT_EQ(font.glyphs['M'].width, 15);
  EXPECT_EQ(font.glyphs['W'].width, 15);
  EXPECT_EQ(font.glyphs['.'].width, 9);
  EXPECT_EQ(font.glyphs[214].y, 247);
  EXPECT_EQ(font.glyphs[215].x, -1);
  for (int c = 32; c <= 213; ++c) {
    EXPECT_GE(font.glyphs[c].width, 9) << c;
    EXPECT_LE(font.glyphs[c].width, 15) << c;
  }
  g_free_font(&font);
  EXPECT_EQ(os_alloc_count(), 0);
}
