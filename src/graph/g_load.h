// Image files: PCX (8-bit indexed one-plane and 24-bit three-plane, run-length) and a small
// BMP subset (24 and 32 bits, bottom-up). Owned by graph; the game, the font and the tile
// set load their pictures here. Magenta (255, 0, 255) arrives as the empty pixel 0.
#pragma once
#include <cstdint>

#include "graph/g_image.h"

// Decodes the embedded file name: ".pcx"/".PCX" as PCX, anything else as BMP. The result
// owns new pixels; {0, 0, null} when the file is missing or not understood.
g_image g_load_image(const char* name);
// Decodes a PCX file held in memory. Never reads past data + size nor writes past the image.
g_image g_decode_pcx(const uint8_t* data, uint32_t size);
// Decodes a BMP file held in memory. Never reads past data + size nor writes past the image.
g_image g_decode_bmp(const uint8_t* data, uint32_t size);
