// Sound started on the headless wave device, as the game starts it.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "audio/audio.h"
#include "platform_headless/headless_audio.h"
#include "sound/song_bytes.h"
#include "sound/sound.h"

struct AudioTest : ::testing::Test {
  static inline std::vector<int16_t> heard;
  static void sink(const int16_t* samples, int32_t count) { heard.insert(heard.end(), samples, samples + count); }

  void SetUp() override {
    headless_audio_reset();
    heard.clear();
    headless_wave_set_sink(&sink);
    snd_music = snd_song{};
  }
  void TearDown() override {
    if (audio_device_open() || audio_thread_running()) {
      snd_stop_song(&snd_music);
      snd_free_music();
      snd_deinit();
    }
    headless_wave_set_sink(nullptr);
  }
  void start() {
    snd_init();
    snd_set_default_volume();
  }
  void play(const std::vector<uint8_t>& bytes) {
    snd_free_music();
    snd_set_music(parse_bytes(bytes));
    snd_play_music();
  }
  static int32_t clock_now() {
    audio_lock();
    int32_t c = snd_clock;
    audio_unlock();
    return c;
  }
};
