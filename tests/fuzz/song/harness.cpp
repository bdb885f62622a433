// Fuzz harness: parses arbitrary bytes as a song, plays it from the start and mixes about one
// second of blocks with the sequencer stepping before each block, then frees it. The eight
// instruments (680 KB of tables) do not depend on the input: they are built once, and every
// input's song borrows them, so the time goes into the parser and the sequencer.
#include <cstddef>
#include <cstdint>

#include "audio/audio.h"
#include "sound/snd_song.h"
#include "sound/snd_voice.h"
#include "sound/snd_wave.h"
#include "sound/sound.h"

static snd_song fuzz_bank;

static void fuzz_song_setup() {
  snd_amplitude = 32767;  // before the tables, which are scaled by it
  snd_set_default_volume();
  for (int32_t b = 0; b < SND_SLOTS; ++b) {
    snd_reset_bank(b);
    for (int32_t v = 0; v < SND_TRACKS; ++v) snd_banks[b][v].enabled = 1;
  }
  snd_new_song(&fuzz_bank);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool ready = (fuzz_song_setup(), true);
  (void)ready;
  if (size == 0 || size > 1u << 20) return 0;
  snd_song song{};
  song.instruments = fuzz_bank.instruments;
  song.instrument_count = fuzz_bank.instrument_count;
  snd_parse_song_notes(&song, data, uint32_t(size));
  snd_set_music(song);
  snd_clock = 0;
  snd_play_music();
  static int16_t out[SND_BLOCK];
  for (int32_t block = 0; block < 10; ++block) {
    snd_tick_all();
    snd_mix(out);
    snd_clock += SND_BLOCK;
  }
  snd_stop_song(&snd_music);
  snd_music.instruments = nullptr;  // the bank stays for the next input
  snd_music.instrument_count = 0;
  snd_free_music();
  return 0;
}
