// The shipped songs: they load from the file store and parse exactly to their ends, and
// "did_it.sqt" is heard: its first note's pitch, one row per block, and the loop after row 63.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "file/file.h"
#include "song_bytes.h"

namespace {

using SongsTest = SoundTest;

struct shipped {
  const char* name;
  uint32_t size;
  std::vector<uint8_t> order;
  int patterns;
};

TEST_F(SongsTest, ShippedSongsLoadWithTheirOrderListsAndPatterns) {
  const shipped songs[] = {
      {"did_it.sqt", 105, {0}, 1},          {"song1.sqt", 812, {1, 0, 3, 2}, 4},
      {"song2.sqt", 506, {0, 2, 1, 1}, 3},  {"song3.sqt", 204, {0}, 1},
      {"song4.sqt", 260, {0, 1}, 2},        {"start.sqt", 488, {1, 2, 0}, 3},
      {"game_over.sqt", 112, {0}, 1},
  };
  for (const shipped& s : songs) {
    file_handle file = file_open(s.name);
    ASSERT_NE(file.data, nullptr) << s.name;
    EXPECT_EQ(file.size, s.size) << s.name;
    snd_song song = snd_load_song(s.name);
    ASSERT_EQ(song.order_length, int32_t(s.order.size())) << s.name;
    for (size_t i = 0; i < s.order.size(); ++i) EXPECT_EQ(song.order[i], s.order[i]) << s.name;
    EXPECT_EQ(song.pattern_count, s.patterns) << s.name;
    free_song(song);
    // the last pattern ends with the last byte: one byte less drops it
    snd_song cut{};
    snd_parse_song(&cut, file.data, file.size - 1);
    EXPECT_EQ(cut.pattern_count, s.patterns - 1) << s.name;
    free_song(cut);
  }
}

TEST_F(SongsTest, DidItFileHoldsExactlyTheTabledBytes) {
  file_handle file = file_open("did_it.sqt");
  ASSERT_NE(file.data, nullptr);
  const std::vector<uint8_t> bytes(file.data, file.data + file.size);
  EXPECT_EQ(bytes, did_it_bytes());
}

TEST_F(SongsTest, Song1TrackZeroPlaysPatternZeroUnderPatternOne) {
  snd_set_music(snd_load_song("song1.sqt"));
  const uint8_t* p0 = snd_music.patterns[0];
  snd_play_music();
  block();
  block();
  EXPECT_EQ(snd_music.current_pattern, 1);
  EXPECT_EQ(voice(0).pattern_override, 0);
  const uint8_t note = p0[snd_field_at(0, 0, 0)];
  ASSERT_TRUE(p0[snd_flags_at(0, 0)] & 1);
  EXPECT_EQ(voice(0).base_step[0], step_of(snd_note_freq[(note >> 4) * 12 + (note & 15)]));
  EXPECT_TRUE(voice(0).vibrato_on);  // pattern 0's command on that row, too
  while (snd_music.row != 32) block();
  EXPECT_EQ(voice(1).pattern_override, 0);
  while (snd_music.row != 0) block();
  EXPECT_EQ(snd_music.position, 1);
  EXPECT_EQ(voice(0).pattern_override, -1);
  EXPECT_EQ(voice(1).pattern_override, -1);
}

// Rising zero crossings per second over samples [from, to).
double crossing_rate(const std::vector<int16_t>& s, size_t from, size_t to) {
  size_t first = 0, last = 0, count = 0;
  for (size_t i = from + 1; i < to; ++i)
    if (s[i - 1] < 0 && s[i] >= 0) {
      if (count == 0) first = i;
      last = i;
      count++;
    }
  return count < 2 ? 0.0 : double(count - 1) * 22050.0 / double(last - first);
}

// Power of one frequency in samples [from, to) (Goertzel).
double power_at(const std::vector<int16_t>& s, size_t from, size_t to, double hz) {
  const double w = 2.0 * M_PI * hz / 22050.0, c = 2.0 * std::cos(w);
  double a = 0.0, b = 0.0;
  for (size_t i = from; i < to; ++i) {
    const double x = s[i] + c * a - b;
    b = a;
    a = x;
  }
  return a * a + b * b - c * a * b;
}

TEST_F(SongsTest, DidItIsHeardWithA392HzFirstNoteOneRowPerBlockAndLoops) {
  snd_set_default_volume();
  snd_set_music(snd_load_song("did_it.sqt"));
  snd_play_music();
  std::vector<int16_t> heard;
  std::vector<int32_t> rows;
  int16_t out[SND_BLOCK];
  for (int b = 0; b < 2 + 70; ++b) {
    block(out);
    heard.insert(heard.end(), out, out + SND_BLOCK);
    rows.push_back(snd_music.state == SND_PLAYING ? snd_music.row : -1);
    if (b == 1 + 64) {
      EXPECT_EQ(voice(0).step[0], step_of(392.0f));  // the loop's first row again
    }
    if (b == 1 + 4) {
      EXPECT_EQ(voice(0).step[0], step_of(349.2f));
    }
  }
  EXPECT_EQ(rows[0], -1);
  for (int b = 1; b < 72; ++b) EXPECT_EQ(rows[size_t(b)], (b - 1) % 64) << b;
  for (size_t i = 0; i < SND_BLOCK; ++i) ASSERT_EQ(heard[i], 0);

  // rows 0..3, the first note: its fundamental is the strongest tone up to 700 Hz
  const size_t from = SND_BLOCK, to = 5 * SND_BLOCK;
  double best = 0.0, best_hz = 0.0;
  for (double hz = 100.0; hz <= 700.0; hz += 1.0) {
    const double p = power_at(heard, from, to, hz);
    if (p > best) best = p, best_hz = hz;
  }
  EXPECT_NEAR(best_hz, 392.0, 2.0);
  EXPECT_GT(power_at(heard, from, to, 392.0), 20.0 * power_at(heard, from, to, 349.2));

  // track 0 alone crosses zero upwards 392 times a second
  snd_free_music();
  SetUp();
  snd_set_music(snd_load_song("did_it.sqt"));
  snd_play_music();
  voice(1).enabled = 0;
  heard.clear();
  for (int b = 0; b < 6; ++b) {
    block(out);
    heard.insert(heard.end(), out, out + SND_BLOCK);
  }
  EXPECT_NEAR(crossing_rate(heard, from, to), 392.0, 0.5);
}

}  // namespace
