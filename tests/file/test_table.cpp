// The embedded table against data/: the 17 names in search order, each with the exact bytes
// of its file. A file that data/ does not hold yet is skipped, not failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "file/file.h"

namespace {

struct shipped_file {
  const char* name;
  uint32_t size;
};

const shipped_file SHIPPED[17] = {
    {"c64.pcx", 34259}, {"song1.sqt", 812},    {"song2.sqt", 506},     {"song3.sqt", 204},
    {"map1.txt", 289},  {"tiles.pcx", 3267},   {"map2.txt", 300},      {"map0.txt", 156},
    {"map3.txt", 231},  {"map4.txt", 407},     {"song4.sqt", 260},     {"title.pcx", 8252},
    {"start.sqt", 488}, {"game_over.sqt", 112}, {"did_it.sqt", 105},   {"map5.txt", 407},
    {"map6.txt", 468},
};

std::string data_path(const std::string& name) { return std::string(TUMBLER_SOURCE_DIR) + "/data/" + name; }

std::vector<uint8_t> read_data(const std::string& name) {
  std::ifstream in(data_path(name), std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool in_data(const char* name) { return std::filesystem::exists(data_path(name)); }

TEST(FileTable, ManifestListsTheSeventeenNamesInSearchOrder) {
  std::ifstream in(data_path("manifest.txt"));
  std::vector<std::string> names;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) names.push_back(line);
  ASSERT_EQ(names.size(), 17u);
  for (int k = 0; k < 17; ++k) EXPECT_EQ(names[k], SHIPPED[k].name) << "line " << k + 1;
}

TEST(FileTable, HoldsExactlyThePresentFilesInOrder) {
  std::vector<std::string> present;
  for (const auto& f : SHIPPED)
    if (in_data(f.name)) present.push_back(f.name);
  ASSERT_EQ(file_count(), int32_t(present.size()));
  for (int32_t k = 0; k < file_count(); ++k) EXPECT_EQ(file_entry_at(k)->name, present[k]) << k;
  EXPECT_EQ(file_entry_at(-1), nullptr);
  EXPECT_EQ(file_entry_at(file_count()), nullptr);
}

class ShippedFile : public ::testing::TestWithParam<shipped_file> {};

TEST_P(ShippedFile, HasItsSizeKindAndExactBytes) {
  const shipped_file f = GetParam();
  if (!in_data(f.name)) GTEST_SKIP() << f.name << " not in data/ yet";
  std::vector<uint8_t> bytes = read_data(f.name);
  EXPECT_EQ(bytes.size(), f.size);
  file_handle h = file_open(f.name);
  ASSERT_NE(h.data, nullptr);
  ASSERT_EQ(h.size, bytes.size());
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), h.data));
  const std::string name = f.name;
  if (name.ends_with(".pcx")) {
    ASSERT_GE(h.size, 4u);
    EXPECT_EQ(std::vector<uint8_t>(h.data, h.data + 4), (std::vector<uint8_t>{0x0A, 0x05, 0x01, 0x08}));
  } else if (name.ends_with(".sqt")) {
    ASSERT_GE(h.size, 2u);
    EXPECT_EQ(h.data[0], 'S');
    EXPECT_EQ(h.data[1], 'Q');
  } else {
    ASSERT_GE(h.size, 1u);
    EXPECT_EQ(h.data[0], 'W');
  }
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedFile, ::testing::ValuesIn(SHIPPED),
                         [](const ::testing::TestParamInfo<shipped_file>& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             if (c == '.') c = '_';
                           return n;
                         });

// The victory song is written by hand: its header, its runs and its end are pinned.
TEST(FileTable, VictorySongBytes) {
  file_handle h = file_open("did_it.sqt");
  ASSERT_EQ(h.size, 105u);
  auto at = [&](uint32_t offset, std::vector<uint8_t> expected) {
    EXPECT_EQ(std::vector<uint8_t>(h.data + offset, h.data + offset + expected.size()), expected) << offset;
  };
  at(0, {0x53, 0x51, 0x00, 0x01, 0x00});
  at(42, {0x80, 0x2f, 0x1f, 0x57, 0x02, 0x0a, 0x03, 0x47});
  at(97, {0x06, 0x04, 0x06});
  at(100, {0x04, 0x00, 0x80, 0xad, 0x00});

  // The one pattern covers exactly 4 tracks x 64 rows and ends with the data.
  uint32_t p = 5, rows = 0;
  while (rows < 256 && p < h.size) {
    uint8_t entry = h.data[p++];
    if (entry == 0x80) {
      ASSERT_LT(p, h.size);
      uint32_t n = h.data[p++];
      rows += n == 0 ? 256 : n;
      continue;
    }
    for (int bit = 0; bit < 5; ++bit)
      if (entry & (1 << bit)) p++;
    rows++;
  }
  EXPECT_EQ(rows, 256u);
  EXPECT_EQ(p, 105u);
}

}  // namespace
