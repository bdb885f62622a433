// The six level files after the first: their sizes, row lengths and screen paths as the file
// table and the view expect, only characters the map knows, closed walls, and what the
// levels promise a player: weak walls that guard diamonds, enemies with room to roam, and a
// start where nothing falls or walks onto the player.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "map/map.h"

namespace {

struct level_file {
  int number;
  size_t bytes;
  int width;
  int height;  // path line included
  const char* path;
  std::map<size_t, int> row_lengths;  // length -> number of rows
};

const level_file LEVELS[] = {
    {1, 289, 20, 14, "140", {{20, 13}}},
    {2, 300, 25, 14, "4110", {{11, 3}, {12, 1}, {25, 9}}},
    {3, 231, 10, 20, "440", {{10, 19}}},
    {4, 407, 20, 22, "41420", {{10, 6}, {20, 15}}},
    {5, 407, 20, 22, "44130", {{10, 6}, {20, 15}}},
    {6, 468, 20, 22, "142410", {{20, 21}}},
};

std::string read_level(int number) {
  std::string path = std::string(TUMBLER_SOURCE_DIR) + "/data/map" + std::to_string(number) + ".txt";
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Lines split at CR LF; the last one is the path line.
std::vector<std::string> split_lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, at - start));
    start = at + 2;
  }
  lines.push_back(text.substr(start));
  return lines;
}

int count_of(const std::vector<std::string>& rows, const std::string& chars) {
  int n = 0;
  for (const std::string& row : rows)
    for (char c : row) n += chars.find(c) != std::string::npos;
  return n;
}

}  // namespace

TEST(LevelFiles, SizesRowsAndPathsMatchTheFileTable) {
  for (const level_file& level : LEVELS) {
    SCOPED_TRACE("map" + std::to_string(level.number));
    std::string text = read_level(level.number);
    EXPECT_EQ(text.size(), level.bytes);
    std::vector<std::string> lines = split_lines(text);
    ASSERT_EQ(static_cast<int>(lines.size()), level.height);
    EXPECT_EQ(lines.back(), level.path);
    std::map<size_t, int> lengths;
    for (size_t i = 0; i + 1 < lines.size(); ++i) ++lengths[lines[i].size()];
    EXPECT_EQ(lengths, level.row_lengths);
  }
}

TEST(LevelFiles, OnlyMapCharactersAndOneStart) {
  const std::string allowed = " #XDWEHS";
  for (const level_file& level : LEVELS) {
    SCOPED_TRACE("map" + std::to_string(level.number));
    std::vector<std::string> rows = split_lines(read_level(level.number));
    rows.pop_back();
    for (const std::string& row : rows)
      for (char c : row) EXPECT_NE(allowed.find(c), std::string::npos) << "character " << int(c);
    EXPECT_EQ(count_of(rows, "S"), 1);
  }
}

TEST(LevelFiles, WallsCloseEveryPlaceThePlayerCanReach) {
  // Everything but a wall may one day be passed (dirt is dug, rocks pushed, weak walls broken),
  // so a flood from the start through all of it must meet walls before the edge of the grid
  // or the empty space right of a short row.
  for (const level_file& level : LEVELS) {
    SCOPED_TRACE("map" + std::to_string(level.number));
    std::vector<std::string> rows = split_lines(read_level(level.number));
    rows.pop_back();
    std::vector<std::pair<int, int>> todo;
    std::vector<std::vector<bool>> seen(rows.size(), std::vector<bool>(level.width, false));
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        if (rows[y][x] == 'S') todo.push_back({static_cast<int>(x), static_cast<int>(y)});
    ASSERT_EQ(todo.size(), 1u);
    while (!todo.empty()) {
      auto [x, y] = todo.back();
      todo.pop_back();
      ASSERT_TRUE(y >= 0 && y < static_cast<int>(rows.size()) && x >= 0 &&
                  x < static_cast<int>(rows[static_cast<size_t>(y)].size()))
          << "the player can leave the level at (" << x << ", " << y << ")";
      if (rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == 'W' || seen[static_cast<size_t>(y)][static_cast<size_t>(x)]) continue;
      seen[static_cast<size_t>(y)][static_cast<size_t>(x)] = true;
      todo.push_back({x + 1, y});
      todo.push_back({x - 1, y});
      todo.push_back({x, y + 1});
      todo.push_back({x, y - 1});
    }
  }
}

namespace {

// A level as rows of characters, read through cells that are walls outside the rows.
struct level_grid {
  std::vector<std::string> rows;
  char at(int x, int y) const {
    if (y < 0 || y >= static_cast<int>(rows.size()) || x < 0 || x >= static_cast<int>(rows[static_cast<size_t>(y)].size())) return 'W';
    return rows[static_cast<size_t>(y)][static_cast<size_t>(x)];
  }
  std::pair<int, int> find(char c) const {
    for (size_t y = 0; y < rows.size(); ++y)
      for (size_t x = 0; x < rows[y].size(); ++x)
        if (rows[y][x] == c) return {static_cast<int>(x), static_cast<int>(y)};
    return {-1, -1};
  }
  // The cells reachable from (x, y) through cells whose character is in `through`.
  std::set<std::pair<int, int>> flood(int x, int y, const std::string& through) const {
    std::set<std::pair<int, int>> seen;
    std::vector<std::pair<int, int>> todo = {{x, y}};
    while (!todo.empty()) {
      auto [cx, cy] = todo.back();
      todo.pop_back();
      for (auto [nx, ny] : {std::pair{cx + 1, cy}, {cx - 1, cy}, {cx, cy + 1}, {cx, cy - 1}}) {
        if (seen.count({nx, ny}) || through.find(at(nx, ny)) == std::string::npos) continue;
        seen.insert({nx, ny});
        todo.push_back({nx, ny});
      }
    }
    return seen;
  }
};

level_grid grid_of(int number) {
  level_grid g{split_lines(read_level(number))};
  g.rows.pop_back();  // the path line
  return g;
}

// The player digs, collects, pushes and (with a rock) breaks through everything but walls.
const std::string PLAYER_WAY = " XD#ES";

}  // namespace

TEST(LevelFiles, WeakWallsGuardDiamondsFromTheThird) {
  for (int number = 3; number <= 6; ++number) {
    SCOPED_TRACE("map" + std::to_string(number));
    const level_grid g = grid_of(number);
    auto [sx, sy] = g.find('S');
    const auto standing = g.flood(sx, sy, PLAYER_WAY);
    const auto broken = g.flood(sx, sy, PLAYER_WAY + "H");
    int behind_weak_walls = 0, unreachable = 0;
    for (size_t y = 0; y < g.rows.size(); ++y) {
      for (size_t x = 0; x < g.rows[y].size(); ++x) {
        if (g.rows[y][x] != 'D') continue;
        const std::pair<int, int> cell{static_cast<int>(x), static_cast<int>(y)};
        behind_weak_walls += !standing.count(cell);
        unreachable += !broken.count(cell);
      }
    }
    EXPECT_GT(behind_weak_walls, 0) << "no diamond needs a weak wall broken";
    EXPECT_EQ(unreachable, 0);
  }
}

TEST(LevelFiles, EnemiesRoamFromTheSecond) {
  // Free: the empty cells an enemy can reach at the start hold at least six cells.
  for (int number = 2; number <= 6; ++number) {
    SCOPED_TRACE("map" + std::to_string(number));
    const level_grid g = grid_of(number);
    int free = 0;
    for (size_t y = 0; y < g.rows.size(); ++y)
      for (size_t x = 0; x < g.rows[y].size(); ++x)
        if (g.rows[y][x] == 'E') free += g.flood(static_cast<int>(x), static_cast<int>(y), " ").size() >= 6;
    EXPECT_GE(free, 1);
  }
}

TEST(LevelFiles, StartIsSafeAndEveryRockAtRest) {
  // No enemy can walk to the start or beside it, and no rock moves before the player digs:
  // none over an empty cell (the start cell is empty once the player leaves it), none that
  // can roll off into an empty cell with an empty cell below it.
  for (const level_file& level : LEVELS) {
    SCOPED_TRACE("map" + std::to_string(level.number));
    const level_grid g = grid_of(level.number);
    auto [sx, sy] = g.find('S');
    for (size_t y = 0; y < g.rows.size(); ++y) {
      for (size_t x = 0; x < g.rows[y].size(); ++x) {
        const int cx = static_cast<int>(x), cy = static_cast<int>(y);
        if (g.rows[y][x] == 'E') {
          for (auto [ex, ey] : g.flood(cx, cy, " "))
            EXPECT_GT(std::abs(ex - sx) + std::abs(ey - sy), 1) << "the enemy at (" << cx << ", " << cy << ") reaches the start";
        }
        if (g.rows[y][x] != '#') continue;
        auto empty = [&](int ex, int ey) { return g.at(ex, ey) == ' ' || g.at(ex, ey) == 'S'; };
        EXPECT_FALSE(empty(cx, cy + 1)) << "rock at (" << cx << ", " << cy << ") falls";
        EXPECT_FALSE(empty(cx - 1, cy) && empty(cx - 1, cy + 1)) << "rock at (" << cx << ", " << cy << ") rolls left";
        EXPECT_FALSE(empty(cx + 1, cy) && empty(cx + 1, cy + 1)) << "rock at (" << cx << ", " << cy << ") rolls right";
      }
    }
  }
}

TEST(LevelFiles, MapParserReadsEachLevel) {
  for (const level_file& level : LEVELS) {
    SCOPED_TRACE("map" + std::to_string(level.number));
    std::string text = read_level(level.number);
    map_t map = map_parse(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()));
    ASSERT_NE(map.cells, nullptr);
    EXPECT_EQ(map.width, level.width);
    EXPECT_EQ(map.height, level.height);
    for (int x = 0; x < map.width; ++x) {
      uint8_t expected = x < static_cast<int>(std::string(level.path).size()) ? uint8_t(level.path[x]) : CELL_EMPTY;
      EXPECT_EQ(map_get_cell(&map, x, map.height - 1), expected) << "path cell " << x;
    }
    size_t top = text.find("\r\n");
    for (int x = 0; x < static_cast<int>(top); ++x) EXPECT_EQ(map_get_cell(&map, x, 0), CELL_WALL) << "top row, column " << x;
    int starts = 0;
    for (int y = 0; y < map.height - 1; ++y)
      for (int x = 0; x < map.width; ++x) starts += map_get_cell(&map, x, y) == CELL_START;
    EXPECT_EQ(starts, 1);
    map_free(&map);
  }
}
