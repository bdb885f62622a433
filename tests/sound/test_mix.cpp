// The mixer: exact samples, glides, timed fades, vibrato, arpeggio switching, inverted and
// detuned voices, silent blocks and the asymmetric clamp.
#include <gtest/gtest.h>

#include <cstdlib>

#include "os_tools/os_util.h"
#include "song_bytes.h"

namespace {

struct MixTest : SoundTest {
  snd_song bank{};
  int16_t out[SND_BLOCK];
  void SetUp() override {
    SoundTest::SetUp();
    snd_new_song(&bank);
    for (int16_t& s : out) s = 0x5555;
  }
  void TearDown() override {
    free_song(bank);
    SoundTest::TearDown();
  }
  const snd_wave* wave(int i) { return &bank.instruments[i]; }
  // A note that reads one table sample per output sample, from positions 0 and 500.
  void unit_note(int v, int instrument = 2) {
    snd_note_on(wave(instrument), v, 22.05f);
    snd_voice& x = voice(v);
    x.step[0] = x.step[1] = x.goal_step[0] = x.goal_step[1] = x.base_step[0] = x.base_step[1] = 1.0f;
    x.position[0] = 0.0f;
    x.position[1] = 500.0f;
  }
  void rewind(int v) {
    voice(v).position[0] = 0.0f;
    voice(v).position[1] = 500.0f;
  }
};

TEST_F(MixTest, NoLiveVoiceGivesAWholeBlockOfZeros) {
  voice(5).active = 1;  // disabled voices are never heard
  voice(5).wave = wave(2);
  snd_mix(out);
  for (int16_t s : out) ASSERT_EQ(s, 0);
}

TEST_F(MixTest, ASquareAtFullVolumeAndAtTheGameVolume) {
  unit_note(0);
  snd_mix(out);
  EXPECT_EQ(out[0], 4095);
  EXPECT_EQ(out[499], 4095);
  EXPECT_EQ(out[500], -4095);
  EXPECT_EQ(out[1000], 4095);
  snd_set_default_volume();
  EXPECT_EQ(snd_master_volume, 0.19607843f);
  snd_mix(out);  // positions go on from 2204
  EXPECT_EQ(out[0], 802);
  EXPECT_EQ(out[300], -802);
}

TEST_F(MixTest, VolumeGlidesAHundredthOfTheWayPerSample) {
  unit_note(0);
  voice(0).target_volume = 0.5f;
  snd_mix(out);
  EXPECT_EQ(out[0], 4074);  // 4095 * 0.995
  EXPECT_EQ(out[1], 4054);  // 4095 * 0.99005
  EXPECT_NEAR(voice(0).volume, 0.5f, 1e-5f);
}

TEST_F(MixTest, DetunedVoiceAddsOscillatorOneWithOppositeSign) {
  unit_note(0);
  snd_mix(out);
  EXPECT_EQ(out[1], 4095);  // equal steps: oscillator 1 is silent
  rewind(0);
  snd_effect(0, 6, 0);  // a detune of 0 keeps the steps equal
  snd_mix(out);
  EXPECT_EQ(out[1], 4095);
  rewind(0);
  snd_effect(0, 6, 1);  // oscillator 1 to glide to 0.01 faster
  EXPECT_EQ(voice(0).goal_step[1], float(1.0 + double(0.01f)));
  snd_mix(out);
  EXPECT_EQ(out[0], 4095);  // the steps are still equal for the first sample
  EXPECT_EQ(out[1], 8190);  // then +4095 - (-4095)
}

TEST_F(MixTest, InvertedVoicesAndTheAsymmetricClamp) {
  unit_note(0);
  snd_effect(0, 0x26, 1);  // detune, mixed inverted
  snd_mix(out);
  EXPECT_EQ(out[0], -4095);
  EXPECT_EQ(out[1], -8190);
  voice(0).volume = voice(0).target_volume = 10.0f;  // would be -81900
  rewind(0);
  snd_mix(out);
  EXPECT_EQ(out[1], -16383);
  snd_effect(0, 0x06, 1);
  rewind(0);
  snd_mix(out);
  EXPECT_EQ(out[1], 32767);
  voice(0).volume = voice(0).target_volume = 40000.0f / 8190.0f;
  rewind(0);
  snd_mix(out);
  EXPECT_EQ(out[1], 32767);
  voice(0).volume = voice(0).target_volume = 20000.0f / 8190.0f;
  snd_effect(0, 0x26, 1);
  rewind(0);
  snd_mix(out);
  EXPECT_EQ(out[1], -16383);
}

TEST_F(MixTest, FourFullVoicesAtTheGameVolumeStayWithin6423) {
  snd_set_default_volume();
  for (int v = 0; v < 4; ++v) {
    unit_note(v);
    snd_effect(v, 6, 1);
  }
  int peak = 0;
  for (int b = 0; b < 3; ++b) {
    snd_mix(out);
    for (int16_t s : out) peak = std::max(peak, std::abs(int(s)));
  }
  EXPECT_EQ(peak, 6423);
}

TEST_F(MixTest, ATimedNoteEndingInsideTheBlockSilencesAllOfIt) {
  unit_note(0);
  voice(0).remaining = 1000;
  snd_mix(out);
  for (int16_t s : out) ASSERT_EQ(s, 0);
  EXPECT_FALSE(voice(0).active);
}

TEST_F(MixTest, ATimedNoteFadesInAStraightLine) {
  unit_note(0);
  snd_effect(0, 4, 2);
  snd_mix(out);
  EXPECT_EQ(voice(0).remaining, 2204);
  EXPECT_NEAR(voice(0).target_volume, 0.5f, 0.001f);
  EXPECT_EQ(out[0], 4095);
  EXPECT_TRUE(voice(0).active);
  snd_mix(out);
  EXPECT_FALSE(voice(0).active);
  EXPECT_EQ(voice(0).remaining, 0);
  EXPECT_LT(std::abs(int(out[2203])), 100);  // the gain lags the target a little
}

TEST_F(MixTest, StepsGlideAThousandthOfTheWayPerSample) {
  snd_note_on(wave(2), 0, 100.0f);
  const float start = voice(0).step[0];
  snd_effect(0, 1, 100);
  const float distance = voice(0).goal_step[0] - start;
  snd_mix(out);
  // 0.999^2204 of the distance is left after one block
  EXPECT_NEAR((voice(0).goal_step[0] - voice(0).step[0]) / distance, 0.1101, 0.0005);
  EXPECT_EQ(voice(0).base_step[0], voice(0).step[0]);
}

TEST_F(MixTest, VibratoSwingsTheStepsThroughTheTableSine) {
  snd_note_on(wave(0), 0, 440.0f);
  const float base = voice(0).base_step[0];
  snd_effect(0, 7, 0x13);
  snd_mix(out);
  EXPECT_EQ(voice(0).counter, 2204);
  const float expected = os_sin(float(2204) * float(0.01 / 2)) * float(3 * 0.1) + base;
  EXPECT_EQ(voice(0).step[0], expected);
  EXPECT_EQ(voice(0).goal_step[1], expected);
  EXPECT_NE(expected, base);
}

TEST_F(MixTest, ArpeggioSwitchesStepsEveryPeriodAndWraps) {
  snd_arp_period = 1102;
  snd_play_note(4, 0, 0, wave(2));
  snd_effect(0, 3, 0x47);
  snd_mix(out);  // switches after samples 1102 and 2204
  EXPECT_EQ(voice(0).arp_index, 2);
  EXPECT_EQ(voice(0).step[0], step_of(392.0f));
  snd_mix(out);
  EXPECT_EQ(voice(0).arp_index, 1);
  EXPECT_EQ(voice(0).step[0], step_of(329.6f));
  // with vibrato as well the counter runs twice as fast
  snd_play_note(4, 1, 0, wave(2));
  snd_effect(1, 3, 0x47);
  voice(1).vibrato_on = 1;
  snd_mix(out);
  EXPECT_EQ(voice(1).arp_index, 1);  // 4408 counts: switched four times
}

TEST_F(MixTest, RunawayStepsNeverReadOutsideTheTable) {
  snd_note_on(wave(2), 0, 440.0f);
  for (int i = 0; i < 2000; ++i) snd_effect(0, 1, 255);  // goal step far beyond a table
  voice(0).step[0] = voice(0).goal_step[0];
  voice(0).step[1] = -voice(0).goal_step[0];
  for (int b = 0; b < 4; ++b) snd_mix(out);
  for (int i = 0; i < 2; ++i) {
    EXPECT_GE(voice(0).position[i], 0.0f);
    EXPECT_LT(voice(0).position[i], 10000.0f);
  }
}

}  // namespace
