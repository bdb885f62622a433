// song_text: the readable song notation and its reader.
//
//   # a comment runs to the end of the line (a "#" inside a word, as in "G#5", is not one)
//   order 1 0 3 2          pattern numbers played in turn
//   size 812               exact size of the .sqt file (optional; smallest encoding without it)
//   pattern 0              following tracks belong to pattern 0 (numbered 0, 1, 2 ... in turn)
//   track 1                following rows belong to track 1 (0..3)
//   copy 0 2 +5            this track = track 2 of pattern 0, notes moved up 5 semitones
//   ROWS NOTE INS VOL CMD PAR
//
// ROWS is a row (0..63), a range "0-63", a stepped range "0-60/4", or a comma list of these.
// NOTE is "C-4", "F#5" or "---" (none); INS an instrument 0..7 or "."; VOL a hex digit 0..F
// or "."; CMD a command name (off up down arp time pat det vib stop jump pos speed), a raw
// command byte "$23", or "."; PAR two hex digits or "..". Missing trailing fields are absent.
// A later line for the same row and track replaces the earlier one.
#pragma once
#include <string>

#include "song_model.h"

namespace songc {

// Reads the notation; throws std::runtime_error("name:line: message") on any mistake.
song parse_song_text(const std::string& text, const std::string& name);

// Writes a song in the notation (one line per non-empty row), such that parse_song_text
// reads it back to the same song.
std::string format_song_text(const song& s);

}  // namespace songc
