// Wavetable builders and the note table. Every sample is stored as a float; the intermediate
// values are carried in double and rounded to float at the points where the tables were
// designed to round, so the tables come out identical on every compiler.
#include "sound/snd_wave.h"

#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "os_tools/os_util.h"

uint16_t snd_amplitude;
int32_t snd_live_waves;

const float snd_note_freq[SND_NOTES] = {
    16.4f, 17.3f, 18.4f, 19.4f, 20.6f, 21.8f, 23.1f, 24.5f, 26.0f, 27.5f, 29.1f, 30.9f,
    32.7f, 34.6f, 36.7f, 38.9f, 41.2f, 43.7f, 46.2f, 49.0f, 51.9f, 55.0f, 58.3f, 61.7f,
    65.4f, 69.3f, 73.4f, 77.8f, 82.4f, 87.3f, 92.5f, 98.0f, 103.8f, 110.0f, 116.5f, 123.5f,
    130.8f, 138.6f, 146.8f, 155.6f, 164.8f, 174.6f, 185.0f, 196.0f, 207.7f, 220.0f, 233.1f, 246.9f,
    261.6f, 277.2f, 293.7f, 311.1f, 329.6f, 349.2f, 370.0f, 392.0f, 415.3f, 440.0f, 466.2f, 493.9f,
    523.3f, 554.4f, 587.3f, 622.3f, 659.3f, 698.5f, 740.0f, 784.0f, 830.6f, 880.0f, 932.3f, 987.8f,
    1046.5f, 1108.7f, 1174.7f, 1244.5f, 1318.5f, 1396.9f, 1480.0f, 1568.0f, 1661.2f, 1760.0f, 1864.7f, 1975.5f,
    2093.0f, 2217.5f, 2349.3f, 2489.0f, 2637.0f, 2793.8f, 2960.0f, 3136.0f, 3322.4f, 3520.0f, 3729.3f, 3951.1f,
    4186.0f, 4434.9f, 4698.6f, 4978.0f, 5274.0f, 5587.7f, 5919.9f, 6271.9f, 6644.9f, 7040.0f, 7458.6f, 7902.1f,
    8372.0f, 8869.8f, 9397.3f, 9956.1f, 10548.1f, 11175.3f, 11839.8f, 12543.9f, 13289.8f, 14080.0f, 14917.2f, 15804.3f,
};

// The builders' full scale: an eighth of the amplitude, 4095.
static float snd_a8() { return float(snd_amplitude >> 3); }

void snd_wave_alloc(snd_wave* wave, int32_t count) {
  OS_ASSERT(wave != nullptr);
  if (wave == nullptr) return;
  OS_ASSERT(wave->samples == nullptr);
  OS_ASSERT(count >= 1);
  if (count < 1) count = 1;
  wave->samples = static_cast<float*>(os_alloc(uint32_t(count) * 4u));
  OS_ASSERT(wave->samples != nullptr);
  wave->label = nullptr;
  wave->count = count;
  snd_live_waves++;
}

void snd_wave_free(snd_wave* wave) {
  OS_ASSERT(wave != nullptr);
  if (wave == nullptr) return;
  OS_ASSERT(wave->samples != nullptr);
  if (wave->samples == nullptr) return;
  os_free(&wave->samples);
  snd_live_waves--;
  OS_ASSERT(snd_live_waves >= 0);
}

int32_t snd_wave_check(const snd_wave* wave) {
  OS_ASSERT(wave != nullptr);
  if (wave == nullptr) return 1;
  const float low = -float(snd_amplitude >> 1);
  const float high = float(snd_amplitude);
  for (int32_t i = 0; i < wave->count; ++i) {
    float s = wave->samples[i];
    if (s < low || s > high) return 0;  // NaN compares false and passes
  }
  return 1;
}

snd_wave snd_make_sine() {
  snd_wave w{};
  snd_wave_alloc(&w, SND_TONE_LENGTH);
  w.label = "SIN";
  const double two_pi = 2.0 * double(3.14f);
  const float a8 = snd_a8();
  for (int32_t i = 0; i < w.count; ++i) {
    float x = float(double(i) * two_pi / 1000.0);
    w.samples[i] = float(double(os_sin(x)) * double(a8) + 0.0);
  }
  OS_ASSERT(snd_wave_check(&w));
  return w;
}

snd_wave snd_make_ramp() {
  snd_wave w{};
  snd_wave_alloc(&w, SND_TONE_LENGTH);
  w.label = "TRI";
  const float a8 = snd_a8();
  const double step = double(a8) / 1000.0;
  float v = 0.0f;
  for (int32_t i = 0; i < w.count; ++i) {
    w.samples[i] = v;
    v = float(double(v) + step);
    if (v > a8) v = -a8;
  }
  OS_ASSERT(snd_wave_check(&w));
  return w;
}

snd_wave snd_make_square(float duty) {
  OS_ASSERT(duty > 0.0f && duty < 1.0f);
  snd_wave w{};
  snd_wave_alloc(&w, SND_TONE_LENGTH);
  w.label = "SQR";
  const float a8 = snd_a8();
  const double threshold = double(duty) * 1000.0;
  int32_t c = 0;
  for (int32_t i = 0; i < w.count; ++i) {
    w.samples[i] = double(c) < threshold ? a8 : -a8;
    if (++c == 1000) c = 0;
  }
  OS_ASSERT(snd_wave_check(&w));
  return w;
}

snd_wave snd_make_noise() {
  snd_wave w{};
  snd_wave_alloc(&w, SND_NOISE_LENGTH);
  w.label = "NOI";
  const float a8 = snd_a8();
  const uint32_t m = uint32_t(double(a8) * 200.0);
  for (int32_t k = 0; k < w.count; k += SND_NOISE_HOLD) {
    uint32_t r = os_rand();
    // With no amplitude set there is no range to draw from; the table stays silent.
    float value = m == 0 ? 0.0f : float(double(r % m) * double(0.01f) - double(a8));
    for (int32_t j = k; j < k + SND_NOISE_HOLD && j < w.count; ++j) w.samples[j] = value;
  }
  OS_ASSERT(snd_wave_check(&w));
  return w;
}

snd_wave snd_make_triangle() {
  snd_wave w{};
  snd_wave_alloc(&w, SND_TONE_LENGTH);
  w.label = "SAW";
  const float a8 = snd_a8();
  float step = float(double(a8) / 1000.0 * 2.0);
  float v = 0.0f;
  for (int32_t i = 0; i < w.count; ++i) {
    w.samples[i] = v;
    v = step + v;
    if (v > a8 || v < -a8) {
      step = -step;
      v = step + v;
    }
  }
  OS_ASSERT(snd_wave_check(&w));
  return w;
}

void snd_new_song(snd_song* song) {
  OS_ASSERT(song != nullptr);
  if (song == nullptr) return;
  *song = snd_song{};
  song->instruments = static_cast<snd_wave*>(os_alloc(uint32_t(sizeof(snd_wave)) * SND_INSTRUMENTS));
  song->instrument_count = SND_INSTRUMENTS;
  snd_wave* bank = song->instruments;
  bank[0] = snd_make_sine();
  bank[1] = snd_make_ramp();
  bank[2] = snd_make_square(0.5f);
  bank[3] = snd_make_square(0.4f);
  bank[4] = snd_make_square(0.3f);
  bank[5] = snd_make_square(0.2f);
  bank[6] = snd_make_noise();
  bank[7] = snd_make_triangle();
}
