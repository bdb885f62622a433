// song_model: the host-side picture of a song that the song compiler reads from text, writes
// as .sqt bytes, reads back from .sqt bytes and renders to a preview WAV.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace songc {

constexpr int TRACKS = 4;
constexpr int ROWS = 64;
constexpr int FIELDS = 5;  // note, instrument, volume, command, parameter

enum field_index { F_NOTE = 0, F_INSTRUMENT = 1, F_VOLUME = 2, F_COMMAND = 3, F_PARAMETER = 4 };

// Command kinds (low nibble of the command byte).
enum command_kind : uint8_t {
  CMD_NOTE_OFF = 0,
  CMD_SLIDE_UP = 1,
  CMD_SLIDE_DOWN = 2,
  CMD_ARPEGGIO = 3,
  CMD_TIMED = 4,
  CMD_PATTERN = 5,
  CMD_DETUNE = 6,
  CMD_VIBRATO = 7,
  CMD_STOP = 8,
  CMD_JUMP = 11,
  CMD_POSITION = 13,
  CMD_SPEED = 15,
};

// One row of one track: flag bit k set means field k is present.
struct cell {
  uint8_t flags = 0;
  uint8_t field[FIELDS] = {0, 0, 0, 0, 0};
  bool operator==(const cell& other) const;
  bool empty() const { return (flags & 0x1F) == 0; }
};

struct pattern {
  cell rows[TRACKS][ROWS];
};

struct song {
  std::vector<uint8_t> order;
  std::vector<pattern> patterns;
  long target_size = -1;  // exact .sqt size wanted; -1 for the smallest encoding
};

// Note byte from octave and semitone (high nibble octave, low nibble semitone).
inline uint8_t note_byte(int octave, int semitone) {
  return static_cast<uint8_t>((octave << 4) | semitone);
}

// Text form of a note byte, e.g. "C-4", "F#5".
std::string note_name(uint8_t note);

}  // namespace songc
