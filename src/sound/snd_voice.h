// snd_voice: the two song slots, their banks of ten voices, the voice operations the
// sequencer calls for every row, and the mixer. Everything here runs with the audio lock held:
// on the audio thread (sequencer step and mix) or inside the game-facing calls of sound.h.
#pragma once
#include <cstdint>

#include "platform.h"
#include "sound/sound.h"

constexpr int32_t SND_RATE = PLATFORM_WAVE_RATE;    // output samples per second
constexpr int32_t SND_BLOCK = PLATFORM_WAVE_BLOCK;  // samples per mixed block (about 100 ms)
constexpr int32_t SND_VOICES = 10;          // voices per bank; 0..3 play the song's tracks
constexpr int32_t SND_TRACKS = 4;
constexpr int32_t SND_SLOTS = 2;            // slot b plays on bank b; the game uses slot 0
constexpr int32_t SND_UNTIMED = -1000;      // `remaining` of a note that does not end by itself
constexpr uint8_t SND_INVERT_MODIFIER = 0x20;  // command high nibble: mix with inverted sign

struct snd_voice {
  const snd_wave* wave;  // not owned: a table of the playing song's bank
  float volume;          // gain now; glides to target_volume
  float target_volume;
  float arp_steps[2][3];  // per oscillator: base note, first and second arpeggio note
  float position[2];      // read positions of oscillators 0 and 1, in table samples
  float base_step[2];     // centre that vibrato swings around
  float goal_step[2];     // where the steps glide to
  float step[2];          // table samples per output sample
  float vibrato_rate;     // radians of vibrato phase per output sample
  float vibrato_depth;    // in step units
  int32_t pattern_override;  // -1, or the pattern this voice's track reads
  int32_t counter;           // vibrato and arpeggio clock, in output samples
  int32_t arp_index;         // 0..2
  int32_t remaining;         // samples left of a timed note, or SND_UNTIMED
  uint16_t semitone;
  uint16_t octave;
  uint8_t active;
  uint8_t effect;      // last command byte
  uint8_t parameter;   // its parameter
  uint8_t arp_parameter;  // non-zero: every new note re-applies this arpeggio
  uint8_t fade;
  uint8_t vibrato_on;
  uint8_t arp_on;
  uint8_t enabled;
};

extern snd_voice snd_banks[SND_SLOTS][SND_VOICES];
extern snd_song* snd_slots[SND_SLOTS];
extern int32_t snd_bank_selected;  // the bank the voice operations act on
extern float snd_master_volume;    // 1.0 until snd_set_default_volume
extern int32_t snd_arp_period;     // output samples per arpeggio step, shared by all voices

// Voice operations on voice v (0..9, asserted; others ignored) of the selected bank.
void snd_note_on(const snd_wave* wave, int32_t v, float frequency);
// Octave >= 10 or semitone >= 12 is reported and ignored.
void snd_play_note(int32_t octave, int32_t v, int32_t semitone, const snd_wave* wave);
void snd_note_off(int32_t v);
void snd_set_instrument(const snd_wave* wave, int32_t v);
void snd_set_volume(int32_t v, int32_t n);  // target = n / 255
void snd_effect(int32_t v, uint8_t command, uint8_t parameter);
// Resets bank b's voices to silence (enabled flags kept).
void snd_reset_bank(int32_t b);

// Stops `song` in its slot (no lock taken; sound.h's snd_stop_song wraps it).
void snd_stop_song_locked(snd_song* song);

// Mixes one block of SND_BLOCK samples into out.
void snd_mix(int16_t* out);
