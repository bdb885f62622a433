// snd_wave: the wavetables that every song's instruments read, their builders and the note
// table. Tables are built on the main thread when a song loads (snd_new_song) and freed when
// it is freed; the mixer only reads them.
#pragma once
#include <cstdint>

#include "sound/sound.h"

constexpr int32_t SND_TONE_LENGTH = 10000;    // sine, ramp, squares, triangle
constexpr int32_t SND_NOISE_LENGTH = 100000;  // noise
constexpr int32_t SND_NOISE_HOLD = 62;        // samples per noise value
constexpr int32_t SND_INSTRUMENTS = 8;        // tables in every song's bank
constexpr int32_t SND_NOTES = 120;            // 10 octaves of 12 semitones

// 32767 once snd_init has run, 0 before; the builders scale by it and the mixer clamps by it.
extern uint16_t snd_amplitude;
// Number of wavetables whose samples are allocated (the leak check of snd_deinit).
extern int32_t snd_live_waves;
// Note frequencies in Hz, index octave * 12 + semitone: 440 * 2^((i - 57) / 12) to 0.1 Hz.
extern const float snd_note_freq[SND_NOTES];

// Gives an empty table `count` zeroed samples (asserts wave empty and count >= 1).
void snd_wave_alloc(snd_wave* wave, int32_t count);
// Frees the samples of an allocated table and empties it.
void snd_wave_free(snd_wave* wave);
// 1 when every sample lies in -(amplitude >> 1) .. amplitude (NaN passes), else 0.
int32_t snd_wave_check(const snd_wave* wave);

// The five builders; each returns a freshly allocated table.
snd_wave snd_make_sine();
snd_wave snd_make_ramp();                // label "TRI"; rises over 1001 samples, then every 2001
snd_wave snd_make_square(float duty);    // duty in (0, 1): that share of 1000 samples is high
snd_wave snd_make_noise();               // draws os_rand, so main thread only
snd_wave snd_make_triangle();            // label "SAW"; period 2002 samples

// Zeroes the song record and gives it the bank of eight instruments in table order: sine,
// ramp, squares 0.5, 0.4, 0.3, 0.2, noise, triangle.
void snd_new_song(snd_song* song);
