// Every saved fuzz input (the seed corpus and every input that ever crashed or hung the
// parser) parses to a consistent map and releases everything it took.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "map/map.h"
#include "map_text.h"
#include "os_tools/os_mem.h"

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> saved_inputs() {
  std::vector<fs::path> files;
  for (const char* sub : {"corpus", "regressions"}) {
    fs::path dir = fs::path(TUMBLER_SOURCE_DIR) / "tests/fuzz/map" / sub;
    if (!fs::exists(dir)) continue;
    for (const auto& e : fs::directory_iterator(dir))
      if (e.is_regular_file() && e.path().filename().string()[0] != '.') files.push_back(e.path());
  }
  return files;
}

TEST(MapFuzzInputs, ParseConsistently) {
  std::vector<fs::path> files = saved_inputs();
  ASSERT_FALSE(files.empty());
  for (const fs::path& path : files) {
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const int32_t blocks = os_alloc_count();
    map_t map = parse_text(text);
    int32_t row_ends = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i)
      if (text[i] == '\r' && text[i + 1] == '\n') row_ends++, i++;
    EXPECT_EQ(map.height, row_ends + 1) << path;
    EXPECT_LE(size_t(map.width), text.size()) << path;
    for (int32_t y = 0; y < map.height; ++y)
      for (int32_t x = 0; x < map.width; ++x) EXPECT_EQ(map_get_flags(&map, x, y), 0) << path;
    map_free(&map);
    EXPECT_EQ(os_alloc_count(), blocks) << path;
  }
}

}  // namespace
