// PCX writer for the game's images: version 5, run-length encoded, 8 bits per plane,
// either one plane of palette indices (256-colour palette after the data) or three planes
// of red, green and blue. The encoder can hit an exact file size by choosing how each run
// of equal bytes is written, so the committed files keep the sizes the file table expects.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An uncompressed picture ready to write. planes 1: pixels holds one palette index per pixel
// and palette holds 768 bytes (red, green, blue for entries 0..255). planes 3: pixels holds
// red, green, blue per pixel and palette is unused. Rows are width pixels long; each stored
// scan line is padded with zeros up to bytes_per_line.
struct pcxw_image {
  int width = 0;
  int height = 0;
  int planes = 1;
  int bytes_per_line = 0;
  std::vector<uint8_t> pixels;
  std::vector<uint8_t> palette;
};

// The smallest and largest file a picture can be written to (header, data, palette).
struct pcxw_range {
  size_t min_size = 0;
  size_t max_size = 0;
};

// Checks the picture's shape; on a fault returns false and says why in *error.
bool pcxw_check(const pcxw_image &img, std::string *error);

// The range of exact file sizes pcxw_encode can reach for this picture.
pcxw_range pcxw_size_range(const pcxw_image &img);

// Writes the picture into exactly target_size bytes. Fails with a message when the picture is
// malformed or the size lies outside pcxw_size_range (or cannot be met, see the .cpp).
// Runs never cross the end of a stored scan line of one plane.
bool pcxw_encode(const pcxw_image &img, size_t target_size, std::vector<uint8_t> *out,
                 std::string *error);

// Writes the picture as small as possible.
bool pcxw_encode_min(const pcxw_image &img, std::vector<uint8_t> *out, std::string *error);
