// Parsing .sqt images: the shipped layout, runs, and data that is short or malformed.
#include <gtest/gtest.h>

#include "os_tools/os_mem.h"
#include "song_bytes.h"
#include "support/log_capture.h"

namespace {

using ParseTest = SoundTest;

uint8_t field(const snd_song& s, int p, int t, int k, int r) { return s.patterns[p][snd_field_at(t, k, r)]; }
uint8_t flags(const snd_song& s, int p, int t, int r) { return s.patterns[p][snd_flags_at(t, r)]; }

TEST_F(ParseTest, DidItDecodesToItsTableExactly) {
  std::vector<uint8_t> bytes = did_it_bytes();
  ASSERT_EQ(bytes.size(), 105u);
  snd_song s = parse_bytes(bytes);
  ASSERT_EQ(s.order_length, 1);
  EXPECT_EQ(s.order[0], 0);
  ASSERT_EQ(s.pattern_count, 1);
  EXPECT_EQ(s.instrument_count, 8);

  uint8_t expected[SND_PATTERN_BYTES] = {};
  auto set = [&](int t, int r, uint8_t f, int note, int ins, int vol, int cmd, int par) {
    expected[snd_flags_at(t, r)] = f;
    const int values[5] = {note, ins, vol, cmd, par};
    for (int k = 0; k < 5; ++k)
      if (f & (1 << k)) expected[snd_field_at(t, k, r)] = uint8_t(values[k]);
  };
  const int notes0[3] = {0x47, 0x45, 0x49};
  for (int n = 0; n < 3; ++n) {
    set(0, 4 * n, 3, notes0[n], 3, 0, 0, 0);
    const int vols[3] = {10, 8, 5};
    for (int i = 0; i < 3; ++i) set(0, 4 * n + 1 + i, 4, 0, 0, vols[i], 0, 0);
  }
  const int tail[5] = {4, 3, 2, 1, 0};
  for (int i = 0; i < 5; ++i) set(0, 12 + i, 4, 0, 0, tail[i], 0, 0);
  set(1, 0, 0x1f, 0x57, 2, 10, 3, 0x47);
  set(1, 4, 7, 0x55, 2, 10, 0, 0);
  set(1, 8, 7, 0x59, 2, 10, 0, 0);
  const int ins_a[3] = {3, 4, 5}, vol_a[3] = {9, 8, 7};
  for (int i = 0; i < 3; ++i) {
    set(1, 1 + i, 6, 0, ins_a[i], vol_a[i], 0, 0);
    set(1, 5 + i, 6, 0, ins_a[i], vol_a[i], 0, 0);
  }
  const int ins_b[8] = {3, 4, 5, 4, 3, 2, 3, 4}, vol_b[8] = {9, 8, 7, 10, 9, 8, 7, 6};
  for (int i = 0; i < 8; ++i) set(1, 9 + i, 6, 0, ins_b[i], vol_b[i], 0, 0);
  set(1, 17, 4, 0, 0, 0, 0, 0);
  for (int i = 0; i < SND_PATTERN_BYTES; ++i) ASSERT_EQ(s.patterns[0][i], expected[i]) << "offset " << i;
  free_song(s);
}

TEST_F(ParseTest, RunsCrossTracksButEndWithThePattern) {
  // pattern 0: a note at track 0 row 0, then a run of 135 rows (track 0 rows 1..63, track 1,
  // track 2 rows 0..7), a note at track 2 row 8, then a run of 0 = 256 that is cut at the
  // pattern's end; pattern 1 starts afresh with a note.
  std::vector<uint8_t> bytes = {'S', 'Q', 0, 2, 0, 1,
                                0x01, 0x30, 0x80, 135, 0x01, 0x31, 0x80, 0x00,
                                0x01, 0x32, 0x80, 0x00};
  snd_song s = parse_bytes(bytes);
  ASSERT_EQ(s.pattern_count, 2);
  EXPECT_EQ(flags(s, 0, 0, 0), 1);
  EXPECT_EQ(field(s, 0, 0, 0, 0), 0x30);
  EXPECT_EQ(flags(s, 0, 2, 7), 0);
  EXPECT_EQ(flags(s, 0, 2, 8), 1);
  EXPECT_EQ(field(s, 0, 2, 0, 8), 0x31);
  EXPECT_EQ(flags(s, 1, 0, 0), 1);
  EXPECT_EQ(field(s, 1, 0, 0, 0), 0x32);
  int set_rows = 0;
  for (int p = 0; p < 2; ++p)
    for (int t = 0; t < 4; ++t)
      for (int r = 0; r < 64; ++r) set_rows += flags(s, p, t, r) != 0;
  EXPECT_EQ(set_rows, 3);
  free_song(s);
}

TEST_F(ParseTest, FlagBitsAboveFourAreKeptButReadNoData) {
  std::vector<uint8_t> bytes = {'S', 'Q', 0, 1, 0, 0xE1, 0x47, 0x80, 0x00};
  snd_song s = parse_bytes(bytes);
  ASSERT_EQ(s.pattern_count, 1);
  EXPECT_EQ(flags(s, 0, 0, 0), 0xE1);
  EXPECT_EQ(field(s, 0, 0, 0, 0), 0x47);
  EXPECT_EQ(flags(s, 0, 0, 1), 0);
  free_song(s);
}

TEST_F(ParseTest, WrongMagicOrEmptyOrderLeavesInstrumentsOnly) {
  const std::vector<std::vector<uint8_t>> cases = {
      {'S', 'R', 0, 1, 0, 0x80, 0}, {'S'}, {'S', 'Q', 0}, {'S', 'Q', 0, 0, 0x80, 0}};
  for (const auto& bytes : cases) {
    const int32_t live = snd_live_waves;
    snd_song s = parse_bytes(bytes);
    EXPECT_EQ(s.instrument_count, 8);
    EXPECT_EQ(snd_live_waves, live + 8);
    EXPECT_EQ(s.order_length, 0);
    EXPECT_EQ(s.order, nullptr);
    EXPECT_EQ(s.pattern_count, 0);
    free_song(s);
    EXPECT_EQ(snd_live_waves, live);
  }
}

TEST_F(ParseTest, AnOrderListLongerThanTheDataIsCutToTheBytesPresent) {
  std::vector<uint8_t> bytes = {'S', 'Q', 0x01, 0x00, 3, 1, 2};
  snd_song s = parse_bytes(bytes);
  ASSERT_EQ(s.order_length, 3);
  EXPECT_EQ(s.order[0], 3);
  EXPECT_EQ(s.order[2], 2);
  EXPECT_EQ(s.pattern_count, 0);
  free_song(s);
}

TEST_F(ParseTest, AnUnfinishedLastPatternIsDropped) {
  std::vector<uint8_t> full = make_song({0, 1}, {test_pattern{}.note(0, 0, 0x47, 2)});
  for (const std::vector<uint8_t>& tail : std::vector<std::vector<uint8_t>>{
           {0x1f, 0x47, 0x02},  // data bytes missing
           {0x80},              // run length missing
           {0x00, 0x80, 0x10},  // rows missing
       }) {
    std::vector<uint8_t> bytes = full;
    bytes.insert(bytes.end(), tail.begin(), tail.end());
    snd_song s = parse_bytes(bytes);
    EXPECT_EQ(s.pattern_count, 1);
    EXPECT_EQ(field(s, 0, 0, 0, 0), 0x47);
    free_song(s);
  }
}

TEST_F(ParseTest, PatternsPastThe255thAreIgnored) {
  std::vector<uint8_t> bytes = {'S', 'Q', 0, 1, 0};
  for (int p = 0; p < 300; ++p) {
    bytes.push_back(0x80);
    bytes.push_back(0x00);
  }
  const int32_t blocks = os_alloc_count();
  snd_song s = parse_bytes(bytes);
  EXPECT_EQ(s.pattern_count, 255);
  free_song(s);
  EXPECT_EQ(os_alloc_count(), blocks);
}

}  // namespace
