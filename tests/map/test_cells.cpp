// Reads and writes of single cells and flags; everything outside the grid reads empty.
#include <gtest/gtest.h>

#include <vector>

#include "map/map.h"
#include "map_text.h"
#include "support/log_capture.h"

namespace {

struct MapCells : ::testing::Test {
  map_t map{};
  void SetUp() override { map = parse_text("WWW\r\nXDE\r\n#H.\r\n1"); }
  void TearDown() override { map_free(&map); }
  std::vector<uint8_t> snapshot() const {
    std::vector<uint8_t> all(map.cells, map.cells + map.width * map.height);
    all.insert(all.end(), map.flags, map.flags + map.width * map.height);
    return all;
  }
};

TEST_F(MapCells, RowMajorLayout) {
  ASSERT_EQ(map.width, 3);
  ASSERT_EQ(map.height, 4);
  EXPECT_EQ(map.cells[1 * 3 + 2], CELL_ENEMY);
  EXPECT_EQ(map_get_cell(&map, 2, 1), CELL_ENEMY);
  EXPECT_EQ(map_get_cell(&map, 1, 2), CELL_WEAK_WALL);
  EXPECT_EQ(map_get_cell(&map, 0, 3), CELL_PATH_RIGHT);
}

TEST_F(MapCells, OutsideTheGridReadsEmptyAndIgnoresWrites) {
  const std::vector<uint8_t> before = snapshot();
  const int32_t outside[][2] = {{-1, 0}, {3, 0}, {0, -1}, {0, 4}, {-1, -1}, {3, 4}, {INT32_MIN, 0}, {0, INT32_MAX}};
  for (const auto& p : outside) {
    map_set_cell(&map, p[0], p[1], CELL_ROCK);
    map_set_flags(&map, p[0], p[1], MAP_FLAG_DONE);
    EXPECT_EQ(map_get_cell(&map, p[0], p[1]), CELL_EMPTY) << p[0] << "," << p[1];
    EXPECT_EQ(map_get_flags(&map, p[0], p[1]), 0) << p[0] << "," << p[1];
  }
  EXPECT_EQ(snapshot(), before);
  // The corners just inside are real cells.
  EXPECT_EQ(map_get_cell(&map, 0, 0), CELL_WALL);
  EXPECT_EQ(map_get_cell(&map, 2, 3), CELL_EMPTY);
  map_set_cell(&map, 2, 3, CELL_ROCK);
  EXPECT_EQ(map_get_cell(&map, 2, 3), CELL_ROCK);
}

TEST_F(MapCells, WritingACodeClearsItsFlagsButNotTheNeighbours) {
  map_set_flags(&map, 1, 1, MAP_FLAG_DONE | MAP_FLAG_LEFT);
  map_set_flags(&map, 2, 1, MAP_FLAG_UP);
  EXPECT_EQ(map_get_cell(&map, 1, 1), CELL_DIAMOND);  // flags leave the code alone
  EXPECT_EQ(map_get_flags(&map, 1, 1), 129);
  map_set_cell(&map, 1, 1, CELL_VACATED);
  EXPECT_EQ(map_get_cell(&map, 1, 1), 253);
  EXPECT_EQ(map_get_flags(&map, 1, 1), 0);
  EXPECT_EQ(map_get_flags(&map, 2, 1), MAP_FLAG_UP);
  EXPECT_EQ(map_get_cell(&map, 2, 1), CELL_ENEMY);
}

TEST_F(MapCells, NullOrFreedMapIsReportedAndReadsEmpty) {
  log_capture log;
  EXPECT_EQ(map_get_cell(nullptr, 0, 0), CELL_EMPTY);
  EXPECT_EQ(map_get_flags(nullptr, 0, 0), 0);
  map_set_cell(nullptr, 0, 0, CELL_WALL);
  map_set_flags(nullptr, 0, 0, 1);
  map_free(nullptr);
  EXPECT_TRUE(log.contains("assert:..\\..\\src\\map "));

  map_t other = parse_text("WW\r\n0");
  map_free(&other);
  EXPECT_EQ(map_get_cell(&other, 0, 0), CELL_EMPTY);
  map_set_cell(&other, 0, 0, CELL_WALL);  // must not write through the released arrays
  EXPECT_EQ(map_get_flags(&other, 0, 0), 0);
}

}  // namespace
