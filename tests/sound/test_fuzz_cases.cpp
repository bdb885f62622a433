// Every song in the fuzz harness's seed corpus and regression folder, played as the harness
// plays it: parsed, started, ten blocks ticked and mixed, stopped and freed, with no table
// left behind. Inputs that once crashed or hung the harness live in regressions/ by name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "os_tools/os_mem.h"
#include "song_bytes.h"

namespace {

using FuzzCases = SoundTest;

void play_file(const std::filesystem::path& path, int16_t* out) {
  std::ifstream in(path, std::ios::binary);
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.empty()) return;
  snd_set_music(parse_bytes(bytes));
  snd_clock = 0;
  snd_play_music();
  for (int b = 0; b < 10; ++b) {
    snd_tick_all();
    snd_mix(out);
    snd_clock += SND_BLOCK;
  }
  snd_stop_song(&snd_music);
  snd_free_music();
}

TEST_F(FuzzCases, CorpusAndRegressionsPlayWithoutFaults) {
  const std::filesystem::path root = std::filesystem::path(TUMBLER_SOURCE_DIR) / "tests/fuzz/song";
  int16_t out[SND_BLOCK];
  int files = 0;
  const int32_t blocks = os_alloc_count();
  const int32_t live = snd_live_waves;
  for (const char* folder : {"corpus", "regressions"}) {
    if (!std::filesystem::exists(root / folder)) continue;
    for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
      if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
      SCOPED_TRACE(entry.path().string());
      play_file(entry.path(), out);
      EXPECT_EQ(os_alloc_count(), blocks);
      EXPECT_EQ(snd_live_waves, live);
      files++;
    }
  }
  EXPECT_GE(files, 10);
}

}  // namespace
