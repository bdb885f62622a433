// render_song: plays a song through the synthesiser and writes what the sound card would hear
// to a WAV file (22050 Hz, mono, 16-bit), so that a person can listen to it.
//
//   render_song <song> <out.wav> [seconds]
//
// <song> is an embedded name ("song1.sqt") or a path to a .sqt file on disk. The sequencer
// steps once before every block of 2204 samples, as the audio thread does; the song starts
// at the start of the file (the game's 400 ms queue delay is left out). Default: 30 seconds,
// or until the song stops itself.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/audio.h"
#include "file/file.h"
#include "sound/snd_song.h"
#include "sound/snd_voice.h"
#include "sound/snd_wave.h"
#include "sound/sound.h"

static void put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}
static void put16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(uint8_t(v));
  out.push_back(uint8_t(v >> 8));
}

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: render_song <song.sqt | path> <out.wav> [seconds]\n");
    return 2;
  }
  const double seconds = argc > 3 ? std::atof(argv[3]) : 30.0;

  std::vector<uint8_t> bytes;
  file_handle embedded = file_open(argv[1]);
  if (embedded.data != nullptr) {
    bytes.assign(embedded.data, embedded.data + embedded.size);
  } else {
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
      std::fprintf(stderr, "render_song: no embedded song or file named %s\n", argv[1]);
      return 1;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  if (bytes.empty()) {
    std::fprintf(stderr, "render_song: %s is empty\n", argv[1]);
    return 1;
  }

  // The sound state as snd_init leaves it, without a device.
  snd_amplitude = 32767;
  snd_set_default_volume();
  for (int32_t b = 0; b < SND_SLOTS; ++b) {
    snd_reset_bank(b);
    for (int32_t v = 0; v < SND_TRACKS; ++v) snd_banks[b][v].enabled = 1;
  }
  snd_song song{};
  snd_parse_song(&song, bytes.data(), uint32_t(bytes.size()));
  std::fprintf(stderr, "render_song: %s: %d order entries, %d patterns\n", argv[1], song.order_length,
               song.pattern_count);
  snd_set_music(song);
  snd_play_music();

  const int32_t blocks = int32_t(seconds * SND_RATE / SND_BLOCK + 0.5);
  std::vector<int16_t> samples;
  int16_t block[SND_BLOCK];
  for (int32_t b = 0; b < blocks; ++b) {
    snd_tick_all();
    snd_mix(block);
    snd_clock += SND_BLOCK;
    samples.insert(samples.end(), block, block + SND_BLOCK);
    if (snd_slots[0] == nullptr && b > 2) {
      // stopped by its own command: let the last notes ring for a second
      for (int32_t tail = 0; tail < 10; ++tail) {
        snd_mix(block);
        samples.insert(samples.end(), block, block + SND_BLOCK);
      }
      break;
    }
  }
  snd_stop_song(&snd_music);
  snd_free_music();

  std::vector<uint8_t> wav;
  const uint32_t data_bytes = uint32_t(samples.size() * 2);
  wav.insert(wav.end(), {'R', 'I', 'F', 'F'});
  put32(wav, 36 + data_bytes);
  wav.insert(wav.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  put32(wav, 16);
  put16(wav, 1);  // PCM
  put16(wav, 1);  // mono
  put32(wav, SND_RATE);
  put32(wav, SND_RATE * 2);
  put16(wav, 2);
  put16(wav, 16);
  wav.insert(wav.end(), {'d', 'a', 't', 'a'});
  put32(wav, data_bytes);
  for (int16_t s : samples) put16(wav, uint16_t(s));
  std::ofstream out(argv[2], std::ios::binary);
  out.write(reinterpret_cast<const char*>(wav.data()), std::streamsize(wav.size()));
  if (!out) {
    std::fprintf(stderr, "render_song: cannot write %s\n", argv[2]);
    return 1;
  }
  std::fprintf(stderr, "render_song: wrote %s, %.1f s\n", argv[2], double(samples.size()) / SND_RATE);
  return 0;
}
