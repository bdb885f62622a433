// The three pictures the game ships: data/ holds exactly what assets/ builds to, at the sizes
// the file table lists, and the game's decoder (and ImageMagick) read them as designed.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "graph/g_font.h"
#include "image_check.h"
#include "pcx_art.h"
#include "pcx_reader.h"
#include "support/log_capture.h"

namespace {

std::vector<uint8_t> read_bytes(const std::string &rel) {
  std::ifstream in(std::string(TUMBLER_SOURCE_DIR) + "/" + rel, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << rel;
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string read_text(const std::string &rel) {
  std::vector<uint8_t> b = read_bytes(rel);
  return std::string(b.begin(), b.end());
}

constexpr uint32_t BLACK = 0xFF000000u, WHITE = 0xFFFFFFFFu, TITLE_GREY = 0xFF3C3C3Cu;

// The font builder's measure: scan the cell's columns from the right; the first column with a
// pixel unlike the sheet's (0, 0) pixel gives width = column + 1; a blank cell keeps 9.
int measured_width(const decoded &sheet, int code) {
  int cx, cy;
  art_font_cell(code, &cx, &cy);
  for (int col = cx + ART_FONT_CELL_W - 1; col >= cx; --col)
    for (int row = cy; row < cy + ART_FONT_CELL_H; ++row)
      if (sheet.pixels[row * sheet.width + col] != sheet.pixels[0]) return col - cx + 1;
  return ART_FONT_CELL_W / 2;
}

// ImageMagick's reading as 0xAABBGGRR, empty when convert is not there.
std::vector<uint32_t> imagemagick_pixels(const std::string &rel, size_t count) {
  std::string cmd = "convert '" + std::string(TUMBLER_SOURCE_DIR) + "/" + rel + "' rgba:- 2>/dev/null";
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return {};
  std::vector<uint8_t> raw(count * 4);
  size_t got = fread(raw.data(), 1, raw.size(), p);
  pclose(p);
  if (got != raw.size()) return {};
  std::vector<uint32_t> out(count);
  for (size_t i = 0; i < count; ++i)
    out[i] = raw[i * 4] | raw[i * 4 + 1] << 8 | raw[i * 4 + 2] << 16 | uint32_t(raw[i * 4 + 3]) << 24;
  return out;
}

}  // namespace

TEST(ShippedImages, DataFilesAreWhatTheSourcesBuild) {
  struct job {
    const char *asset, *data;
    size_t size;
    bool (*build)(const std::string &, pcxw_image *, std::string *);
  } jobs[] = {{"assets/tiles.txt", "data/tiles.pcx", 3267, art_build_tiles},
              {"assets/font.txt", "data/c64.pcx", 34259, art_build_font},
              {"assets/title.txt", "data/title.pcx", 8252, art_build_title}};
  for (const job &j : jobs) {
    pcxw_image img;
    std::string error;
    ASSERT_TRUE(j.build(read_text(j.asset), &img, &error)) << j.asset << ": " << error;
    std::vector<uint8_t> built;
    ASSERT_TRUE(pcxw_encode(img, j.size, &built, &error)) << j.data << ": " << error;
    std::vector<uint8_t> committed = read_bytes(j.data);
    EXPECT_EQ(committed.size(), j.size) << j.data;
    EXPECT_TRUE(committed == built) << j.data << " is stale: run tools/make_images.sh";
  }
}

TEST(ShippedImages, HeadersMatchTheFileTable) {
  struct want {
    const char *data;
    int width, height, planes, bytes_per_line;
  } files[] = {{"data/c64.pcx", 256, 256, 3, 256},
               {"data/tiles.pcx", 384, 16, 1, 384},
               {"data/title.pcx", 320, 100, 1, 320}};
  for (const want &w : files) {
    std::vector<uint8_t> f = read_bytes(w.data);
    ASSERT_GT(f.size(), 128u);
    EXPECT_EQ(f[0], 0x0A) << w.data;
    EXPECT_EQ(f[1], 0x05) << w.data;
    EXPECT_EQ(f[2], 0x01) << w.data;
    EXPECT_EQ(f[3], 0x08) << w.data;
    EXPECT_EQ(f[65], w.planes) << w.data;
    EXPECT_EQ(f[66] | f[67] << 8, w.bytes_per_line) << w.data;
    log_capture log;
    decoded d = game_decode(f);
    EXPECT_EQ(d.width, w.width) << w.data;
    EXPECT_EQ(d.height, w.height) << w.data;
    EXPECT_FALSE(log.contains("assert:")) << w.data;
  }
}

TEST(ShippedImages, TileSheet) {
  std::vector<uint8_t> f = read_bytes("data/tiles.pcx");
  const uint8_t *magenta = &f[f.size() - 768 + 36 * 3];
  EXPECT_EQ(magenta[0], 255);
  EXPECT_EQ(magenta[1], 0);
  EXPECT_EQ(magenta[2], 255);
  decoded d = game_decode(f);
  ASSERT_EQ(d.pixels.size(), 384u * 16);
  auto tile_px = [&](int n, int x, int y) { return d.pixels[y * 384 + n * 16 + x]; };
  auto count_clear = [&](int n) {
    int c = 0;
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) c += tile_px(n, x, y) == 0;
    return c;
  };
  for (uint32_t p : d.pixels) ASSERT_TRUE(p == 0 || (p >> 24) == 0xFF);
  // Cells that fill their square hide whatever lies under them; figures, boulder, diamonds
  // and arrows stand on the see-through background.
  for (int n : {7, 8, 16, 17, 18, 19, 22, 23}) EXPECT_EQ(count_clear(n), 0) << "tile " << n;
  for (int n : {0, 1, 2, 3, 4, 5, 6, 9, 10, 11, 12, 13, 14, 15, 20})
    EXPECT_EQ(tile_px(n, 0, 0), 0u) << "tile " << n;
  EXPECT_EQ(count_clear(21), 256);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(tile_px(23, x, y), BLACK);
  // The right-facing poses are the left-facing ones mirrored.
  for (int n = 0; n < 3; ++n)
    for (int y = 0; y < 16; ++y)
      for (int x = 0; x < 16; ++x) ASSERT_EQ(tile_px(n, x, y), tile_px(n + 3, 15 - x, y));
  // The arrows are black: up, down, left, right point where their tips are.
  auto black_in_row = [&](int n, int y) {
    int c = 0;
    for (int x = 0; x < 16; ++x) c += tile_px(n, x, y) == BLACK;
    return c;
  };
  auto black_in_column = [&](int n, int x) {
    int c = 0;
    for (int y = 0; y < 16; ++y) c += tile_px(n, x, y) == BLACK;
    return c;
  };
  EXPECT_EQ(black_in_row(12, 1), 2);   // the up arrow's tip
  EXPECT_EQ(black_in_row(13, 14), 2);  // the down arrow's tip
  EXPECT_EQ(black_in_column(14, 1), 2);
  EXPECT_EQ(black_in_column(15, 14), 2);
}

TEST(ShippedImages, FontSheetPixelsAndStream) {
  std::vector<uint8_t> f = read_bytes("data/c64.pcx");
  decoded d = game_decode(f);
  ASSERT_EQ(d.pixels.size(), 256u * 256);
  for (uint32_t p : d.pixels) ASSERT_TRUE(p == BLACK || p == WHITE) << std::hex << p;
  pcxr_picture p = pcxr_decode(f);
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.stream_end, f.size()) << "the run-length stream must end with the file";
  // Lit pixels keep off each cell's first column and row and its last row, so the outline the
  // game adds never reaches a neighbouring cell; the strip right of the cells and the rows
  // under them stay dark.
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      if (d.pixels[y * 256 + x] != WHITE) continue;
      ASSERT_LT(x, 252) << x << "," << y;
      ASSERT_LT(y, 247) << x << "," << y;
      int cx = x % ART_FONT_CELL_W, cy = y % ART_FONT_CELL_H;
      ASSERT_TRUE(cx >= 1 && cx <= 16 && cy >= 1 && cy <= 17) << x << "," << y;
    }
}

TEST(ShippedImages, FontWidths) {
  decoded d = game_decode(read_bytes("data/c64.pcx"));
  ASSERT_EQ(d.pixels.size(), 256u * 256);
  for (unsigned char c : std::string(" !,.:;|")) EXPECT_EQ(measured_width(d, c), 9) << c;
  for (unsigned char c : std::string("Il")) EXPECT_EQ(measured_width(d, c), 11) << c;
  for (unsigned char c : std::string("#&MWmw")) EXPECT_EQ(measured_width(d, c), 15) << c;
  std::string narrow_or_wide = "IlMWmwfi";
  for (unsigned char c : std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"))
    if (narrow_or_wide.find(static_cast<char>(c)) == std::string::npos) {
      EXPECT_EQ(measured_width(d, c), 13) << c;
    }
  // Codes the code page leaves undefined have blank cells.
  for (int code : {127, 129, 141, 143, 144, 157, 160}) {
    int cx, cy;
    art_font_cell(code, &cx, &cy);
    for (int y = cy; y < cy + ART_FONT_CELL_H; ++y)
      for (int x = cx; x < cx + ART_FONT_CELL_W; ++x) ASSERT_EQ(d.pixels[y * 256 + x], BLACK) << code;
  }
  // The game's own font builder agrees, and gives codes past 213 no glyph.
  g_image sheet = g_decode_pcx(read_bytes("data/c64.pcx").data(), 34259);
  g_font font = g_create_font(&sheet);
  ASSERT_NE(font.glyphs, nullptr);
  for (int code = 32; code <= 213; ++code) EXPECT_EQ(font.glyphs[code].width, measured_width(d, code)) << code;
  EXPECT_EQ(font.glyphs[214].x, 0);
  EXPECT_EQ(font.glyphs[215].x, -1);
  g_free_font(&font);
  g_free_image(&sheet);
}

TEST(ShippedImages, TitlePicture) {
  decoded d = game_decode(read_bytes("data/title.pcx"));
  ASSERT_EQ(d.pixels.size(), 320u * 100);
  // No see-through pixel: the picture lies on the title screen's grey and its edges match it,
  // so it shows no seam while it bobs.
  int logo = 0;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 320; ++x) {
      uint32_t p = d.pixels[y * 320 + x];
      ASSERT_NE(p, 0u);
      if (x == 0 || y == 0 || x == 319 || y == 99) {
        ASSERT_EQ(p, TITLE_GREY) << x << "," << y;
      }
      logo += p != TITLE_GREY;
    }
  EXPECT_GT(logo, 320 * 100 / 5);
}

TEST(ShippedImages, ImageMagickReadsTheSamePixels) {
  if (imagemagick_pixels("data/tiles.pcx", 384 * 16).empty()) GTEST_SKIP() << "no ImageMagick";
  for (const char *name : {"data/tiles.pcx", "data/c64.pcx", "data/title.pcx"}) {
    decoded d = game_decode(read_bytes(name));
    std::vector<uint32_t> im = imagemagick_pixels(name, d.pixels.size());
    ASSERT_EQ(im.size(), d.pixels.size()) << name;
    // ImageMagick keeps magenta as a colour where the game makes it see-through.
    for (uint32_t &p : d.pixels)
      if (p == 0) p = 0xFFFF00FFu;
    EXPECT_TRUE(im == d.pixels) << name;
  }
}
