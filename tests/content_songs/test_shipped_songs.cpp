// The game's songs: data/ holds exactly what assets/songs/ compiles to, and the game's own
// parser reads every song to its last byte with the order list and patterns it was written
// with.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "os_tools/os_mem.h"
#include "sound/snd_song.h"
#include "sound/snd_wave.h"
#include "song_text.h"
#include "sqt_codec.h"

using namespace songc;

namespace {

struct shipped_song {
  const char* name;
  size_t size;
  std::vector<uint8_t> order;
  int patterns;
};

const shipped_song SONGS[] = {
    {"song1", 812, {1, 0, 3, 2}, 4}, {"song2", 506, {0, 2, 1, 1}, 3}, {"song3", 204, {0}, 1},
    {"song4", 260, {0, 1}, 2},       {"start", 488, {1, 2, 0}, 3},    {"game_over", 112, {0}, 1},
    {"did_it", 105, {0}, 1},
};

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << path;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> data_file(const std::string& name) {
  std::string bytes = read_file(std::string(TUMBLER_SOURCE_DIR) + "/data/" + name + ".sqt");
  return std::vector<uint8_t>(bytes.begin(), bytes.end());
}

song source_of(const std::string& name) {
  std::string path = std::string(TUMBLER_SOURCE_DIR) + "/assets/songs/" + name + ".txt";
  return parse_song_text(read_file(path), path);
}

class GameParser : public ::testing::Test {
 protected:
  void SetUp() override { snd_amplitude = 32767; }  // the instrument builders scale by it
  void TearDown() override {
    snd_amplitude = 0;
    EXPECT_EQ(snd_live_waves, 0);
  }
  static snd_song parse(const std::vector<uint8_t>& bytes, size_t size) {
    snd_song s{};
    snd_parse_song(&s, bytes.data(), static_cast<uint32_t>(size));
    return s;
  }
  static void release(snd_song* s) {
    for (int32_t i = 0; i < s->instrument_count; ++i) snd_wave_free(&s->instruments[i]);
    if (s->instruments != nullptr) os_free(&s->instruments);
    for (int32_t p = 0; p < s->pattern_count; ++p) os_free(&s->patterns[p]);
    if (s->patterns != nullptr) os_free(&s->patterns);
    if (s->order != nullptr) os_free(&s->order);
  }
};

}  // namespace

TEST(ShippedSongs, DataFilesAreWhatTheSourcesCompileTo) {
  for (const shipped_song& expected : SONGS) {
    std::vector<uint8_t> compiled = sqt_write(source_of(expected.name));
    EXPECT_EQ(compiled.size(), expected.size) << expected.name;
    EXPECT_TRUE(compiled == data_file(expected.name))
        << "data/" << expected.name << ".sqt is stale: run tools/make_songs.sh";
  }
}

TEST_F(GameParser, ReadsEverySongToItsEndWithItsOrderAndPatterns) {
  for (const shipped_song& expected : SONGS) {
    SCOPED_TRACE(expected.name);
    std::vector<uint8_t> bytes = data_file(expected.name);
    ASSERT_EQ(bytes.size(), expected.size);
    snd_song s = parse(bytes, bytes.size());
    ASSERT_EQ(s.order_length, static_cast<int32_t>(expected.order.size()));
    EXPECT_EQ(std::vector<uint8_t>(s.order, s.order + s.order_length), expected.order);
    EXPECT_EQ(s.pattern_count, expected.patterns);
    release(&s);
    // Without its last byte the last pattern is unfinished and dropped: nothing trails it.
    s = parse(bytes, bytes.size() - 1);
    EXPECT_EQ(s.pattern_count, expected.patterns - 1);
    release(&s);
  }
}

TEST_F(GameParser, DecodesTheSameRowsTheSourcesWrite) {
  for (const shipped_song& expected : SONGS) {
    SCOPED_TRACE(expected.name);
    song source = source_of(expected.name);
    std::vector<uint8_t> bytes = sqt_write(source);
    snd_song s = parse(bytes, bytes.size());
    ASSERT_EQ(s.pattern_count, static_cast<int>(source.patterns.size()));
    for (int p = 0; p < s.pattern_count; ++p) {
      for (int t = 0; t < TRACKS; ++t) {
        for (int r = 0; r < ROWS; ++r) {
          const cell& c = source.patterns[static_cast<size_t>(p)].rows[t][r];
          ASSERT_EQ(s.patterns[p][snd_flags_at(t, r)], c.flags) << p << " " << t << " " << r;
          for (int k = 0; k < FIELDS; ++k) {
            uint8_t want = (c.flags & (1u << k)) ? c.field[k] : 0;
            ASSERT_EQ(s.patterns[p][snd_field_at(t, k, r)], want) << p << " " << t << " " << r << " " << k;
          }
        }
      }
    }
    release(&s);
  }
}

TEST_F(GameParser, FirstLevelSongHandsTracksToPatternZero) {
  snd_song s = parse(data_file("song1"), 812);
  ASSERT_EQ(s.pattern_count, 4);
  const uint8_t* intro = s.patterns[1];
  // Track 0 from row 0 and track 1 from row 32: a command of kind 5 with parameter 0 only.
  EXPECT_EQ(intro[snd_flags_at(0, 0)], 0x18);
  EXPECT_EQ(intro[snd_field_at(0, 3, 0)], SND_CMD_OVERRIDE);
  EXPECT_EQ(intro[snd_field_at(0, 4, 0)], 0);
  EXPECT_EQ(intro[snd_flags_at(1, 32)], 0x18);
  EXPECT_EQ(intro[snd_field_at(1, 3, 32)], SND_CMD_OVERRIDE);
  EXPECT_EQ(intro[snd_field_at(1, 4, 32)], 0);
  // Pattern 0 carries what the intro borrows: a melody on track 0 and a bass from row 32.
  EXPECT_EQ(s.patterns[0][snd_flags_at(0, 0)] & 1, 1);
  EXPECT_EQ(s.patterns[0][snd_flags_at(1, 32)] & 1, 1);
  release(&s);
}
