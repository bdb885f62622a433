// Writing and reading .sqt bytes: the exact layout the game reads, and the exact sizes the
// file table expects.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "song_text.h"
#include "sqt_codec.h"

using namespace songc;

namespace {

song read(const std::string& text) { return parse_song_text(text, "test.txt"); }

void expect_same_rows(const song& a, const song& b) {
  ASSERT_EQ(a.order, b.order);
  ASSERT_EQ(a.patterns.size(), b.patterns.size());
  for (size_t p = 0; p < a.patterns.size(); ++p)
    for (int t = 0; t < TRACKS; ++t)
      for (int r = 0; r < ROWS; ++r)
        ASSERT_EQ(a.patterns[p].rows[t][r], b.patterns[p].rows[t][r]) << p << " " << t << " " << r;
}

const char* TWO_PATTERNS =
    "order 1 0 1\n"
    "pattern 0\ntrack 0\n0 C-4 1\ntrack 2\n10 D#5 2 A arp 37\n"
    "pattern 1\ntrack 1\n0-62/2 E-3 7 8\ntrack 3\n5 --- . . stop 00\n63 A-4 0\n";

}  // namespace

TEST(SqtWrite, SmallestEncodingRunsAcrossTracksAndEndsOnAnExplicitRow) {
  song s = read("order 0\npattern 0\ntrack 0\n0 C-4 1\ntrack 2\n10 D#5 2 A arp 37\n");
  std::vector<uint8_t> expected = {'S', 'Q', 0, 1, 0,
                                   0x03, 0x40, 0x01,                    // track 0 row 0
                                   0x80, 137,                           // track 0 row 1 .. track 2 row 9
                                   0x1F, 0x53, 0x02, 0x0A, 0x03, 0x37,  // track 2 row 10
                                   0x80, 116,                           // .. track 3 row 62
                                   0x00};                               // track 3 row 63
  EXPECT_EQ(sqt_write(s), expected);
  size_range range = sqt_size_range(s);
  EXPECT_EQ(range.smallest, 19);
  EXPECT_EQ(range.largest, 5 + 3 + 137 + 6 + 116 + 1);
}

TEST(SqtWrite, SingleEmptyRowIsOneByteAndAnEmptyPatternThree) {
  song s = read("order 0 1\npattern 0\ntrack 0\n0,2 C-4\npattern 1\n");
  std::vector<uint8_t> bytes = sqt_write(s);
  std::vector<uint8_t> expected = {'S', 'Q', 0, 2, 0, 1,
                                   0x01, 0x40, 0x00, 0x01, 0x40, 0x80, 252, 0x00,  // pattern 0
                                   0x80, 255, 0x00};                                // pattern 1
  EXPECT_EQ(bytes, expected);
}

TEST(SqtWrite, EverySizeInTheRangeIsMetExactlyAndReadsBack) {
  song s = read(TWO_PATTERNS);
  size_range range = sqt_size_range(s);
  ASSERT_LT(range.smallest, range.largest);
  for (long size = range.smallest; size <= range.largest; ++size) {
    s.target_size = size;
    std::vector<uint8_t> bytes = sqt_write(s);
    ASSERT_EQ(static_cast<long>(bytes.size()), size);
    size_t consumed = 0;
    song back = sqt_read(bytes, &consumed);
    ASSERT_EQ(consumed, bytes.size()) << size;
    expect_same_rows(back, s);
  }
}

TEST(SqtWrite, UnreachableSizeFailsNamingTheRange) {
  song s = read(TWO_PATTERNS);
  size_range range = sqt_size_range(s);
  std::string expected = "cannot be met: this song takes " + std::to_string(range.smallest) + " to " +
                         std::to_string(range.largest) + " bytes";
  for (long size : {range.smallest - 1, range.largest + 1}) {
    s.target_size = size;
    try {
      sqt_write(s);
      ADD_FAILURE() << "size " << size << " was accepted";
    } catch (const std::runtime_error& e) {
      EXPECT_NE(std::string(e.what()).find(expected), std::string::npos) << e.what();
    }
  }
}

TEST(SqtRead, RunOfZeroMeans256RowsAndEndsWithThePattern) {
  // Pattern 0: one run of 256 rows covers all four tracks. Pattern 1: a note, then a run of
  // 256 that would pass the pattern's end: it stops there and the next pattern starts fresh,
  // but that one is cut short by the end of the data and dropped.
  std::vector<uint8_t> bytes = {'S', 'Q', 0, 1, 0, 0x80, 0x00, 0x01, 0x30, 0x80, 0x00, 0x01, 0x31};
  size_t consumed = 0;
  song s = sqt_read(bytes, &consumed);
  ASSERT_EQ(s.patterns.size(), 2u);
  EXPECT_EQ(consumed, bytes.size() - 2);
  EXPECT_EQ(s.patterns[1].rows[0][0].field[F_NOTE], 0x30);
  EXPECT_TRUE(s.patterns[1].rows[0][1].empty());
  EXPECT_TRUE(s.patterns[1].rows[3][63].empty());
}

TEST(SqtRead, BadInputGivesFewerPartsNeverAReadPastTheEnd) {
  size_t consumed = 99;
  EXPECT_TRUE(sqt_read({'S', 'X', 0, 1, 0}, &consumed).order.empty());
  EXPECT_EQ(consumed, 0u);
  EXPECT_TRUE(sqt_read({'S', 'Q', 0, 0}, &consumed).order.empty());
  EXPECT_TRUE(sqt_read({'S', 'Q', 0, 9, 1}, &consumed).order.empty());  // order list cut short
  // A complete pattern followed by one cut inside a row's data: the second is dropped.
  std::vector<uint8_t> bytes = {'S', 'Q', 0, 1, 0, 0x80, 0x00, 0x1F, 0x40, 0x01};
  song s = sqt_read(bytes, &consumed);
  EXPECT_EQ(s.patterns.size(), 1u);
  EXPECT_EQ(consumed, 7u);
  // A run byte as the very last byte.
  s = sqt_read({'S', 'Q', 0, 1, 0, 0x80}, &consumed);
  EXPECT_EQ(s.patterns.size(), 0u);
  EXPECT_EQ(consumed, 5u);
}

TEST(SqtWrite, RefusesSongsTheGameCannotHold) {
  song s = read("order 0\npattern 0\n");
  s.patterns.resize(256);
  EXPECT_THROW(sqt_write(s), std::runtime_error);
  s.patterns.resize(1);
  s.order.clear();
  EXPECT_THROW(sqt_write(s), std::runtime_error);
}
