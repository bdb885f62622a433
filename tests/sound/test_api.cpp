// The game-facing calls without a device: loading, playing, stopping and freeing the music.
#include <gtest/gtest.h>

#include "os_tools/os_mem.h"
#include "song_bytes.h"
#include "support/log_capture.h"

namespace {

using ApiTest = SoundTest;

TEST_F(ApiTest, FreeingTheEmptyMusicOfAFreshStartSilencesBankZeroOnly) {
  voice(0).active = 1;
  snd_banks[1][0].active = 1;
  const int32_t blocks = os_alloc_count();
  log_capture log;
  snd_free_music();
  EXPECT_FALSE(voice(0).active);
  EXPECT_TRUE(snd_banks[1][0].active);
  EXPECT_EQ(os_alloc_count(), blocks);
  EXPECT_EQ(log.text, "");
}

TEST_F(ApiTest, LoadingAMissingSongGivesTheEmptyRecord) {
  const int32_t live = snd_live_waves;
  log_capture log;
  snd_song song = snd_load_song("no_such_song.sqt");
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_EQ(song.instruments, nullptr);
  EXPECT_EQ(song.instrument_count, 0);
  EXPECT_EQ(song.order, nullptr);
  EXPECT_EQ(snd_live_waves, live);
  snd_set_music(song);
  snd_play_music();
  int16_t out[SND_BLOCK];
  for (int i = 0; i < 4; ++i) EXPECT_EQ(block(out), 0);
  EXPECT_EQ(out[0], 0);
}

TEST_F(ApiTest, PlayMusicRestartsFromRowZeroAtTheCurrentTime) {
  load(did_it_bytes());
  snd_music.row = 40;
  snd_music.jump_row = 3;
  snd_music.speed = 5;
  snd_music.position = 0;
  voice(2).active = 1;
  snd_clock = 5 * 2204 + 1000;
  snd_play_music();
  EXPECT_EQ(snd_slots[0], &snd_music);
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_music.jump_row, -1);
  EXPECT_EQ(snd_music.speed, 2);
  EXPECT_EQ(snd_music.state, SND_STARTING);
  EXPECT_EQ(snd_music.last_tick, (5 * 2204 + 1000) / 1102);
  EXPECT_FALSE(voice(2).active);
  // playing again while it plays stops it first, then starts over
  block();
  block();
  block();
  EXPECT_EQ(snd_music.row, 1);
  snd_play_music();
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_music.state, SND_STARTING);
}

TEST_F(ApiTest, StopSongFindsItsSlotAndKeepsTheBankSelection) {
  load(did_it_bytes());
  snd_play_music();
  block();
  block();
  EXPECT_TRUE(voice(0).active);
  snd_bank_selected = 1;
  snd_stop_song(&snd_music);
  EXPECT_EQ(snd_slots[0], nullptr);
  EXPECT_EQ(snd_music.state, SND_STOPPED);
  EXPECT_FALSE(voice(0).active);
  EXPECT_FALSE(voice(1).active);
  EXPECT_EQ(voice(0).pattern_override, 0);  // pointed back at the song's own pattern
  EXPECT_EQ(snd_bank_selected, 1);
}

TEST_F(ApiTest, FreeMusicReleasesEverythingTheSongOwns) {
  const int32_t blocks = os_alloc_count();
  const int32_t live = snd_live_waves;
  load(make_song({0, 1, 1}, {test_pattern{}, test_pattern{}}));
  EXPECT_EQ(os_alloc_count(), blocks + 1 + 8 + 1 + 1 + 2);  // bank, tables, order, list, patterns
  snd_play_music();
  snd_free_music();
  EXPECT_EQ(snd_slots[0], nullptr);
  EXPECT_EQ(os_alloc_count(), blocks);
  EXPECT_EQ(snd_live_waves, live);
  EXPECT_EQ(snd_music.instruments, nullptr);
  EXPECT_EQ(snd_music.patterns, nullptr);
  EXPECT_EQ(snd_music.order, nullptr);
  EXPECT_EQ(snd_music.order_length, 0);
  EXPECT_EQ(snd_music.pattern_count, 0);
  snd_free_music();  // twice is harmless
  EXPECT_EQ(os_alloc_count(), blocks);
}

}  // namespace
