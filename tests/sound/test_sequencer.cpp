// The sequencer step: timing, rows and positions, overrides, jumps, speed, stop, and rows
// that name patterns, instruments or notes that do not exist.
#include <gtest/gtest.h>

#include "song_bytes.h"
#include "support/log_capture.h"

namespace {

using SequencerTest = SoundTest;

TEST_F(SequencerTest, TheFirstRowSoundsAtTheSecondBlockThenOneRowPerBlock) {
  load(make_song({0}, {test_pattern{}.note(0, 0, 0x47, 2).note(0, 1, 0x49, 2)}));
  snd_clock = 11020;  // started at some later time
  snd_play_music();
  EXPECT_EQ(snd_music.last_tick, 10);
  EXPECT_EQ(snd_music.state, SND_STARTING);
  EXPECT_EQ(block(), 0);
  EXPECT_FALSE(voice(0).active);
  EXPECT_EQ(block(), 1);
  EXPECT_EQ(snd_music.state, SND_PLAYING);
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_arp_period, 1102);
  EXPECT_TRUE(voice(0).active);
  EXPECT_EQ(voice(0).step[0], step_of(392.0f));
  EXPECT_EQ(block(), 1);
  EXPECT_EQ(snd_music.row, 1);
  EXPECT_EQ(voice(0).step[0], step_of(440.0f));
  for (int i = 2; i < 64; ++i) {
    EXPECT_EQ(block(), 1);
    EXPECT_EQ(snd_music.row, i);
  }
  EXPECT_EQ(block(), 1);
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_music.position, 0);
  EXPECT_EQ(voice(0).step[0], step_of(392.0f));
}

TEST_F(SequencerTest, SpeedCommandSetsRowLengthAndArpeggioRate) {
  load(make_song({0}, {test_pattern{}.command(0, 0, 15, 0x03).command(0, 6, 15, 0xA2)}));
  snd_play_music();
  block();
  EXPECT_EQ(block(), 1);
  EXPECT_EQ(snd_music.speed, 3);
  EXPECT_EQ(snd_arp_period, 11020);
  // at speed 3 rows alternate between one and two blocks: six units give two rows
  int rows = 0;
  for (int i = 0; i < 6; ++i) rows += block();
  EXPECT_EQ(rows, 4);
  EXPECT_EQ(snd_music.row, 4);
  while (snd_music.row < 6) block();
  EXPECT_EQ(snd_music.speed, 2);
  EXPECT_EQ(snd_arp_period, 1102);
}

TEST_F(SequencerTest, PatternOverrideReadsTheOtherPatternFromTheSameRow) {
  test_pattern p0, p1;
  p0.command(0, 0, 5, 1).note(1, 0, 0x40, 2);
  p1.note(0, 0, 0x49, 2).note(0, 2, 0x45, 2).note(1, 0, 0x30, 2);
  load(make_song({0, 0}, {p0, p1}));
  snd_play_music();
  block();
  block();
  EXPECT_EQ(voice(0).pattern_override, 1);
  EXPECT_EQ(voice(0).step[0], step_of(440.0f));  // pattern 1's row 0, same step
  EXPECT_EQ(voice(1).step[0], step_of(261.6f));  // track 1 still reads pattern 0
  block();
  block();
  EXPECT_EQ(voice(0).step[0], step_of(349.2f));  // pattern 1's row 2
  while (snd_music.row != 0 || snd_music.position != 1) block();
  EXPECT_EQ(voice(0).pattern_override, 1);  // row 0 of the next entry set it again
}

TEST_F(SequencerTest, OverrideEndsWithThePatternAndIgnoresMissingPatterns) {
  test_pattern p0, p1;
  p0.command(0, 0, 5, 7);  // no pattern 7: ignored
  p0.command(1, 0, 5, 1);
  load(make_song({0, 1}, {p0, p1}));
  snd_play_music();
  block();
  block();
  EXPECT_EQ(voice(0).pattern_override, -1);
  EXPECT_EQ(voice(1).pattern_override, 1);
  for (int i = 0; i < 64; ++i) block();
  EXPECT_EQ(snd_music.position, 1);
  EXPECT_EQ(voice(1).pattern_override, -1);
}

TEST_F(SequencerTest, NoteOffSilencesTheVoiceAndPointsItAtTheCurrentPattern) {
  test_pattern p0;
  p0.note(0, 0, 0x47, 2).command(0, 1, 0, 0);
  load(make_song({0}, {p0}));
  snd_play_music();
  block();
  block();
  EXPECT_TRUE(voice(0).active);
  block();
  EXPECT_FALSE(voice(0).active);
  EXPECT_EQ(voice(0).pattern_override, 0);
}

TEST_F(SequencerTest, JumpGoesToTheRowAndPastTheEndToTheNextEntry) {
  test_pattern p0, p1;
  p0.command(0, 0, 11, 10);
  p0.command(0, 11, 11, 70);
  load(make_song({0, 1, 0}, {p0, p1}));
  snd_play_music();
  block();
  block();
  block();
  EXPECT_EQ(snd_music.row, 10);
  block();
  EXPECT_EQ(snd_music.row, 11);
  block();
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_music.position, 1);
}

TEST_F(SequencerTest, PositionJumpContinuesAtTheEntryFromRowZero) {
  // entry 0 (pattern 0) jumps to entry 2; entry 2 (pattern 1) jumps with 255 past the last
  // entry, to entry 0; entry 1 (pattern 2) would jump to 9, not below the length: entry 0
  test_pattern p0, p1, p2;
  p0.command(2, 3, 13, 2);
  p1.command(3, 5, 13, 255);
  p2.command(0, 0, 13, 9);
  load(make_song({0, 2, 1}, {p0, p1, p2}));
  snd_play_music();
  block();
  for (int i = 0; i < 4; ++i) block();
  EXPECT_EQ(snd_music.position, 2);
  EXPECT_EQ(snd_music.jump_row, 0);
  block();
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_music.current_pattern, 1);
  for (int i = 0; i < 5; ++i) block();
  EXPECT_EQ(snd_music.position, 0);
  block();
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_EQ(snd_music.current_pattern, 0);

  snd_music.position = 1;
  snd_music.jump_row = 0;
  block();
  EXPECT_EQ(snd_music.current_pattern, 2);
  EXPECT_EQ(snd_music.position, 0);
}

TEST_F(SequencerTest, StopCommandEmptiesTheSlotAfterTheRowsOtherTracks) {
  test_pattern p0;
  p0.note(0, 0, 0x47, 2).command(0, 1, 8, 0).note(1, 1, 0x49, 2);
  load(make_song({0}, {p0}));
  snd_play_music();
  block();
  block();
  EXPECT_TRUE(voice(0).active);
  EXPECT_EQ(block(), 1);
  EXPECT_EQ(snd_slots[0], nullptr);
  EXPECT_EQ(snd_music.state, SND_STOPPED);
  EXPECT_FALSE(voice(0).active);
  EXPECT_TRUE(voice(1).active);  // track 1 of the same row still played
  EXPECT_EQ(snd_tick(0, &snd_music), 0);
}

TEST_F(SequencerTest, RowVolumeBecomesSixteenthsOf255) {
  load(make_song({0}, {test_pattern{}.note(0, 0, 0x47, 2).volume(0, 0, 10)}));
  snd_play_music();
  block();
  block();
  EXPECT_EQ(voice(0).target_volume, float(1.0 / 255.0 * 160));
}

TEST_F(SequencerTest, ASongWithoutOrderListPlaysNothing) {
  load({'X', 'Y', 0, 1, 0, 0x80, 0});
  snd_play_music();
  for (int i = 0; i < 4; ++i) EXPECT_EQ(block(), 0);
  for (int v = 0; v < 4; ++v) EXPECT_FALSE(voice(v).active);
}

TEST_F(SequencerTest, MissingPatternsInstrumentsAndNotesAreReportedAndSkipped) {
  test_pattern p0;
  p0.note(0, 0, 0x47, 9);   // instrument 9 of 8
  p0.note(1, 0, 0xA0, 2);   // octave 10
  p0.note(2, 0, 0x4C, 2);   // semitone 12
  p0.note(3, 0, 0x47, 2);   // fine
  p0.rows[0][1].flags = 2;  // instrument change to 200
  p0.rows[0][1].instrument = 200;
  load(make_song({0, 5, 0}, {p0}));  // entry 1 names pattern 5 of 1
  log_capture log;
  snd_play_music();
  block();
  block();
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_FALSE(voice(0).active);
  EXPECT_FALSE(voice(1).active);
  EXPECT_FALSE(voice(2).active);
  EXPECT_TRUE(voice(3).active);
  block();
  EXPECT_EQ(voice(0).wave, nullptr);
  snd_music.row = 63;
  EXPECT_EQ(block(), 1);  // entry 1: the row passes in silence
  EXPECT_EQ(snd_music.position, 1);
  for (int i = 0; i < 64; ++i) block();
  EXPECT_EQ(snd_music.position, 2);
  EXPECT_TRUE(voice(3).active);
}

TEST_F(SequencerTest, TickAllStepsEachFilledSlotOnItsOwnBank) {
  load(make_song({0}, {test_pattern{}.note(0, 0, 0x47, 2)}));
  snd_song second = parse_bytes(make_song({0}, {test_pattern{}.note(0, 0, 0x49, 2)}));
  snd_play_music();
  second.state = SND_STARTING;
  second.speed = 2;
  second.jump_row = -1;
  snd_slots[1] = &second;
  snd_clock = 2 * 1102;
  snd_tick_all();
  EXPECT_EQ(snd_banks[0][0].step[0], step_of(392.0f));
  EXPECT_EQ(snd_banks[1][0].step[0], step_of(440.0f));
  EXPECT_EQ(snd_bank_selected, 0);
  snd_stop_song(&second);
  EXPECT_EQ(snd_slots[1], nullptr);
  EXPECT_FALSE(snd_banks[1][0].active);
  EXPECT_TRUE(snd_banks[0][0].active);
  free_song(second);
}

}  // namespace
