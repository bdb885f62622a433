// Songs are loaded, replaced, started, stopped and freed on the main thread while the audio
// thread ticks and mixes thousands of blocks. Run under ThreadSanitizer (label "tsan"): any
// unguarded access to the slots, voices or songs is reported as a race; under the address
// sanitizer a table freed while it is mixed is a use after free.
#include <atomic>
#include <thread>

#include "audio_fixture.h"

namespace {

TEST_F(AudioTest, ChangingSongsWhileTheAudioThreadPlaysIsSafe) {
  start();
  const std::vector<uint8_t> songs[3] = {
      did_it_bytes(),
      make_song({0, 1}, {test_pattern{}.note(0, 0, 0x47, 6).command(0, 0, 7, 0x35).note(1, 0, 0x30, 0),
                         test_pattern{}.command(0, 0, 8, 0).note(2, 2, 0x51, 7)}),
      make_song({0}, {test_pattern{}.note(0, 0, 0x47, 1).command(0, 0, 0x26, 40).command(1, 3, 15, 0x31)})};
  std::atomic<bool> done{false};
  std::atomic<int32_t> finished{0};
  std::thread device([&] {
    for (int i = 0; i < 3000; ++i) {
      if (!headless_wave_complete_one()) break;
      finished++;
    }
    done = true;
  });
  int32_t changes = 0;
  while (!done) {
    const int32_t what = changes % 5;
    if (what == 0 || what == 3) {
      snd_song next = parse_bytes(songs[changes % 3]);  // loaded outside the lock
      snd_free_music();
      snd_set_music(next);
      snd_play_music();
    } else if (what == 1) {
      snd_stop_song(&snd_music);
    } else if (what == 2) {
      snd_play_music();
    } else {
      snd_free_music();
    }
    changes++;
    std::this_thread::yield();
  }
  device.join();
  EXPECT_EQ(finished.load(), 3000);
  EXPECT_GT(changes, 10);
  snd_stop_song(&snd_music);
  snd_free_music();
  snd_deinit();
  EXPECT_EQ(snd_live_waves, 0);
}

}  // namespace
