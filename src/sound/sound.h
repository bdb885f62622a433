// sound: the synthesiser and its music player, as the game sees it. Owns the two song slots
// with their voice banks, and the one song record the game plays, snd_music. The mixer and the
// sequencer run on the audio thread (audio/audio.h); every call below runs on the main thread
// and takes the audio lock around whatever the audio thread also reads, so a song is never
// freed or replaced while a block that reads it is being mixed.
#pragma once
#include <cstdint>

// A wavetable: one instrument's precomputed samples. {null, null, 0} is the empty table.
struct snd_wave {
  const char* label;  // "SIN", "TRI", "SQR", "NOI" or "SAW"; informative only
  float* samples;     // owned, from os_alloc
  int32_t count;
};

// Song states.
constexpr uint8_t SND_STOPPED = 0;
constexpr uint8_t SND_STARTING = 1;
constexpr uint8_t SND_PLAYING = 2;

// A parsed song with its own bank of eight instruments. The all-zero record is the empty song:
// it plays nothing and freeing it frees nothing.
struct snd_song {
  int32_t order_length;
  int32_t position;          // index of the order entry being played
  uint8_t* order;            // owned, order_length pattern numbers
  uint8_t** patterns;        // owned, pattern_count owned decoded patterns of 1536 bytes
  snd_wave* instruments;     // owned, instrument_count tables
  int32_t last_tick;         // time of the last played row, in units of 1102 samples
  int32_t instrument_count;  // 8 for a loaded song
  int32_t current_pattern;   // order[position]
  int32_t row;               // 0..63
  int32_t speed;             // time units per row
  int32_t jump_row;          // -1 for none
  uint8_t state;             // SND_STOPPED, SND_STARTING or SND_PLAYING
  uint8_t pattern_count;     // at most 255
};

// The song the game plays in slot 0.
extern snd_song snd_music;

// Start-up: logs "init sounds\n", opens the wave output (which starts the audio thread and
// queues four silent blocks), empties both slots and resets both voice banks.
void snd_init();

// Sets the master volume to 50/255, the game's level. Call right after snd_init.
void snd_set_default_volume();

// Loads and parses the embedded song `name` (e.g. "start.sqt") with its eight instrument
// tables (680 KB). The empty record when there is no such file. Touches no shared state, so
// it takes no lock; the caller owns the result until it hands it to snd_set_music.
snd_song snd_load_song(const char* name);

// Installs a loaded song as snd_music under the audio lock (ownership passes to snd_music).
// Call snd_free_music first when snd_music holds a song, else that song leaks.
void snd_set_music(const snd_song& song);

// Plays snd_music from its first row in slot 0 (stopping whatever slot 0 played).
void snd_play_music();

// Stops `song` wherever it plays and silences its voices; the slot becomes empty.
void snd_stop_song(snd_song* song);

// Stops snd_music and frees everything it owns; snd_music is left empty.
void snd_free_music();

// Shutdown: logs "deinit sounds\n", empties both slots, closes the wave output (ends the audio
// thread), then asserts that no instrument table is still allocated.
void snd_deinit();

// To change the music:  snd_free_music(); snd_set_music(snd_load_song("song1.sqt"));
//                        snd_play_music();
// At exit:              snd_stop_song(&snd_music); snd_free_music(); ... snd_deinit();
