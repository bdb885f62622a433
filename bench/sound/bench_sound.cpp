// Mixer and song-load speed. The mixer must stay far ahead of the sound card: one block is
// 2204 samples, about 100 ms; the "x_realtime" counter says how many blocks' worth of time
// one second of mixing covers (target: 1000 or more).
#include <benchmark/benchmark.h>

#include "audio/audio.h"
#include "sound/snd_song.h"
#include "sound/snd_voice.h"
#include "sound/snd_wave.h"
#include "sound/sound.h"

namespace {

constexpr double BLOCK_SECONDS = double(SND_BLOCK) / SND_RATE;

void sound_setup() {
  snd_amplitude = 32767;
  snd_set_default_volume();
  for (int32_t b = 0; b < SND_SLOTS; ++b) {
    snd_reset_bank(b);
    for (int32_t v = 0; v < SND_TRACKS; ++v) snd_banks[b][v].enabled = 1;
  }
  snd_arp_period = 1102;
}

void mix_four_voices(benchmark::State& state, bool vibrato_and_detune) {
  sound_setup();
  snd_song bank;
  snd_new_song(&bank);
  const float notes[4] = {261.6f, 329.6f, 392.0f, 523.3f};
  for (int32_t v = 0; v < 4; ++v) {
    snd_note_on(&bank.instruments[v == 3 ? 6 : v + 1], v, notes[v]);
    if (vibrato_and_detune) {
      snd_effect(v, 6, 30);
      snd_effect(v, 7, 0x24);
    }
  }
  int16_t out[SND_BLOCK];
  for (auto _ : state) {
    snd_mix(out);
    benchmark::DoNotOptimize(out);
  }
  state.counters["x_realtime"] =
      benchmark::Counter(double(state.iterations()) * BLOCK_SECONDS, benchmark::Counter::kIsRate);
  snd_reset_bank(0);
  snd_music = bank;
  snd_free_music();
}

void BM_mix_four_voices(benchmark::State& state) { mix_four_voices(state, false); }
void BM_mix_four_voices_vibrato_detune(benchmark::State& state) { mix_four_voices(state, true); }

// The biggest shipped song: the parse is small, the eight instrument tables (680 KB) are not.
void BM_load_song1(benchmark::State& state) {
  sound_setup();
  for (auto _ : state) {
    snd_music = snd_load_song("song1.sqt");
    benchmark::DoNotOptimize(snd_music.patterns);
    snd_free_music();
  }
}

BENCHMARK(BM_mix_four_voices)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_mix_four_voices_vibrato_detune)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_load_song1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
