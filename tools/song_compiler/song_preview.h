// song_preview: renders a song to 16-bit mono samples at 22050 per second, for listening to a
// song while it is written. It follows the game's synthesiser (same tables, sequencer timing
// and effects) closely enough to judge a tune; the game's own mixer is the reference.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "song_model.h"

namespace songc {

// Renders `seconds` of the song (from its first row, as the game starts it).
std::vector<int16_t> render_preview(const song& s, double seconds);

// Writes samples as a 22050 Hz 16-bit mono WAV file; false when the file cannot be written.
bool write_wav(const std::string& path, const std::vector<int16_t>& samples);

}  // namespace songc
