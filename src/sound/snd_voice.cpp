// Voices, their effects and the mixer.
#include "sound/snd_voice.h"

#include <cstring>

#include "os_tools/os_log.h"
#include "os_tools/os_util.h"
#include "sound/snd_song.h"
#include "sound/snd_wave.h"

snd_voice snd_banks[SND_SLOTS][SND_VOICES];
snd_song* snd_slots[SND_SLOTS];
int32_t snd_bank_selected;
float snd_master_volume = 1.0f;
int32_t snd_arp_period;

static snd_voice* snd_voice_at(int32_t v) {
  OS_ASSERT(v >= 0 && v < SND_VOICES);
  if (v < 0 || v >= SND_VOICES) return nullptr;
  return &snd_banks[snd_bank_selected & 1][v];
}

// Table samples per output sample for a tone of `frequency` Hz (one period spans 1000).
static double snd_step_for(double frequency) { return 1000.0 / (double(SND_RATE) / frequency); }

// Brings a read position into 0 .. count - 1 whatever it holds.
static float snd_wrap(float position, int32_t count) {
  if (position >= 0.0f && position < float(count)) return position;
  if (!(position > -2.0e9f && position < 2.0e9f)) return 0.0f;  // NaN or beyond any table
  float wrapped = position - float(int32_t(position / float(count))) * float(count);
  if (wrapped < 0.0f) wrapped += float(count);
  if (!(wrapped >= 0.0f && wrapped < float(count))) wrapped = 0.0f;
  return wrapped;
}

void snd_note_on(const snd_wave* wave, int32_t v, float frequency) {
  snd_voice* voice = snd_voice_at(v);
  OS_ASSERT(wave != nullptr);
  OS_ASSERT(frequency > 0.0f);
  if (voice == nullptr || wave == nullptr || wave->samples == nullptr || !(frequency > 0.0f)) return;
  const float d = voice->goal_step[0] - voice->goal_step[1];  // the detune carried over
  voice->wave = wave;
  voice->target_volume = 1.0f;
  voice->position[1] = voice->position[0] + 500.0f;
  const double base = snd_step_for(frequency);
  for (int32_t i = 0; i < 2; ++i) {
    const float s = float(double(i) * double(d) + base);
    voice->goal_step[i] = voice->step[i] = voice->base_step[i] = s;
    voice->position[i] = snd_wrap(voice->position[i], wave->count);
  }
  voice->remaining = SND_UNTIMED;
  if (voice->arp_parameter != 0) snd_effect(v, SND_CMD_ARPEGGIO, voice->arp_parameter);
  voice->active = 1;
}

void snd_play_note(int32_t octave, int32_t v, int32_t semitone, const snd_wave* wave) {
  OS_ASSERT(octave >= 0 && octave < 10);
  OS_ASSERT(semitone >= 0 && semitone < 12);
  if (octave < 0 || octave >= 10 || semitone < 0 || semitone >= 12) return;
  const float frequency = snd_note_freq[octave * 12 + semitone];
  if (frequency == 0.0f) return;
  snd_voice* voice = snd_voice_at(v);
  if (voice == nullptr) return;
  voice->semitone = uint16_t(semitone);
  voice->octave = uint16_t(octave);
  snd_note_on(wave, v, frequency);
}

void snd_note_off(int32_t v) {
  snd_voice* voice = snd_voice_at(v);
  if (voice == nullptr) return;
  voice->active = 0;
  const snd_song* song = snd_slots[snd_bank_selected & 1];
  if (song != nullptr) voice->pattern_override = song->current_pattern;
}

void snd_set_instrument(const snd_wave* wave, int32_t v) {
  snd_voice* voice = snd_voice_at(v);
  OS_ASSERT(wave != nullptr);
  if (voice == nullptr || wave == nullptr || wave->samples == nullptr) return;
  voice->wave = wave;
  // From the long noise table to a short one the positions may lie past the new end.
  for (int32_t i = 0; i < 2; ++i) voice->position[i] = snd_wrap(voice->position[i], wave->count);
}

void snd_set_volume(int32_t v, int32_t n) {
  snd_voice* voice = snd_voice_at(v);
  OS_ASSERT(n >= 0 && n <= 255);
  if (voice == nullptr) return;
  voice->target_volume = float((1.0 / 255.0) * n);
}

// The two arpeggio notes above the voice's last note: offsets from the parameter's nibbles.
static void snd_set_arpeggio(snd_voice* voice, uint8_t parameter) {
  double s[2];
  const int32_t offsets[2] = {parameter >> 4, parameter & 15};
  for (int32_t j = 0; j < 2; ++j) {
    int32_t semitone = voice->semitone + offsets[j];
    int32_t octave = voice->octave;
    if (semitone >= 12) {
      semitone -= 12;
      if (octave < 9) octave++;
    }
    // Notes above the top of the table play the top note.
    int32_t index = octave * 12 + semitone;
    if (index >= SND_NOTES) index = SND_NOTES - 1;
    s[j] = snd_step_for(snd_note_freq[index]);
  }
  voice->arp_on = 1;
  voice->arp_parameter = parameter;
  const float dd = voice->base_step[1] - voice->base_step[0];
  for (int32_t i = 0; i < 2; ++i) {
    voice->arp_steps[i][0] = voice->base_step[i];
    voice->arp_steps[i][1] = float(double(i) * double(dd) + s[0]);
    voice->arp_steps[i][2] = float(double(i) * double(dd) + s[1]);
  }
}

void snd_effect(int32_t v, uint8_t command, uint8_t parameter) {
  snd_voice* voice = snd_voice_at(v);
  if (voice == nullptr) return;
  if (command != voice->effect) {
    voice->effect = command;
    voice->counter = 0;
    voice->arp_index = 0;
  }
  voice->parameter = parameter;
  switch (command & 15) {
    case SND_CMD_TIMED:
      voice->remaining = parameter * SND_BLOCK;
      voice->fade = 1;
      break;
    case SND_CMD_ARPEGGIO:
      snd_set_arpeggio(voice, parameter);
      break;
    case SND_CMD_SLIDE_UP:
      if (parameter != 0)
        for (int32_t i = 0; i < 2; ++i)
          voice->goal_step[i] = float(double(voice->goal_step[i]) + snd_step_for(parameter));
      break;
    case SND_CMD_SLIDE_DOWN:
      if (parameter != 0)
        for (int32_t i = 0; i < 2; ++i) {
          float g = float(double(voice->goal_step[i]) - snd_step_for(parameter));
          voice->goal_step[i] = g < 0.0f ? 0.0f : g;
        }
      break;
    case SND_CMD_DETUNE:
      voice->goal_step[1] = voice->base_step[1] =
          float(double(voice->goal_step[0]) + double(parameter) * double(0.01f));
      break;
    case SND_CMD_VIBRATO:
      voice->vibrato_on = 1;
      voice->vibrato_depth = float(double(parameter & 15) * 0.1);
      voice->vibrato_rate = float(0.01 / double((parameter >> 4) + 1));
      break;
    default:
      break;
  }
  if (command == 0) {
    voice->target_volume = 1.0f;
    voice->vibrato_on = 0;
    voice->arp_parameter = 0;
    voice->fade = 0;
    voice->arp_on = 0;
    voice->vibrato_depth = 0.0f;
    voice->vibrato_rate = 0.0f;
    voice->effect = 0;
    voice->counter = 0;
    voice->arp_index = 0;
  }
}

void snd_reset_bank(int32_t b) {
  OS_ASSERT(b >= 0 && b < SND_SLOTS);
  if (b < 0 || b >= SND_SLOTS) return;
  for (snd_voice& voice : snd_banks[b]) {
    const uint8_t enabled = voice.enabled;
    voice = snd_voice{};
    voice.volume = 1.0f;
    voice.target_volume = 1.0f;
    voice.pattern_override = -1;
    voice.enabled = enabled;
  }
}

void snd_stop_song_locked(snd_song* song) {
  OS_ASSERT(song != nullptr);
  int32_t slot = snd_bank_selected & 1;
  for (int32_t s = 0; s < SND_SLOTS; ++s)
    if (snd_slots[s] == song) slot = s;
  const int32_t remembered = snd_bank_selected;
  snd_bank_selected = slot;
  if (song != nullptr) song->state = SND_STOPPED;
  for (int32_t v = 0; v < SND_VOICES; ++v) snd_note_off(v);
  snd_slots[slot] = nullptr;
  snd_bank_selected = remembered;
}

// Adds one output sample of one voice to acc, term by term, and advances the voice.
static inline void snd_voice_sample(snd_voice* voice, float* acc) {
  if (voice->volume != voice->target_volume)
    voice->volume = float(double(voice->target_volume - voice->volume) * 0.01 + double(voice->volume));
  const bool inverted = (voice->effect & 0xF0) == SND_INVERT_MODIFIER;
  const float* samples = voice->wave->samples;
  const int32_t count = voice->wave->count;
  const float first = samples[int32_t(voice->position[0])] * voice->volume;
  *acc = inverted ? *acc - first : *acc + first;
  if (voice->step[0] != voice->step[1]) {
    const float second = samples[int32_t(voice->position[1])] * voice->volume;
    *acc = inverted ? *acc + second : *acc - second;
  }
  for (int32_t i = 0; i < 2; ++i) {
    if (voice->goal_step[i] != voice->step[i])
      voice->step[i] = voice->base_step[i] =
          float(double(voice->goal_step[i] - voice->step[i]) * 0.001 + double(voice->step[i]));
    voice->position[i] = voice->position[i] + voice->step[i];
  }
  if (voice->remaining > 0) {
    voice->remaining--;
    if (voice->remaining == 0) voice->active = 0;
    if (voice->remaining >= 1 && voice->fade && voice->target_volume > 0.0f)
      voice->target_volume -= voice->target_volume / float(voice->remaining);
  }
  if (voice->vibrato_on) {
    voice->counter = int32_t(uint32_t(voice->counter) + 1u);
    const float swing = os_sin(float(voice->counter) * voice->vibrato_rate) * voice->vibrato_depth;
    for (int32_t i = 0; i < 2; ++i) voice->step[i] = voice->goal_step[i] = swing + voice->base_step[i];
  }
  if (voice->arp_on) {
    voice->counter = int32_t(uint32_t(voice->counter) + 1u);
    if (voice->counter >= snd_arp_period) {
      voice->counter = 0;
      voice->arp_index = voice->arp_index >= 2 ? 0 : voice->arp_index + 1;
      for (int32_t i = 0; i < 2; ++i) voice->step[i] = voice->goal_step[i] = voice->arp_steps[i][voice->arp_index];
    }
  }
  for (int32_t i = 0; i < 2; ++i) {
    float p = voice->position[i];
    if (p >= float(count)) p -= float(count);
    if (p < 0.0f) p += float(count);
    // Steps longer than a table (slides piled up, huge detunes) need a full reduction.
    if (!(p >= 0.0f && p < float(count))) p = snd_wrap(p, count);
    voice->position[i] = p;
  }
}

void snd_mix(int16_t* out) {
  OS_ASSERT(out != nullptr);
  if (out == nullptr) return;
  const float high = float(snd_amplitude);
  const float low = -float(snd_amplitude >> 1);
  const float master = snd_master_volume;
  // No voice starts during a block, so the voices that can sound are known up front, in
  // mixing order; a timed note may still end inside the block.
  snd_voice* voices[SND_SLOTS * SND_VOICES];
  int32_t candidates = 0;
  for (int32_t b = 0; b < SND_SLOTS; ++b)
    for (snd_voice& voice : snd_banks[b])
      if (voice.active && voice.enabled && voice.wave != nullptr && voice.wave->samples != nullptr)
        voices[candidates++] = &voice;
  for (int32_t n = 0; n < SND_BLOCK; ++n) {
    float acc = 0.0f;
    int32_t live = 0;
    for (int32_t c = 0; c < candidates; ++c) {
      if (!voices[c]->active) continue;
      live++;
      snd_voice_sample(voices[c], &acc);
    }
    if (live == 0) {
      memset(out, 0, sizeof(int16_t) * SND_BLOCK);
      return;
    }
    const float value = master * acc;
    int32_t sample;
    if (value != value)
      sample = 0;
    else if (value >= high)
      sample = int32_t(high);
    else if (value <= low)
      sample = int32_t(low);
    else
      sample = int32_t(value);
    out[n] = int16_t(sample);
  }
}
