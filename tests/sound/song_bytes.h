// Song images for the sound tests: the 105-byte "did_it.sqt" built from its decoded table,
// and a writer that encodes patterns row by row (or with runs) into the .sqt format.
#pragma once
#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include "audio/audio.h"
#include "sound/snd_song.h"
#include "sound/snd_voice.h"
#include "sound/snd_wave.h"
#include "sound/sound.h"

inline std::vector<uint8_t> did_it_bytes() {
  return {0x53, 0x51, 0x00, 0x01, 0x00,                                      // header, order [0]
          0x03, 0x47, 0x03, 0x04, 0x0a, 0x04, 0x08, 0x04, 0x05,              // track 0 rows 0..3
          0x03, 0x45, 0x03, 0x04, 0x0a, 0x04, 0x08, 0x04, 0x05,              // rows 4..7
          0x03, 0x49, 0x03, 0x04, 0x0a, 0x04, 0x08, 0x04, 0x05, 0x04, 0x04,  // rows 8..12
          0x04, 0x03, 0x04, 0x02, 0x04, 0x01, 0x04, 0x00,                    // rows 13..16
          0x80, 0x2f,                                                        // rows 17..63
          0x1f, 0x57, 0x02, 0x0a, 0x03, 0x47,                                // track 1 row 0
          0x06, 0x03, 0x09, 0x06, 0x04, 0x08, 0x06, 0x05, 0x07,              // rows 1..3
          0x07, 0x55, 0x02, 0x0a,                                            // row 4
          0x06, 0x03, 0x09, 0x06, 0x04, 0x08, 0x06, 0x05, 0x07,              // rows 5..7
          0x07, 0x59, 0x02, 0x0a,                                            // row 8
          0x06, 0x03, 0x09, 0x06, 0x04, 0x08, 0x06, 0x05, 0x07, 0x06, 0x04, 0x0a,
          0x06, 0x03, 0x09, 0x06, 0x02, 0x08, 0x06, 0x03, 0x07, 0x06, 0x04, 0x06,  // rows 9..16
          0x04, 0x00,                                                        // row 17
          0x80, 0xad,                                                        // to track 3 row 62
          0x00};                                                             // track 3 row 63
}

// One row of one track: flags bit k set means field k is present.
struct test_row {
  uint8_t flags, note, instrument, volume, command, parameter;
};

struct test_pattern {
  test_row rows[4][64] = {};
  test_pattern& note(int t, int r, uint8_t note, uint8_t instrument) {
    rows[t][r].flags |= 3;
    rows[t][r].note = note;
    rows[t][r].instrument = instrument;
    return *this;
  }
  test_pattern& volume(int t, int r, uint8_t v) {
    rows[t][r].flags |= 4;
    rows[t][r].volume = v;
    return *this;
  }
  test_pattern& command(int t, int r, uint8_t c, uint8_t p) {
    rows[t][r].flags |= 0x18;
    rows[t][r].command = c;
    rows[t][r].parameter = p;
    return *this;
  }
};

// Every row written out (empty rows as a 0x00 entry), no runs.
inline void encode_pattern(std::vector<uint8_t>& out, const test_pattern& p) {
  for (int t = 0; t < 4; ++t)
    for (int r = 0; r < 64; ++r) {
      const test_row& row = p.rows[t][r];
      out.push_back(row.flags);
      const uint8_t fields[5] = {row.note, row.instrument, row.volume, row.command, row.parameter};
      for (int k = 0; k < 5; ++k)
        if (row.flags & (1 << k)) out.push_back(fields[k]);
    }
}

inline std::vector<uint8_t> make_song(const std::vector<uint8_t>& order, const std::vector<test_pattern>& patterns) {
  std::vector<uint8_t> out = {'S', 'Q', uint8_t(order.size() >> 8), uint8_t(order.size() & 255)};
  out.insert(out.end(), order.begin(), order.end());
  for (const test_pattern& p : patterns) encode_pattern(out, p);
  return out;
}

inline snd_song parse_bytes(const std::vector<uint8_t>& bytes) {
  snd_song song{};
  snd_parse_song(&song, bytes.data(), uint32_t(bytes.size()));
  return song;
}

// Frees a song the test parsed itself (through snd_music, which it leaves empty).
inline void free_song(snd_song& song) {
  snd_song kept = snd_music;
  snd_music = song;
  snd_free_music();
  snd_music = kept;
  song = snd_song{};
}

// Sound state as snd_init leaves it, without opening any output: amplitude set, slots empty,
// both banks reset with voices 0..3 enabled, the clock at 0, no music.
struct SoundTest : ::testing::Test {
  void SetUp() override {
    snd_amplitude = 32767;
    snd_master_volume = 1.0f;
    snd_clock = 0;
    snd_bank_selected = 0;
    snd_arp_period = 0;
    for (snd_song*& slot : snd_slots) slot = nullptr;
    for (int b = 0; b < SND_SLOTS; ++b) {
      for (snd_voice& v : snd_banks[b]) v.enabled = 0;
      snd_reset_bank(b);
      for (int v = 0; v < 4; ++v) snd_banks[b][v].enabled = 1;
    }
    snd_music = snd_song{};
  }
  void TearDown() override {
    snd_free_music();
    EXPECT_EQ(snd_live_waves, 0) << "a test left instrument tables behind";
  }

  void load(const std::vector<uint8_t>& bytes) { snd_set_music(parse_bytes(bytes)); }

  // What the audio thread does per finished block: one step, one mix, the clock advanced.
  int32_t block(int16_t* out = nullptr) {
    int16_t scratch[SND_BLOCK];
    const int32_t played = snd_slots[0] != nullptr ? snd_tick(0, snd_slots[0]) : 0;
    snd_mix(out != nullptr ? out : scratch);
    snd_clock += SND_BLOCK;
    return played;
  }

  snd_voice& voice(int v) { return snd_banks[0][v]; }
};

inline float step_of(float frequency) { return float(1000.0 / (22050.0 / frequency)); }
