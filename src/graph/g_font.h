// The bitmap font: a sheet of 18 x 19 cells holding codes 32 upwards, with a measured width
// per glyph, and the shared text buffer it draws. Owned by graph; the game keeps one font.
#pragma once
#include <cstdint>

#include "graph/g_image.h"

// A glyph's cell on the sheet and its measured width; all -1 when the code has no glyph.
struct g_glyph {
  int16_t x;
  int16_t y;
  int16_t width;
  int16_t height;
};
static_assert(sizeof(g_glyph) == 8, "the glyph table is 2048 bytes");

struct g_font {
  g_image sheet;     // owned copy of the sheet
  g_glyph* glyphs;   // 256 entries indexed by the unsigned character code, owned
  uint8_t cell_width;   // 18
  uint8_t cell_height;  // 19
  uint8_t spacing;      // extra pixels after each glyph; 0 when built (the game sets 2)
};

enum : int32_t { G_FONT_CELL_WIDTH = 18, G_FONT_CELL_HEIGHT = 19, G_TEXT_SIZE = 128 };

// The shared line of text that g_draw_text draws; zero-terminated.
extern char g_text[G_TEXT_SIZE];

// Formats into g_text; a line longer than the buffer is cut, never overrun.
void g_format_text(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
// Loads "c64.pcx" and builds the font from it.
g_font g_load_font();
// Builds the glyph table from a sheet; the font keeps its own copy of the image.
g_font g_create_font(const g_image* image);
// Draws g_text with the first cell's top-left corner at (x, y) on the current target.
void g_draw_text(const g_font* font, int32_t x, int32_t y);
// Frees the glyph table and the sheet.
void g_free_font(g_font* font);
