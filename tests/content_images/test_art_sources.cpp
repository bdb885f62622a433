// The text sources and their builders: where a design pixel lands, and sources that must be
// refused with the line at fault rather than built into a wrong picture.
#include <gtest/gtest.h>

#include "pcx_art.h"

namespace {

std::string tiles_source(int count, const std::string &row) {
  std::string s = "colour . 36 255 0 255\ncolour k 0 0 0 0\n";
  for (int n = 0; n < count; ++n) {
    s += "tile " + std::to_string(n) + "\n";
    for (int y = 0; y < 16; ++y) s += (n == 0 && y == 0 ? row : std::string(16, '.')) + "\n";
  }
  return s;
}

uint8_t red_at(const pcxw_image &img, int x, int y) {
  return img.pixels[(static_cast<size_t>(y) * img.width + x) * img.planes];
}

}  // namespace

TEST(ArtSources, TilesPlaceIndicesAndRefuseFaults) {
  pcxw_image img;
  std::string error;
  ASSERT_TRUE(art_build_tiles(tiles_source(24, "k..............k"), &img, &error)) << error;
  EXPECT_EQ(img.width, 384);
  EXPECT_EQ(img.pixels[0], 0);
  EXPECT_EQ(img.pixels[1], 36);
  EXPECT_EQ(img.pixels[15], 0);
  EXPECT_EQ(img.pixels[16], 36);
  EXPECT_EQ(img.palette[36 * 3 + 1], 0);
  EXPECT_FALSE(art_build_tiles(tiles_source(23, std::string(16, '.')), &img, &error));
  EXPECT_NE(error.find("tile 23 missing"), std::string::npos) << error;
  EXPECT_FALSE(art_build_tiles(tiles_source(24, "k..............q"), &img, &error));
  EXPECT_NE(error.find("unknown colour q"), std::string::npos) << error;
  EXPECT_FALSE(art_build_tiles(tiles_source(24, "k.............."), &img, &error));
  EXPECT_NE(error.find("line 4"), std::string::npos) << error;
}

TEST(ArtSources, FontDesignPixelsAreTwoByTwoFromTheCellCorner) {
  pcxw_image img;
  std::string error;
  // Code 61 sits in row 2, column 1 of the sheet: cell origin (18, 38).
  ASSERT_TRUE(art_build_font("glyph 61 =\nX.....X\n", &img, &error)) << error;
  EXPECT_EQ(red_at(img, 18, 38), 0);
  EXPECT_EQ(red_at(img, 19, 39), 255);
  EXPECT_EQ(red_at(img, 20, 40), 255);
  EXPECT_EQ(red_at(img, 21, 39), 0);
  EXPECT_EQ(red_at(img, 31, 39), 255);  // column 6: pixels 13 and 14 of the cell
  EXPECT_EQ(red_at(img, 32, 40), 255);
  EXPECT_EQ(red_at(img, 33, 39), 0);
  EXPECT_EQ(red_at(img, 19, 41), 0);
  // A row written "top/bottom" sets its two pixel lines apart.
  ASSERT_TRUE(art_build_font("glyph 61 =\nX./.X\n", &img, &error)) << error;
  EXPECT_EQ(red_at(img, 19, 39), 255);
  EXPECT_EQ(red_at(img, 21, 39), 0);
  EXPECT_EQ(red_at(img, 19, 40), 0);
  EXPECT_EQ(red_at(img, 21, 40), 255);
  EXPECT_FALSE(art_build_font("glyph 31 x\nX\n", &img, &error));
  EXPECT_FALSE(art_build_font("glyph 65 A\nXXXXXXXX\n", &img, &error));
  EXPECT_FALSE(art_build_font("glyph 65 A\nX\nglyph 65 A\nX\n", &img, &error));
  EXPECT_FALSE(art_build_font("glyph 65 A\n.\n.\n.\n.\n.\n.\n.\n.\nX\n", &img, &error));
}

TEST(ArtSources, TitleRimAndGradient) {
  const std::string head =
      "colour . 0 60 60 60\ncolour k 1 0 0 0\ncolour W 2 255 255 255\n"
      "colour a 3 200 0 0\ncolour b 4 100 0 0\nbackground .\noutline k\nhighlight W\n"
      "gradient ab\ncell 4\nborder 1\nshadow 2\n";
  pcxw_image img;
  std::string error;
  ASSERT_TRUE(art_build_title(head + "origin 10 10\nlogo\n#\n#\n", &img, &error)) << error;
  auto at = [&](int x, int y) { return img.pixels[y * 320 + x]; };
  EXPECT_EQ(at(10, 10), 2);  // top edge catches the light
  EXPECT_EQ(at(11, 12), 3);  // upper half of the letter
  EXPECT_EQ(at(11, 17), 4);  // lower half
  EXPECT_EQ(at(9, 9), 1);    // one pixel of rim up and left
  EXPECT_EQ(at(8, 9), 0);
  EXPECT_EQ(at(16, 20), 1);  // three pixels of rim down and right
  EXPECT_EQ(at(17, 20), 0);
  // A stamp at twice its size; '_' keeps what lies underneath.
  ASSERT_TRUE(art_build_title(head + "origin 10 10\nstamp 9 9 2\n_k\nend\nlogo\n#\n", &img, &error))
      << error;
  EXPECT_EQ(at(10, 10), 2);
  EXPECT_EQ(at(11, 9), 1);
  EXPECT_EQ(at(12, 10), 1);
  EXPECT_EQ(at(13, 10), 2);  // the logo beyond the stamp
  EXPECT_FALSE(art_build_title(head + "origin 10 10\nstamp 318 9 2\nkk\nend\nlogo\n#\n", &img, &error));
  EXPECT_FALSE(art_build_title(head + "origin 318 10\nlogo\n#\n", &img, &error));
  EXPECT_NE(error.find("does not fit"), std::string::npos) << error;
  EXPECT_FALSE(art_build_title("cell 4\nlogo\n#\n", &img, &error));
}
