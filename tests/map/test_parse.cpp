// Level text to cell codes: rows, widths, the path line, the code table, bad input.
#include <gtest/gtest.h>

#include <string>

#include "map/map.h"
#include "map_text.h"
#include "os_tools/os_mem.h"
#include "support/log_capture.h"

namespace {

const std::string E(1, char(CELL_EMPTY));

TEST(MapParse, FirstLevelIsTheWorkedExample) {
  const int32_t blocks = os_alloc_count();
  map_t map = map_load("map0.txt");
  ASSERT_EQ(map.width, 20);
  ASSERT_EQ(map.height, 8);
  EXPECT_EQ(row_codes(map, 0), std::string(20, char(CELL_WALL)));
  EXPECT_EQ(row_codes(map, 6), std::string(20, char(CELL_WALL)));
  EXPECT_EQ(map_get_cell(&map, 3, 5), CELL_START);
  EXPECT_EQ(map_get_cell(&map, 3, 5), 83);
  EXPECT_EQ(map_get_cell(&map, 3, 3), CELL_DIAMOND);
  EXPECT_EQ(map_get_cell(&map, 17, 5), CELL_DIAMOND);
  EXPECT_EQ(map_get_cell(&map, 13, 3), CELL_ENEMY);
  EXPECT_EQ(map_get_cell(&map, 17, 3), CELL_ROCK);
  EXPECT_EQ(map_get_cell(&map, 9, 5), CELL_WALL);
  EXPECT_EQ(map_get_cell(&map, 12, 1), CELL_DIRT);
  EXPECT_EQ(map_get_cell(&map, 1, 1), CELL_EMPTY);
  EXPECT_EQ(row_codes(map, 7), "10" + std::string(18, char(CELL_EMPTY)));
  int diamonds = 0, enemies = 0, rocks = 0, flags = 0;
  for (int32_t y = 0; y < map.height; ++y)
    for (int32_t x = 0; x < map.width; ++x) {
      uint8_t c = map_get_cell(&map, x, y);
      diamonds += c == CELL_DIAMOND;
      enemies += c == CELL_ENEMY;
      rocks += c == CELL_ROCK;
      flags += map_get_flags(&map, x, y);
    }
  EXPECT_EQ(diamonds, 2);
  EXPECT_EQ(enemies, 1);
  EXPECT_EQ(rocks, 1);
  EXPECT_EQ(flags, 0);
  EXPECT_EQ(os_alloc_count(), blocks + 2);
  map_free(&map);
  EXPECT_EQ(map.cells, nullptr);
  EXPECT_EQ(map.flags, nullptr);
  EXPECT_EQ(os_alloc_count(), blocks);
}

TEST(MapParse, EveryByteValueTranslatesThroughTheCodeTable) {
  std::string text;
  for (int c = 0; c < 256; ++c) text += char(c);  // 13 is followed by 14: no row end inside
  map_t map = parse_text(text + "\r\n");
  ASSERT_EQ(map.width, 256);
  ASSERT_EQ(map.height, 2);
  for (int c = 0; c < 256; ++c) {
    uint8_t expected = CELL_EMPTY;
    switch (c) {
      case '.': expected = 0; break;
      case '#': expected = 6; break;
      case 'X': expected = 7; break;
      case 'D': expected = 9; break;
      case 'W': expected = 16; break;
      case 'E': expected = 17; break;
      case 'H': expected = 22; break;
      case '0': case '1': case '2': case '3': case '4': expected = uint8_t(c); break;
      case 'S': expected = 83; break;
    }
    EXPECT_EQ(map_get_cell(&map, c, 0), expected) << "byte " << c;
  }
  map_free(&map);
}

TEST(MapParse, WidthIsTheLongestRowEndedByCrLf) {
  map_t map = parse_text("WW\r\nWWWW\r\nW\r\n.");
  ASSERT_EQ(map.width, 4);
  ASSERT_EQ(map.height, 4);
  EXPECT_EQ(row_codes(map, 0), "\x10\x10" + E + E);
  EXPECT_EQ(row_codes(map, 1), "\x10\x10\x10\x10");
  EXPECT_EQ(row_codes(map, 2), "\x10" + E + E + E);
  EXPECT_EQ(row_codes(map, 3), std::string(1, '\0') + E + E + E);  // '.' is a block, not empty
  map_free(&map);
}

TEST(MapParse, PathLineBeyondTheWidthIsCutAndReported) {
  log_capture log;
  map_t map = parse_text("WWW\r\n0123S");
  ASSERT_EQ(map.width, 3);
  ASSERT_EQ(map.height, 2);
  EXPECT_EQ(row_codes(map, 1), "012");
  EXPECT_TRUE(log.contains("assert:..\\..\\src\\map "));
  map_free(&map);
}

TEST(MapParse, TrailingCrLfMakesAnEmptyPathLine) {
  map_t map = parse_text("WWWW\r\nWDSW\r\n");
  ASSERT_EQ(map.width, 4);
  ASSERT_EQ(map.height, 3);
  EXPECT_EQ(row_codes(map, 2), E + E + E + E);
  map_free(&map);
}

TEST(MapParse, LoneLfAndCrAreCellsNotRowEnds) {
  map_t map = parse_text("W\nW\rW\r\r\n\n\r");
  ASSERT_EQ(map.width, 6);  // W LF W CR W CR
  ASSERT_EQ(map.height, 2);
  EXPECT_EQ(row_codes(map, 0), "\x10" + E + "\x10" + E + "\x10" + E);
  EXPECT_EQ(row_codes(map, 1), E + E + E + E + E + E);  // LF then a CR as the very last byte

  log_capture log;
  map_t lf_only = parse_text("WWW\nWDW\nWWW");  // one line, and the last line sets no width
  EXPECT_EQ(lf_only.width, 0);
  EXPECT_EQ(lf_only.height, 1);
  EXPECT_EQ(map_get_cell(&lf_only, 0, 0), CELL_EMPTY);
  EXPECT_TRUE(log.contains("assert:"));
  map_free(&map);
  map_free(&lf_only);
}

TEST(MapParse, NeverReadsPastTheLength) {
  // The byte after the given length would complete a CR LF; it must not be looked at.
  const std::string text = "ABC\r\nD\r\n";
  std::unique_ptr<uint8_t[]> bytes(new uint8_t[text.size()]);
  memcpy(bytes.get(), text.data(), text.size());
  map_t map = map_parse(bytes.get(), 7);
  EXPECT_EQ(map.width, 3);
  EXPECT_EQ(map.height, 2);
  EXPECT_EQ(row_codes(map, 1), "\x09" + E + E);
  map_free(&map);
}

TEST(MapParse, DegenerateTextGivesAMapThatReadsEmpty) {
  const int32_t blocks = os_alloc_count();
  struct {
    std::string text;
    int32_t width, height;
  } cases[] = {{"", 0, 1}, {"\r\n\r\n\r\n", 0, 4}, {"\r", 0, 1}, {"\n", 0, 1}, {"WWWW", 0, 1}};
  for (const auto& c : cases) {
    log_capture log;
    map_t map = parse_text(c.text);
    EXPECT_EQ(map.width, c.width) << c.text.size();
    EXPECT_EQ(map.height, c.height) << c.text.size();
    EXPECT_TRUE(log.contains("assert:")) << c.text.size();  // a map without columns is reported
    EXPECT_EQ(map_get_cell(&map, 0, 0), CELL_EMPTY);
    EXPECT_EQ(map_get_flags(&map, 0, 0), 0);
    map_set_cell(&map, 0, 0, CELL_WALL);
    EXPECT_EQ(map_get_cell(&map, 0, 0), CELL_EMPTY);
    map_free(&map);
  }
  map_t none = map_parse(nullptr, 0);
  EXPECT_EQ(none.width, 0);
  EXPECT_EQ(none.height, 1);
  map_free(&none);
  EXPECT_EQ(os_alloc_count(), blocks);
}

TEST(MapParse, MissingFileIsReportedAndReadsEmpty) {
  log_capture log;
  map_t map = map_load("map9.txt");
  EXPECT_TRUE(log.contains("assert:..\\..\\src\\map "));
  EXPECT_EQ(map.width, 0);
  EXPECT_EQ(map.height, 1);
  EXPECT_EQ(map_get_cell(&map, 0, 0), CELL_EMPTY);
  map_free(&map);
  map_t unnamed = map_load(nullptr);
  EXPECT_EQ(unnamed.width, 0);
  map_free(&unnamed);
}

TEST(MapParse, GridTooLargeForALevelIsRefused) {
  // One row of 2^23 + 1 cells and the path line: more cells than any level could need.
  std::string text(size_t(1) << 23, 'W');
  text += "W\r\n0";
  log_capture log;
  const int32_t blocks = os_alloc_count();
  map_t map = parse_text(text);
  EXPECT_EQ(map.width, 0);
  EXPECT_EQ(map.height, 1);
  EXPECT_TRUE(log.contains("assert:"));
  map_free(&map);
  EXPECT_EQ(os_alloc_count(), blocks);
}

}  // namespace
