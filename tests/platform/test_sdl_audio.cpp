// The SDL wave device and audio thread against SDL's own dummy and file-writing drivers:
// completions arrive in queue order on the audio thread, the samples reach the device
// unchanged, the quit request ends the wait, and a missing device leaves a silent game.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "platform.h"
#include "support/temp_path.h"

namespace {

constexpr int32_t BLOCK_SAMPLES = 2204;

struct recorder {
  static inline std::atomic<int32_t> finished[64];
  static inline std::atomic<int32_t> count;
  static inline std::atomic<bool> ended;
  static void reset() {
    count = 0;
    ended = false;
  }
  // The audio thread's body: note every finished header until asked to quit.
  static void body() {
    for (;;) {
      const int32_t header = platform_audio_wait();
      if (header < 0) break;
      const int32_t at = count.load();
      if (at < 64) finished[at] = header;
      count = at + 1;
      platform_wave_release(header);
    }
    ended = true;
  }
};

template <typename Done>
bool wait_until(Done done, int32_t ms) {
  const auto limit = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

void stop_thread() {
  platform_audio_post_quit();
  EXPECT_TRUE(wait_until([] { return recorder::ended.load(); }, 2000));
}

TEST(SdlAudio, CompletionsArriveInQueueOrderAndQuitEndsTheWait) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  static int16_t blocks[4][BLOCK_SAMPLES];
  recorder::reset();
  platform_audio_lock_init();
  ASSERT_TRUE(platform_audio_start_thread(recorder::body));
  ASSERT_TRUE(platform_wave_open());
  platform_audio_lock();
  // Queued in the order 2, 0, 3, 1: completions name headers, not positions.
  const int32_t headers[4] = {2, 0, 3, 1};
  for (int32_t n = 0; n < 4; ++n) platform_wave_queue(headers[n], blocks[n], BLOCK_SAMPLES);
  platform_audio_unlock();
  ASSERT_TRUE(wait_until([] { return recorder::count.load() >= 4; }, 3000));
  for (int32_t n = 0; n < 4; ++n) EXPECT_EQ(recorder::finished[n].load(), headers[n]);
  // Nothing else was queued, so nothing else finishes.
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(recorder::count.load(), 4);
  stop_thread();
  EXPECT_TRUE(platform_wave_reset());
  platform_wave_close();
  EXPECT_FALSE(platform_wave_reset());
  platform_audio_lock_delete();
}

TEST(SdlAudio, ResetDropsQueuedBlocksWithoutCompletions) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  static int16_t blocks[4][BLOCK_SAMPLES];
  recorder::reset();
  platform_audio_lock_init();
  ASSERT_TRUE(platform_wave_open());
  platform_audio_lock();
  for (int32_t n = 0; n < 4; ++n) platform_wave_queue(n, blocks[n], BLOCK_SAMPLES);
  platform_audio_unlock();
  EXPECT_TRUE(platform_wave_reset());
  // A thread that starts waiting after the reset sees no completion, only the quit.
  ASSERT_TRUE(platform_audio_start_thread(recorder::body));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_EQ(recorder::count.load(), 0);
  stop_thread();
  platform_wave_close();
  platform_audio_lock_delete();
}

TEST(SdlAudio, SamplesReachTheDeviceUnchanged) {
  const std::string path = temp_path("sdl_audio.raw");
  std::remove(path.c_str());
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", path.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "1", 1);
  static int16_t blocks[2][BLOCK_SAMPLES];
  for (int32_t i = 0; i < BLOCK_SAMPLES; ++i) {
    blocks[0][i] = static_cast<int16_t>(i * 13 - 16383);
    blocks[1][i] = static_cast<int16_t>(32767 - i * 7);
  }
  recorder::reset();
  platform_audio_lock_init();
  ASSERT_TRUE(platform_audio_start_thread(recorder::body));
  ASSERT_TRUE(platform_wave_open());
  platform_audio_lock();
  platform_wave_queue(4, blocks[0], BLOCK_SAMPLES);
  platform_wave_queue(5, blocks[1], BLOCK_SAMPLES);
  platform_audio_unlock();
  ASSERT_TRUE(wait_until([] { return recorder::count.load() >= 2; }, 3000));
  stop_thread();
  platform_wave_reset();
  platform_wave_close();
  platform_audio_lock_delete();
  unsetenv("SDL_DISKAUDIOFILE");

  std::ifstream file(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::string expected(reinterpret_cast<const char*>(blocks), sizeof(blocks));
  // The device may have written silence before the first block arrived.
  EXPECT_NE(bytes.find(expected), std::string::npos) << "file holds " << bytes.size() << " bytes";
}

TEST(SdlAudio, NoDeviceMeansNoOutputButTheThreadStillQuits) {
  setenv("SDL_AUDIODRIVER", "no_such_driver", 1);
  recorder::reset();
  platform_audio_lock_init();
  ASSERT_TRUE(platform_audio_start_thread(recorder::body));
  EXPECT_FALSE(platform_wave_open());
  static int16_t block[BLOCK_SAMPLES];
  platform_wave_queue(0, block, BLOCK_SAMPLES);  // ignored without a device
  stop_thread();
  EXPECT_EQ(recorder::count.load(), 0);
  EXPECT_FALSE(platform_wave_reset());
  platform_wave_close();
  platform_audio_lock_delete();
}

TEST(SdlAudio, TheLockExcludesTheOtherThread) {
  platform_audio_lock_init();
  std::atomic<int32_t> inside{0};
  std::atomic<bool> overlap{false};
  auto worker = [&] {
    for (int32_t n = 0; n < 2000; ++n) {
      platform_audio_lock();
      if (inside.fetch_add(1) != 0) overlap = true;
      inside.fetch_sub(1);
      platform_audio_unlock();
    }
  };
  std::thread other(worker);
  worker();
  other.join();
  EXPECT_FALSE(overlap.load());
  platform_audio_lock_delete();
}

}  // namespace
