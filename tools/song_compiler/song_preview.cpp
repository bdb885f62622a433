#include "song_preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace songc {

namespace {

constexpr int RATE = 22050;
constexpr int BLOCK = 2204;
constexpr int TIME_UNIT = 1102;
constexpr float A8 = 4095.0f;
constexpr float MASTER = 50.0f / 255.0f;

float table_sine(float angle) {  // the game's sine repeats after 1024 of its 1023 steps per turn
  return static_cast<float>(std::sin(angle * 1023.0 / 1024.0));
}

struct wave {
  std::vector<float> samples;
};

std::vector<wave> make_bank() {
  std::vector<wave> bank(8);
  for (int i = 0; i < 10000; ++i) {
    bank[0].samples.push_back(table_sine(static_cast<float>(i * 6.28 / 1000)) * A8);
  }
  float v = 0;
  for (int i = 0; i < 10000; ++i) {  // rising ramp
    bank[1].samples.push_back(v);
    v = static_cast<float>(v + 4.095);
    if (v > 4095) v = -4095;
  }
  const float duties[4] = {0.5f, 0.4f, 0.3f, 0.2f};
  for (int d = 0; d < 4; ++d) {
    double threshold = duties[d] * 1000.0;
    for (int i = 0; i < 10000; ++i) bank[2 + d].samples.push_back((i % 1000) < threshold ? A8 : -A8);
  }
  uint32_t seed = 12345;
  for (int k = 0; k < 100000; k += 62) {
    seed = seed * 1103515245u + 12345u;
    float value = static_cast<float>((seed >> 8) % 819000) * 0.01f - 4095.0f;
    for (int i = k; i < k + 62 && i < 100000; ++i) bank[6].samples.push_back(value);
  }
  float step = 8.19f;
  v = 0;
  for (int i = 0; i < 10000; ++i) {  // triangle
    bank[7].samples.push_back(v);
    v = step + v;
    if (v > 4095 || v < -4095) {
      step = -step;
      v = step + v;
    }
  }
  return bank;
}

float note_frequency(int octave, int semitone) {
  double f = 440.0 * std::pow(2.0, (octave * 12 + semitone - 57) / 12.0);
  return static_cast<float>(std::round(f * 10.0) / 10.0);
}

struct voice {
  const wave* w = nullptr;
  float volume = 1, target = 1;
  float arp_steps[2][3] = {};
  float position[2] = {}, base[2] = {}, goal[2] = {}, step[2] = {};
  float vib_rate = 0, vib_depth = 0;
  int override_pattern = -1, counter = 0, arp_index = 0, remaining = 0;
  int semitone = 0, octave = 0;
  bool active = false, fade = false, vib_on = false, arp_on = false;
  uint8_t effect = 0, parameter = 0, arp_parameter = 0;
};

struct player {
  const song& s;
  std::vector<wave> bank = make_bank();
  voice voices[TRACKS];
  int arp_period = TIME_UNIT;
  int position = 0, row = 0, speed = 2, jump_row = -1, state = 1, last_tick = 0;

  explicit player(const song& song_in) : s(song_in) {}

  void apply_effect(voice& v, uint8_t command, uint8_t parameter) {
    if (command != v.effect) {
      v.effect = command;
      v.counter = 0;
      v.arp_index = 0;
    }
    v.parameter = parameter;
    switch (command & 15) {
      case CMD_TIMED:
        v.remaining = parameter * BLOCK;
        v.fade = true;
        break;
      case CMD_ARPEGGIO: {
        int notes[2] = {v.semitone + (parameter >> 4), v.semitone + (parameter & 15)};
        float s12[2];
        for (int k = 0; k < 2; ++k) {
          int octave = v.octave;
          if (notes[k] >= 12) {
            notes[k] -= 12;
            octave = std::min(octave + 1, 9);
          }
          s12[k] = static_cast<float>(1000.0 / (RATE / static_cast<double>(note_frequency(octave, notes[k]))));
        }
        v.arp_on = true;
        v.arp_parameter = parameter;
        float dd = v.base[1] - v.base[0];
        for (int i = 0; i < 2; ++i) {
          v.arp_steps[i][0] = v.base[i];
          v.arp_steps[i][1] = i * dd + s12[0];
          v.arp_steps[i][2] = i * dd + s12[1];
        }
        break;
      }
      case CMD_SLIDE_UP:
        for (float& g : v.goal) g = static_cast<float>(g + 1000.0 / (RATE / static_cast<double>(parameter)));
        break;
      case CMD_SLIDE_DOWN:
        for (float& g : v.goal) {
          g = static_cast<float>(g - 1000.0 / (RATE / static_cast<double>(parameter)));
          if (g < 0) g = 0;
        }
        break;
      case CMD_DETUNE:
        v.goal[1] = v.base[1] = v.goal[0] + parameter * 0.01f;
        break;
      case CMD_VIBRATO:
        v.vib_on = true;
        v.vib_depth = (parameter & 15) * 0.1f;
        v.vib_rate = static_cast<float>(0.01 / ((parameter >> 4) + 1));
        break;
      default:
        break;
    }
    if (command == 0) {
      v.target = 1;
      v.vib_on = v.arp_on = v.fade = false;
      v.arp_parameter = 0;
      v.vib_depth = v.vib_rate = 0;
      v.effect = 0;
      v.counter = v.arp_index = 0;
    }
  }

  void note_on(voice& v, const wave* w, float frequency) {
    float d = v.goal[0] - v.goal[1];
    v.w = w;
    v.target = 1;
    v.position[1] = v.position[0] + 500;
    double base = 1000.0 / (RATE / static_cast<double>(frequency));
    float count = static_cast<float>(w->samples.size());
    for (int i = 0; i < 2; ++i) {
      float step = static_cast<float>(i * d + base);
      v.goal[i] = v.step[i] = v.base[i] = step;
      v.position[i] -= std::trunc(v.position[i] / count) * count;
    }
    v.remaining = -1000;
    if (v.arp_parameter != 0) apply_effect(v, CMD_ARPEGGIO, v.arp_parameter);
    v.active = true;
  }

  void tick(int now) {
    if (last_tick + speed > now || state == 0) return;
    last_tick += speed;
    if (state == 2) {
      ++row;
    } else {
      state = 2;
      for (voice& v : voices) {
        v.target = 1;
        apply_effect(v, 0, 0);
      }
      arp_period = TIME_UNIT;
      speed = 2;
    }
    if (jump_row >= 0) {
      row = jump_row;
      jump_row = -1;
    }
    if (row >= ROWS) {
      row = 0;
      position = (position + 1) % static_cast<int>(s.order.size());
      for (voice& v : voices) v.override_pattern = -1;
    }
    int next_position = -1;
    int current = s.order[static_cast<size_t>(position)];
    for (int t = 0; t < TRACKS; ++t) {
      voice& v = voices[t];
      const cell& own = s.patterns[static_cast<size_t>(current)].rows[t][row];
      if (own.flags & 8) {
        uint8_t kind = own.field[F_COMMAND] & 15;
        uint8_t parameter = own.field[F_PARAMETER];
        if (kind == CMD_NOTE_OFF) {
          v.active = false;
          v.override_pattern = current;
        } else if (kind == CMD_PATTERN && parameter < s.patterns.size()) {
          v.override_pattern = parameter;
        } else if (kind == CMD_SPEED) {
          speed = parameter & 15;
          arp_period = 11020 / ((parameter >> 4) ? (parameter >> 4) : 1);
        }
      }
      int source = v.override_pattern >= 0 ? v.override_pattern : current;
      const cell& c = s.patterns[static_cast<size_t>(source)].rows[t][row];
      const wave* instrument = &bank[c.field[F_INSTRUMENT] & 7];
      if (c.flags & 1) {
        v.semitone = c.field[F_NOTE] & 15;
        v.octave = c.field[F_NOTE] >> 4;
        if (v.semitone < 12 && v.octave < 10) note_on(v, instrument, note_frequency(v.octave, v.semitone));
      } else if (c.flags & 2) {
        v.w = instrument;
        float count = static_cast<float>(instrument->samples.size());
        for (float& p : v.position) p = std::fmod(p, count);
      }
      if (c.flags & 4) v.target = (1.0f / 255.0f) * static_cast<float>(c.field[F_VOLUME] * 16);
      if (c.flags & 8) {
        uint8_t kind = c.field[F_COMMAND] & 15;
        uint8_t parameter = c.field[F_PARAMETER];
        if (kind == CMD_STOP) {
          state = 0;
          for (voice& other : voices) other.active = false;
        } else if (kind == CMD_JUMP) {
          jump_row = parameter;
        } else if (kind == CMD_POSITION) {
          int length = static_cast<int>(s.order.size());
          if (parameter != 255) next_position = parameter < length ? parameter : 0;
          else next_position = (position + 1) % length;
          jump_row = 0;
        } else {
          apply_effect(v, c.field[F_COMMAND], parameter);
        }
      }
    }
    if (next_position >= 0) position = next_position;
  }

  int16_t mix_one() {
    float acc = 0;
    for (voice& v : voices) {
      if (!v.active || v.w == nullptr) continue;
      if (v.volume != v.target) v.volume = (v.target - v.volume) * 0.01f + v.volume;
      bool inverted = (v.effect & 0xF0) == 0x20;
      const std::vector<float>& samples = v.w->samples;
      float count = static_cast<float>(samples.size());
      float a = samples[static_cast<size_t>(v.position[0])] * v.volume;
      acc += inverted ? -a : a;
      if (v.step[0] != v.step[1]) {
        float b = samples[static_cast<size_t>(v.position[1])] * v.volume;
        acc += inverted ? b : -b;
      }
      for (int i = 0; i < 2; ++i) {
        if (v.goal[i] != v.step[i]) v.step[i] = v.base[i] = (v.goal[i] - v.step[i]) * 0.001f + v.step[i];
        v.position[i] += v.step[i];
      }
      if (v.remaining > 0) {
        --v.remaining;
        if (v.remaining == 0) v.active = false;
        else if (v.fade && v.target > 0) v.target -= v.target / static_cast<float>(v.remaining);
      }
      if (v.vib_on) {
        ++v.counter;
        for (int i = 0; i < 2; ++i) {
          v.step[i] = v.goal[i] = table_sine(static_cast<float>(v.counter) * v.vib_rate) * v.vib_depth + v.base[i];
        }
      }
      if (v.arp_on && ++v.counter >= arp_period) {
        v.counter = 0;
        v.arp_index = (v.arp_index + 1) % 3;
        for (int i = 0; i < 2; ++i) v.step[i] = v.goal[i] = v.arp_steps[i][v.arp_index];
      }
      for (float& p : v.position) {
        if (p >= count) p -= count;
        if (p < 0) p += count;
        if (p >= count || p < 0) p = 0;  // a preview never reads outside its table
      }
    }
    float out = std::trunc(MASTER * acc);
    return static_cast<int16_t>(std::clamp(out, -16383.0f, 32767.0f));
  }
};

}  // namespace

std::vector<int16_t> render_preview(const song& s, double seconds) {
  std::vector<int16_t> out;
  if (s.order.empty() || s.patterns.empty()) return out;
  player p(s);
  long clock = 0;
  long total = static_cast<long>(seconds * RATE);
  while (static_cast<long>(out.size()) < total) {
    p.tick(static_cast<int>(clock / TIME_UNIT));
    for (int n = 0; n < BLOCK; ++n) out.push_back(p.mix_one());
    clock += BLOCK;
  }
  out.resize(static_cast<size_t>(total));
  return out;
}

bool write_wav(const std::string& path, const std::vector<int16_t>& samples) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr) return false;
  auto u32 = [&](uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                    static_cast<uint8_t>(v >> 24)};
    std::fwrite(b, 1, 4, f);
  };
  auto u16 = [&](uint16_t v) {
    uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
    std::fwrite(b, 1, 2, f);
  };
  uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
  std::fwrite("RIFF", 1, 4, f);
  u32(36 + data_bytes);
  std::fwrite("WAVEfmt ", 1, 8, f);
  u32(16);
  u16(1);
  u16(1);
  u32(RATE);
  u32(RATE * 2);
  u16(2);
  u16(16);
  std::fwrite("data", 1, 4, f);
  u32(data_bytes);
  for (int16_t s : samples) u16(static_cast<uint16_t>(s));
  return std::fclose(f) == 0;
}

}  // namespace songc
