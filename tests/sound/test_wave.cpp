// Wavetables, the instrument bank and the note table.
#include <gtest/gtest.h>

#include <cmath>

#include "os_tools/os_mem.h"
#include "sound/snd_wave.h"
#include "support/log_capture.h"

namespace {

struct WaveTest : ::testing::Test {
  void SetUp() override { snd_amplitude = 32767; }
};

int32_t count_equal(const snd_wave& w, int32_t from, int32_t to, float value) {
  int32_t n = 0;
  for (int32_t i = from; i < to; ++i) n += w.samples[i] == value;
  return n;
}

TEST_F(WaveTest, SquaresHoldFullScaleForTheirDutyOfEveryThousand) {
  const float duties[4] = {0.5f, 0.4f, 0.3f, 0.2f};
  const int32_t high[4] = {500, 401, 301, 201};
  for (int32_t d = 0; d < 4; ++d) {
    snd_wave w = snd_make_square(duties[d]);
    ASSERT_EQ(w.count, 10000);
    EXPECT_STREQ(w.label, "SQR");
    for (int32_t period = 0; period < 10; ++period) {
      EXPECT_EQ(count_equal(w, period * 1000, period * 1000 + 1000, 4095.0f), high[d]) << duties[d];
      EXPECT_EQ(count_equal(w, period * 1000, period * 1000 + 1000, -4095.0f), 1000 - high[d]);
      EXPECT_EQ(w.samples[period * 1000 + high[d] - 1], 4095.0f);  // the high part comes first
    }
    snd_wave_free(&w);
  }
}

TEST_F(WaveTest, RampRisesByTheStepAndDropsAtItsFivePoints) {
  snd_wave w = snd_make_ramp();
  EXPECT_STREQ(w.label, "TRI");
  EXPECT_EQ(w.samples[0], 0.0f);
  EXPECT_EQ(w.samples[1], 4.095f);
  EXPECT_EQ(w.samples[2], float(double(4.095f) + 4.095));
  int32_t drops[8], n = 0;
  for (int32_t i = 1; i < w.count; ++i)
    if (w.samples[i] < w.samples[i - 1] && n < 8) drops[n++] = i;
  ASSERT_EQ(n, 5);
  const int32_t expected[5] = {1001, 3002, 5003, 7004, 9005};
  for (int32_t k = 0; k < 5; ++k) {
    EXPECT_EQ(drops[k], expected[k]);
    EXPECT_EQ(w.samples[drops[k]], -4095.0f);
    // the first ramp starts from 0, the later ones from -4095 and end a little lower
    EXPECT_EQ(w.samples[drops[k] - 1], k == 0 ? 4094.974609375f : 4094.94921875f);
  }
  snd_wave_free(&w);
}

TEST_F(WaveTest, TriangleTurnsOnTwoEqualExtremesEvery1001Samples) {
  snd_wave w = snd_make_triangle();
  EXPECT_STREQ(w.label, "SAW");
  EXPECT_EQ(w.samples[1], 8.1899995803833f);
  EXPECT_NEAR(w.samples[500], 4094.98f, 0.005f);
  EXPECT_NEAR(w.samples[501], 4094.98f, 0.005f);
  EXPECT_LT(w.samples[499], w.samples[500]);
  EXPECT_LT(w.samples[502], w.samples[501]);
  EXPECT_NEAR(w.samples[1501], -4094.98f, 0.005f);
  EXPECT_NEAR(w.samples[1502], -4094.98f, 0.005f);
  // every later turn repeats 1001 samples after the one before
  for (int32_t turn = 500; turn + 1001 < w.count; turn += 1001) {
    EXPECT_NEAR(std::fabs(w.samples[turn]), 4094.98f, 0.01f) << turn;
    EXPECT_NEAR(w.samples[turn], w.samples[turn + 1], 0.001f) << turn;
  }
  snd_wave_free(&w);
}

TEST_F(WaveTest, SineFollowsTheTableSineWithAngleRoundedToFloat) {
  snd_wave w = snd_make_sine();
  EXPECT_STREQ(w.label, "SIN");
  EXPECT_EQ(w.samples[0], 0.0f);
  EXPECT_EQ(w.samples[1], 24.994659423828125f);
  EXPECT_EQ(w.samples[250], 4094.75f);
  EXPECT_EQ(w.samples[1000], -63.236488342285156f);
  EXPECT_EQ(w.samples[1002], 0.0f);
  EXPECT_EQ(w.samples[5000], -213.82931518554688f);
  EXPECT_EQ(w.samples[9999], -439.03118896484375f);
  // these two fall on other table steps when 6.28 is not formed from the float 3.14
  EXPECT_EQ(w.samples[7117], 2537.95751953125f);
  EXPECT_EQ(w.samples[9519], -118.97457885742188f);
  snd_wave_free(&w);
}

TEST_F(WaveTest, NoiseHolds1612RunsOf62AndAFinalRunOf56) {
  snd_wave w = snd_make_noise();
  EXPECT_STREQ(w.label, "NOI");
  ASSERT_EQ(w.count, 100000);
  int32_t runs = 0, distinct_neighbours = 0;
  for (int32_t k = 0; k < w.count; k += 62) {
    const int32_t end = k + 62 < w.count ? k + 62 : w.count;
    EXPECT_EQ(count_equal(w, k, end, w.samples[k]), end - k) << k;
    EXPECT_GE(w.samples[k], -4095.0f);
    EXPECT_LE(w.samples[k], 4094.99f);
    if (k > 0 && w.samples[k] != w.samples[k - 1]) distinct_neighbours++;
    runs++;
  }
  EXPECT_EQ(runs, 1613);
  EXPECT_EQ(w.count - 1612 * 62, 56);
  EXPECT_GT(distinct_neighbours, 1500);  // really random, not one held value
  snd_wave_free(&w);
}

TEST_F(WaveTest, CheckAcceptsHalfTheAmplitudeBelowAndAllAbove) {
  snd_wave w{};
  snd_wave_alloc(&w, 3);
  EXPECT_EQ(snd_wave_check(&w), 1);
  w.samples[0] = 32767.0f;
  w.samples[1] = -16383.0f;
  w.samples[2] = NAN;
  EXPECT_EQ(snd_wave_check(&w), 1);
  w.samples[1] = -16384.0f;
  EXPECT_EQ(snd_wave_check(&w), 0);
  w.samples[1] = 0.0f;
  w.samples[0] = 32768.0f;
  EXPECT_EQ(snd_wave_check(&w), 0);
  snd_wave_free(&w);
  snd_wave empty{};
  EXPECT_EQ(snd_wave_check(&empty), 1);
}

TEST_F(WaveTest, AllocAndFreeKeepTheLiveCountAndReportMisuse) {
  const int32_t live = snd_live_waves;
  const int32_t blocks = os_alloc_count();
  snd_wave w{};
  snd_wave_alloc(&w, 10);
  EXPECT_EQ(snd_live_waves, live + 1);
  EXPECT_EQ(w.count, 10);
  snd_wave_free(&w);
  EXPECT_EQ(w.samples, nullptr);
  EXPECT_EQ(snd_live_waves, live);
  EXPECT_EQ(os_alloc_count(), blocks);
  log_capture log;
  snd_wave_free(&w);  // already empty: reported, count unchanged
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_EQ(snd_live_waves, live);
}

TEST_F(WaveTest, NewSongOwnsTheEightTablesInBankOrder) {
  const int32_t live = snd_live_waves;
  snd_song song;
  snd_new_song(&song);
  ASSERT_EQ(song.instrument_count, 8);
  EXPECT_EQ(snd_live_waves, live + 8);
  const char* labels[8] = {"SIN", "TRI", "SQR", "SQR", "SQR", "SQR", "NOI", "SAW"};
  int64_t total = 0;
  for (int32_t i = 0; i < 8; ++i) {
    EXPECT_STREQ(song.instruments[i].label, labels[i]);
    EXPECT_EQ(snd_wave_check(&song.instruments[i]), 1);
    total += song.instruments[i].count * 4;
  }
  EXPECT_EQ(total, 680000);
  EXPECT_EQ(count_equal(song.instruments[3], 0, 1000, 4095.0f), 401);
  EXPECT_EQ(count_equal(song.instruments[5], 0, 1000, 4095.0f), 201);
  EXPECT_EQ(song.order_length, 0);
  EXPECT_EQ(song.pattern_count, 0);
  for (int32_t i = 0; i < 8; ++i) snd_wave_free(&song.instruments[i]);
  os_free(&song.instruments);
  EXPECT_EQ(snd_live_waves, live);
}

TEST(NoteTable, RunsFrom16_4To15804_3With440AtOctave4Semitone9) {
  EXPECT_EQ(snd_note_freq[0], 16.4f);
  EXPECT_EQ(snd_note_freq[4 * 12 + 9], 440.0f);
  EXPECT_EQ(snd_note_freq[4 * 12 + 7], 392.0f);
  EXPECT_EQ(snd_note_freq[4 * 12 + 0], 261.6f);
  EXPECT_EQ(snd_note_freq[5 * 12 + 4], 659.3f);
  EXPECT_EQ(snd_note_freq[9 * 12 + 11], 15804.3f);
  for (int32_t i = 0; i < SND_NOTES; ++i) {
    const double exact = 440.0 * std::pow(2.0, (i - 57) / 12.0);
    EXPECT_EQ(snd_note_freq[i], float(std::round(exact * 10.0) / 10.0)) << i;
  }
}

}  // namespace
