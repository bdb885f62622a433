// Voice operations: note on and its carried detune, effects of every kind, instrument and
// volume changes, bank reset.
#include <gtest/gtest.h>

#include "song_bytes.h"
#include "support/log_capture.h"

namespace {

struct VoiceTest : SoundTest {
  snd_song bank{};
  void SetUp() override {
    SoundTest::SetUp();
    snd_new_song(&bank);
  }
  void TearDown() override {
    free_song(bank);
    SoundTest::TearDown();
  }
  const snd_wave* wave(int i) { return &bank.instruments[i]; }
};

TEST_F(VoiceTest, NoteOnSetsStepsAndPutsOscillatorOneHalfAPeriodAhead) {
  voice(0).position[0] = 10123.0f;  // past the end of a tone table: brought into range
  voice(0).volume = 0.25f;
  snd_note_on(wave(2), 0, 440.0f);
  const float s = float(1000.0 / (22050.0 / 440.0));
  EXPECT_EQ(voice(0).step[0], s);
  EXPECT_EQ(voice(0).step[1], s);
  EXPECT_EQ(voice(0).goal_step[1], s);
  EXPECT_EQ(voice(0).base_step[0], s);
  EXPECT_EQ(voice(0).position[0], 123.0f);
  EXPECT_EQ(voice(0).position[1], 623.0f);
  EXPECT_EQ(voice(0).remaining, SND_UNTIMED);
  EXPECT_EQ(voice(0).target_volume, 1.0f);
  EXPECT_EQ(voice(0).volume, 0.25f);  // glides from where it was
  EXPECT_TRUE(voice(0).active);
  EXPECT_EQ(voice(0).wave, wave(2));
}

TEST_F(VoiceTest, DetuneIsCarriedToTheNextNoteWithAlternatingSign) {
  snd_note_on(wave(0), 0, 261.6f);
  snd_effect(0, 6, 50);
  const float g0 = voice(0).goal_step[0];
  EXPECT_EQ(voice(0).goal_step[1], float(double(g0) + 50 * double(0.01f)));
  EXPECT_EQ(voice(0).base_step[1], voice(0).goal_step[1]);
  const float d = voice(0).goal_step[0] - voice(0).goal_step[1];
  snd_note_on(wave(0), 0, 440.0f);
  const double base = 1000.0 / (22050.0 / 440.0);
  EXPECT_EQ(voice(0).step[0], float(base));
  EXPECT_EQ(voice(0).step[1], float(double(d) + base));  // -50 hundredths
  EXPECT_LT(voice(0).step[1], voice(0).step[0]);
  snd_note_on(wave(0), 0, 440.0f);
  EXPECT_GT(voice(0).step[1], voice(0).step[0]);  // +50 again
  EXPECT_NEAR(voice(0).step[1] - voice(0).step[0], 0.5f, 1e-5f);
}

TEST_F(VoiceTest, PlayNoteReadsTheTableAndRefusesNotesOutsideIt) {
  snd_play_note(4, 1, 9, wave(2));
  EXPECT_EQ(voice(1).octave, 4);
  EXPECT_EQ(voice(1).semitone, 9);
  EXPECT_EQ(voice(1).step[0], step_of(440.0f));
  log_capture log;
  snd_play_note(10, 2, 0, wave(2));
  snd_play_note(4, 2, 12, wave(2));
  snd_play_note(4, 12, 0, wave(2));  // no voice 12
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_FALSE(voice(2).active);
}

TEST_F(VoiceTest, ArpeggioStepsAreTheNoteAndItsTwoOffsetsAbove) {
  snd_play_note(4, 0, 0, wave(2));
  snd_effect(0, 3, 0x47);
  EXPECT_TRUE(voice(0).arp_on);
  EXPECT_EQ(voice(0).arp_parameter, 0x47);
  EXPECT_EQ(voice(0).arp_steps[0][0], step_of(261.6f));
  EXPECT_EQ(voice(0).arp_steps[0][1], step_of(329.6f));
  EXPECT_EQ(voice(0).arp_steps[0][2], step_of(392.0f));
  EXPECT_EQ(voice(0).step[0], step_of(261.6f));  // the mixer switches, not the command

  snd_play_note(4, 1, 9, wave(2));
  snd_effect(1, 3, 0x27);
  EXPECT_EQ(voice(1).arp_steps[0][1], step_of(493.9f));
  EXPECT_EQ(voice(1).arp_steps[0][2], step_of(659.3f));  // octave 5, semitone 4

  // a later note re-applies the arpeggio around itself
  snd_play_note(5, 1, 9, wave(2));
  EXPECT_EQ(voice(1).arp_steps[0][0], step_of(880.0f));
  EXPECT_EQ(voice(1).arp_steps[0][2], step_of(1318.5f));
}

TEST_F(VoiceTest, ArpeggioAboveTheTopNotePlaysTheTopNote) {
  snd_play_note(9, 0, 11, wave(2));
  snd_effect(0, 3, 0xF1);
  EXPECT_EQ(voice(0).arp_steps[0][1], step_of(15804.3f));  // would be octave 10
  EXPECT_EQ(voice(0).arp_steps[0][2], step_of(8372.0f));   // octave 10 kept at 9: semitone 0
  snd_play_note(8, 0, 11, wave(2));
  snd_effect(0, 3, 0x1F);
  EXPECT_EQ(voice(0).arp_steps[0][1], step_of(8372.0f));
  EXPECT_EQ(voice(0).arp_steps[0][2], step_of(15804.3f));  // semitone 14 of octave 9
}

TEST_F(VoiceTest, DetunedArpeggioKeepsTheDetuneOnOscillatorOne) {
  snd_play_note(4, 0, 0, wave(2));
  snd_effect(0, 6, 100);
  snd_effect(0, 3, 0x47);
  const float dd = voice(0).base_step[1] - voice(0).base_step[0];
  EXPECT_EQ(voice(0).arp_steps[1][0], voice(0).base_step[1]);
  EXPECT_EQ(voice(0).arp_steps[1][2], float(double(dd) + 1000.0 / (22050.0 / double(392.0f))));
}

TEST_F(VoiceTest, SlidesMoveTheGoalByHertzAndNeverBelowZero) {
  snd_note_on(wave(2), 0, 100.0f);
  const float g = voice(0).goal_step[0];
  snd_effect(0, 1, 0);
  EXPECT_EQ(voice(0).goal_step[0], g);
  snd_effect(0, 1, 100);
  EXPECT_EQ(voice(0).goal_step[0], float(double(g) + 1000.0 / (22050.0 / 100.0)));
  EXPECT_EQ(voice(0).step[0], g);  // the mixer glides there
  snd_effect(0, 2, 0);
  snd_effect(0, 2, 255);
  EXPECT_EQ(voice(0).goal_step[0], 0.0f);
  EXPECT_EQ(voice(0).goal_step[1], 0.0f);
}

TEST_F(VoiceTest, TimedNoteVibratoAndTheResetByCommandZero) {
  snd_note_on(wave(2), 0, 100.0f);
  snd_effect(0, 4, 3);
  EXPECT_EQ(voice(0).remaining, 3 * 2204);
  EXPECT_TRUE(voice(0).fade);
  snd_effect(0, 7, 0x13);
  EXPECT_TRUE(voice(0).vibrato_on);
  EXPECT_EQ(voice(0).vibrato_depth, float(3 * 0.1));
  EXPECT_EQ(voice(0).vibrato_rate, float(0.01 / 2));
  EXPECT_EQ(voice(0).effect, 7);
  voice(0).counter = 40;
  snd_effect(0, 7, 0x25);  // same command byte: the counter runs on
  EXPECT_EQ(voice(0).counter, 40);
  EXPECT_EQ(voice(0).parameter, 0x25);
  snd_effect(0, 0x17, 0x25);  // another command byte restarts it
  EXPECT_EQ(voice(0).counter, 0);
  snd_effect(0, 3, 0x47);
  voice(0).target_volume = 0.5f;
  snd_effect(0, 0, 0);
  EXPECT_FALSE(voice(0).vibrato_on);
  EXPECT_FALSE(voice(0).arp_on);
  EXPECT_FALSE(voice(0).fade);
  EXPECT_EQ(voice(0).arp_parameter, 0);
  EXPECT_EQ(voice(0).vibrato_depth, 0.0f);
  EXPECT_EQ(voice(0).target_volume, 1.0f);
  EXPECT_EQ(voice(0).effect, 0);
  EXPECT_TRUE(voice(0).active);
}

TEST_F(VoiceTest, KindsTheVoiceDoesNotActOnOnlyRecordTheCommand) {
  snd_note_on(wave(2), 0, 100.0f);
  snd_voice before = voice(0);
  for (uint8_t c : {0x05, 0x08, 0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x20}) {
    snd_effect(0, c, 0x33);
    EXPECT_EQ(voice(0).effect, c);
    EXPECT_EQ(voice(0).parameter, 0x33);
    EXPECT_EQ(voice(0).goal_step[0], before.goal_step[0]);
    EXPECT_EQ(voice(0).goal_step[1], before.goal_step[1]);
    EXPECT_EQ(voice(0).remaining, before.remaining);
    EXPECT_FALSE(voice(0).vibrato_on || voice(0).arp_on || voice(0).fade);
  }
}

TEST_F(VoiceTest, VolumeInstrumentNoteOffAndBankReset) {
  snd_set_volume(0, 255);
  EXPECT_EQ(voice(0).target_volume, 1.0f);
  snd_set_volume(0, 50);
  EXPECT_EQ(voice(0).target_volume, 0.19607843f);
  snd_note_on(wave(6), 0, 100.0f);
  voice(0).position[0] = 56789.0f;
  voice(0).position[1] = 99999.5f;
  snd_set_instrument(wave(2), 0);  // from the long noise table to a short one
  EXPECT_EQ(voice(0).position[0], 6789.0f);
  EXPECT_EQ(voice(0).position[1], 9999.5f);
  EXPECT_EQ(voice(0).wave, wave(2));
  EXPECT_TRUE(voice(0).active);
  snd_note_off(0);
  EXPECT_FALSE(voice(0).active);
  EXPECT_EQ(voice(0).pattern_override, -1);  // no song in the slot: unchanged
  voice(0).active = 1;
  snd_reset_bank(0);
  EXPECT_FALSE(voice(0).active);
  EXPECT_TRUE(voice(0).enabled);
  EXPECT_FALSE(voice(5).enabled);
  EXPECT_EQ(voice(0).volume, 1.0f);
  EXPECT_EQ(voice(0).pattern_override, -1);
  EXPECT_EQ(voice(0).wave, nullptr);
}

}  // namespace
