// Glyph measuring, proportional text drawing and the bounded text buffer.
#include <cstring>

#include "graph_fixture.h"

// A 256 x 256 sheet laid out like the game's: opaque black, 18 x 19 cells from code 32, 14
// per row. Code c gets a white column at cell x (ink - 1), so its measured width is ink.
static const uint32_t INK = 0xFFFFFFFFu, PAPER = 0xFF000000u;
static int ink_of(int c) {
  if (c == 'I' || c == 'l') return 11;
  if (c == 'M' || c == 'W') return 15;
  if (c == 'Z') return 17;
  if (c == ' ' || c == '.') return 0;  // background only
  return 9 + c % 7;
}
static g_image make_sheet() {
  g_image sheet = g_create_image(256, 256);
  for (int i = 0; i < 256 * 256; ++i) sheet.pixels[i] = PAPER;
  for (int c = 32; c <= 213; ++c) {
    const int cx = (c - 32) % 14 * 18, cy = (c - 32) / 14 * 19;
    if (ink_of(c) == 0) continue;
    for (int y = 0; y < 19; y += 3) sheet.pixels[(cy + y) * 256 + cx + ink_of(c) - 1] = INK;
  }
  return sheet;
}

TEST(font_build, measures_every_glyph_and_ends_at_the_sheet_bottom) {
  g_image sheet = make_sheet();
  g_font font = g_create_font(&sheet);
  g_free_image(&sheet);
  EXPECT_EQ(font.cell_width, 18);
  EXPECT_EQ(font.cell_height, 19);
  EXPECT_EQ(font.spacing, 0);
  for (int c = 32; c <= 213; ++c) {
    const g_glyph& g = font.glyphs[c];
    EXPECT_EQ(g.x, (c - 32) % 14 * 18) << c;
    EXPECT_EQ(g.y, (c - 32) / 14 * 19) << c;
    EXPECT_EQ(g.width, ink_of(c) ? ink_of(c) : 9) << c;
    EXPECT_EQ(g.height, 19) << c;
  }
  // Code 214's cell reaches row 256: it keeps its first entry and the build ends there.
  EXPECT_EQ(font.glyphs[214].x, 0);
  EXPECT_EQ(font.glyphs[214].y, 247);
  EXPECT_EQ(font.glyphs[214].width, 9);
  for (int c : {0, 10, 31, 215, 255}) {
    EXPECT_EQ(font.glyphs[c].x, -1) << c;
    EXPECT_EQ(font.glyphs[c].width, -1) << c;
  }
  g_free_font(&font);
  EXPECT_EQ(font.glyphs, nullptr);
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(font_build, an_empty_sheet_gives_only_the_space) {
  log_capture log;
  g_image empty = {0, 0, nullptr};
  g_font font = g_create_font(&empty);
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_EQ(font.glyphs[32].x, 0);
  EXPECT_EQ(font.glyphs[32].y, 19);
  EXPECT_EQ(font.glyphs[32].width, 9);
  EXPECT_EQ(font.glyphs[33].x, -1);
  g_free_font(&font);
  EXPECT_EQ(os_alloc_count(), 0);
}

struct text : graph_display_test {
  g_font font{};
  void SetUp() override {
    graph_display_test::SetUp();
    g_image sheet = make_sheet();
    font = g_create_font(&sheet);
    g_free_image(&sheet);
    font.spacing = 2;
    g_present();
  }
  void TearDown() override {
    g_free_font(&font);
    graph_display_test::TearDown();
  }
  // The x of every ink column on row y of layer 0.
  std::vector<int> ink_columns(int y) {
    std::vector<int> xs;
    for (int x = 0; x < 320; ++x)
      if (at(g_get_layer(0)->image, x, y) == INK) xs.push_back(x);
    return xs;
  }
};

TEST_F(text, advances_by_width_plus_spacing) {
  g_format_text("Il");
  g_draw_text(&font, 0, 0);
  EXPECT_EQ(ink_columns(0), (std::vector<int>{10, 13 + 10}));
  g_format_text("MW");
  g_draw_text(&font, 0, 30);
  EXPECT_EQ(ink_columns(30), (std::vector<int>{14, 17 + 14}));
  EXPECT_EQ(at(g_get_layer(0)->image, 17 + 17, 30), PAPER);  // the whole cell was copied
}

TEST_F(text, a_wide_glyph_advances_by_the_cell_only) {
  g_format_text("ZZ");
  g_draw_text(&font, 0, 0);
  EXPECT_EQ(ink_columns(0), (std::vector<int>{16, 18 + 16}));
}

TEST_F(text, codes_without_glyphs_move_by_spacing_minus_one) {
  g_format_text("\nI%c%cI", char(0xE0), char(200));
  g_draw_text(&font, 0, 0);
  // '\n' moves 1, I at 1 (+13), 0xE0 moves 1, code 200 draws at 15 (ink 9 + 200 % 7 = 13).
  EXPECT_EQ(ink_columns(0), (std::vector<int>{1 + 10, 15 + 12, 15 + 13 + 2 + 10}));
}

TEST_F(text, a_space_draws_a_blank_cell_and_empty_text_marks_nothing) {
  g_fill_rect(0, 0, 40, 19, INK);
  g_present();
  g_format_text(" ");
  g_draw_text(&font, 0, 0);
  EXPECT_EQ(at(g_get_layer(0)->image, 17, 18), PAPER);
  EXPECT_EQ(at(g_get_layer(0)->image, 18, 0), INK);
  g_present();
  g_format_text("%s", "");
  g_draw_text(&font, 0, 0);
  EXPECT_GT(g_get_layer(0)->g_upload_rect.min_x, g_get_layer(0)->g_upload_rect.max_x);
}

TEST(text_buffer, a_long_line_is_cut_not_overrun) {
  std::string line(500, 'x');
  g_format_text("%s%d", line.c_str(), 42);
  EXPECT_EQ(strlen(g_text), size_t(G_TEXT_SIZE - 1));
  g_format_text("LEVEL %d", 7);
  EXPECT_STREQ(g_text, "LEVEL 7");
}
