// PNG and ICO files for the program's icons. Pictures are RGBA, 0xAABBGGRR per pixel (red in
// the low byte), row-major. Nothing here smooths: the icons are pixel art enlarged by whole
// multiples, so every file is written losslessly and compresses to little more than its runs.
#pragma once

#include <cstdint>
#include <vector>

struct icon_picture {
  int size = 0;  // width and height
  std::vector<uint32_t> pixels;
};

// The picture enlarged `factor` times, every pixel a factor x factor block.
icon_picture icon_enlarge(const std::vector<uint32_t> &pixels, int size, int factor);

// A PNG file (8-bit RGBA, no interlace). Its deflate stream is written here, with fixed codes
// and matches one byte back only, so the bytes depend on nothing but the picture.
std::vector<uint8_t> icon_png(const icon_picture &picture);

// A Windows icon file holding every picture (sizes 1..256, largest last is customary but not
// needed): pictures up to 64 pixels as 32-bit bitmaps with their mask, larger ones as PNG,
// as Windows Vista and later read them.
std::vector<uint8_t> icon_ico(const std::vector<icon_picture> &pictures);
