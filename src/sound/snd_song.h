// snd_song: the .sqt song format and the sequencer that plays its rows on the voices.
//
// File: "SQ", order length (16-bit big-endian), the order list, then patterns to the end of
// the data. A pattern is 4 tracks of 64 rows; a row is 0x80 N (N empty rows, 0 meaning 256,
// running on into the next tracks of the pattern) or a flags byte followed by one byte per
// set bit 0..4: note, instrument, volume, command, parameter.
#pragma once
#include <cstdint>

#include "sound/sound.h"

constexpr int32_t SND_ROWS = 64;
constexpr int32_t SND_FIELDS = 5;           // note, instrument, volume, command, parameter
constexpr int32_t SND_PATTERN_BYTES = 1536;  // 24 runs of 64 rows
constexpr int32_t SND_MAX_PATTERNS = 255;
constexpr int32_t SND_TIME_UNIT = 1102;     // samples per sequencer time unit

// Command kinds (low nibble of the command byte).
enum : uint8_t {
  SND_CMD_NOTE_OFF = 0,
  SND_CMD_SLIDE_UP = 1,
  SND_CMD_SLIDE_DOWN = 2,
  SND_CMD_ARPEGGIO = 3,
  SND_CMD_TIMED = 4,
  SND_CMD_OVERRIDE = 5,
  SND_CMD_DETUNE = 6,
  SND_CMD_VIBRATO = 7,
  SND_CMD_STOP = 8,
  SND_CMD_JUMP = 11,
  SND_CMD_POSITION = 13,
  SND_CMD_SPEED = 15,
};

// Offset in a decoded pattern of field k (0..4) of track t, row r, and of its flags byte.
constexpr int32_t snd_field_at(int32_t t, int32_t k, int32_t r) { return (5 * t + k) * SND_ROWS + r; }
constexpr int32_t snd_flags_at(int32_t t, int32_t r) { return (20 + t) * SND_ROWS + r; }

// Parses a file image into *out (which it overwrites; free the old song first). The song
// always gets its eight instruments; a bad magic or empty order list leaves it without
// patterns. Never reads outside data: an order list longer than the data is cut to the bytes
// present, an unfinished last pattern is dropped, patterns past the 255th are ignored.
void snd_parse_song(snd_song* out, const uint8_t* data, uint32_t size);
// The same without the instruments: reads the order list and patterns into a song that has
// none yet, leaving its instrument bank as it is (snd_parse_song = snd_new_song + this).
void snd_parse_song_notes(snd_song* song, const uint8_t* data, uint32_t size);

// Adds one zeroed pattern at the end of the song's list (refused at 255 patterns).
void snd_add_pattern(snd_song* song);

// One sequencer step of the song in `slot`: plays its next row when the time has come.
// 1 when a row was played, else 0.
int32_t snd_tick(int32_t slot, snd_song* song);

// snd_tick for each slot that holds a song. Audio thread, once per finished block, lock held.
void snd_tick_all();

static_assert(SND_PATTERN_BYTES == 24 * SND_ROWS, "five fields and the flags for four tracks");
static_assert(snd_flags_at(3, SND_ROWS - 1) == SND_PATTERN_BYTES - 1);
