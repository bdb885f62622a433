// sqt_codec: the song model to and from the game's .sqt bytes.
//
// Bytes: "SQ", order length (16-bit, high byte first), the order list, then each pattern as
// tracks 0..3 of rows 0..63. A row is either covered by a pending run of empty rows, or begins
// with an entry byte: 0x80 N starts a run of N empty rows (N = 0 means 256) that may pass into
// the following tracks of the same pattern, any other byte is the row's flags followed by one
// byte per present field. Every pattern ends with an explicit entry for row 63 of track 3, as
// the game's songs always have.
//
// A run of N rows costs 2 bytes where N explicit empty entries cost N, so a gap of empty rows
// can be written in any size from 2 up to its length (a single empty row only as 1 byte). The
// writer starts from the smallest encoding and widens gaps, in file order, until the wanted
// size is met exactly.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "song_model.h"

namespace songc {

struct size_range {
  long smallest;
  long largest;
};

// Smallest and largest possible .sqt size of a song.
size_range sqt_size_range(const song& s);

// Writes the song; with s.target_size >= 0 the result has exactly that many bytes.
// Throws std::runtime_error naming the possible range when the size cannot be met.
std::vector<uint8_t> sqt_write(const song& s);

// Reads .sqt bytes the way the game does: a wrong magic or an empty order list gives no
// patterns; a pattern cut short by the end of the data is dropped. `consumed` receives the
// offset just after the last complete pattern.
song sqt_read(const std::vector<uint8_t>& bytes, size_t* consumed);

}  // namespace songc
