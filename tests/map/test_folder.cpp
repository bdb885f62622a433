// Levels from a folder: good files take the embedded ones' place, the others stay; a bad
// file is refused with one line naming it, and then nothing changes.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "file/file.h"
#include "map/map.h"
#include "os_tools/os_mem.h"

namespace {

namespace fs = std::filesystem;

const std::string LEVEL = "WWWW\r\nWS D\r\nWWWW\r\n10";

fs::path folder_with(const std::string& name, const std::string& text) {
  const fs::path dir = fs::path(testing::TempDir()) / ("tumbler_levels_" + std::to_string(rand()));
  fs::create_directories(dir);
  if (!name.empty()) std::ofstream(dir / name, std::ios::binary) << text;
  return dir;
}

std::string use(const fs::path& dir) {
  char message[256] = "";
  const bool ok = map_use_folder(dir.string().c_str(), message, int32_t(sizeof message));
  return ok ? "ok" : message;
}

TEST(LevelFolder, BadFilesAreRefusedWithOneLineNamingThem) {
  struct bad_case {
    std::string name;
    std::string text;
    const char* why;
  };
  const bad_case cases[] = {
      {"map3.txt", std::string(MAP_FILE_MAX + 1, 'W'), "map3.txt is larger than 64 KB\n"},
      {"map0.txt", "", "map0.txt holds no level"},
      {"map1.txt", "WWWW WS D WWWW\n10", "map1.txt holds no level"},
      {"map6.txt", "WWWW\r\nW  D\r\nWWWW\r\n1S", "map6.txt has no start cell (S) in its rooms\n"},
      {"map4.txt", "WWWW\r\nWS D\r\nWWWW\r\n", "map4.txt has no screen path on its last line (digits 1 to 4, 0 at the end)\n"},
      {"map5.txt", "WWWW\r\nWS D\r\nWWWW\r\nWWWW", "map5.txt has no screen path on its last line"},
      {"", "", "holds none of map0.txt ... map6.txt\n"},
  };
  const int32_t blocks = os_alloc_count();
  const file_handle embedded = file_open("map0.txt");
  for (const bad_case& c : cases) {
    const fs::path dir = folder_with(c.name, c.text);
    const std::string said = use(dir);
    EXPECT_EQ(said.rfind("tumbler: ", 0), 0u) << said;
    EXPECT_NE(said.find(c.why), std::string::npos) << said;
    EXPECT_EQ(file_open("map0.txt").data, embedded.data) << "nothing put in place";
    fs::remove_all(dir);
  }
  EXPECT_EQ(os_alloc_count(), blocks);
}

TEST(LevelFolder, GoodFilesTakeThePlaceOfTheEmbeddedOnes) {
  const fs::path dir = folder_with("map2.txt", LEVEL);
  const file_handle map1 = file_open("map1.txt");
  EXPECT_EQ(use(dir.string() + "/"), "ok");
  const file_handle map2 = file_open("map2.txt");
  ASSERT_EQ(map2.size, LEVEL.size());
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(map2.data), map2.size), LEVEL);
  EXPECT_EQ(file_open("map1.txt").data, map1.data);
  map_t map = map_load("map2.txt");
  EXPECT_EQ(map_get_cell(&map, 1, 1), CELL_START);
  map_free(&map);
  file_clear_overrides();
  fs::remove_all(dir);
}

// A file ending in a line break, as editors save it, loads with its path line as the last.
TEST(LevelFolder, TrailingLineEndsAreDropped) {
  for (const char* end : {"\r\n", "\n", "\r\n\r\n"}) {
    const fs::path dir = folder_with("map0.txt", LEVEL + end);
    EXPECT_EQ(use(dir), "ok") << end;
    const file_handle map0 = file_open("map0.txt");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(map0.data), map0.size), LEVEL);
    map_t map = map_load("map0.txt");
    EXPECT_EQ(map.height, 4);
    EXPECT_EQ(map_get_cell(&map, 0, 3), CELL_PATH_RIGHT);
    map_free(&map);
    file_clear_overrides();
    fs::remove_all(dir);
  }
}

// One level file alone is the whole game: it takes map0.txt's place and the game has one
// level; a missing or bad file changes nothing.
TEST(LevelFile, OneFileIsTheWholeGame) {
  const fs::path dir = folder_with("shared.txt", LEVEL + "\r\n");
  const file_handle embedded = file_open("map0.txt");
  char message[256] = "";
  const struct {
    std::string path;
    const char* why;
  } bad[] = {
      {(dir / "none.txt").string(), "none.txt cannot be read\n"},
      {dir.string(), " cannot be read\n"},  // a folder opens but does not read
  };
  for (const auto& c : bad) {
    message[0] = 0;
    EXPECT_FALSE(map_use_file(c.path.c_str(), message, int32_t(sizeof message))) << c.path;
    const std::string said = message;
    EXPECT_EQ(said.rfind("tumbler: ", 0), 0u) << said;
    EXPECT_NE(said.find(c.why), std::string::npos) << said;
    EXPECT_EQ(file_open("map0.txt").data, embedded.data);
    EXPECT_EQ(map_level_count(), MAP_LEVEL_COUNT);
  }
  std::ofstream(dir / "bad.txt", std::ios::binary) << "WWWW\r\nW  D\r\nWWWW\r\n1";
  EXPECT_FALSE(map_use_file((dir / "bad.txt").string().c_str(), message, int32_t(sizeof message)));
  EXPECT_NE(std::string(message).find("bad.txt has no start cell (S) in its rooms\n"), std::string::npos) << message;
  EXPECT_EQ(map_level_count(), MAP_LEVEL_COUNT);

  ASSERT_TRUE(map_use_file((dir / "shared.txt").string().c_str(), message, int32_t(sizeof message))) << message;
  EXPECT_EQ(map_level_count(), 1);
  const file_handle map0 = file_open("map0.txt");
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(map0.data), map0.size), LEVEL);
  map_forget_file();
  file_clear_overrides();
  EXPECT_EQ(map_level_count(), MAP_LEVEL_COUNT);
  fs::remove_all(dir);
}

}  // namespace
