// The bitmap font: glyph table measured from the sheet, and proportional text drawing.
#include "graph/g_font.h"

#include <cstdarg>
#include <cstdio>

#include "graph/g_load.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"

char g_text[G_TEXT_SIZE];

void g_format_text(const char* format, ...) {
  va_list args;
  va_start(args, format);
  vsnprintf(g_text, sizeof g_text, format, args);  // a long line is cut, never overrun
  va_end(args);
}

g_font g_create_font(const g_image* image) {
  g_font font = {};
  OS_ASSERT(image != nullptr && image->pixels != nullptr);
  font.cell_width = G_FONT_CELL_WIDTH;
  font.cell_height = G_FONT_CELL_HEIGHT;
  font.spacing = 0;
  if (image && image->pixels) font.sheet = g_scale_image(image, 1, 1);
  font.glyphs = static_cast<g_glyph*>(os_alloc(256 * sizeof(g_glyph)));
  for (int32_t c = 0; c < 256; ++c) font.glyphs[c] = {-1, -1, -1, -1};

  const int32_t cw = font.cell_width, ch = font.cell_height;
  const int32_t sw = font.sheet.width, sh = font.sheet.height;
  const g_pixel* px = font.sheet.pixels;
  const g_pixel background = px ? px[0] : 0;
  int32_t cx = 0, cy = 0;
  for (int32_t code = 32; code < 256; ++code) {
    if (cx + cw > sw) {
      cx = 0;
      cy += ch;
    }
    g_glyph* g = &font.glyphs[code];
    *g = {int16_t(cx), int16_t(cy), int16_t(cw / 2), int16_t(ch)};  // background only: 9 wide
    // Scan columns from the cell's right edge; the first one holding ink gives the width.
    // A cell reaching past the sheet ends the whole table here.
    bool sheet_ends = false, measured = false;
    for (int32_t col = cx + cw - 1; col >= cx && !measured && !sheet_ends; --col) {
      for (int32_t row = cy; row < cy + ch; ++row) {
        if (col >= sw || row >= sh) {
          sheet_ends = true;
          break;
        }
        if (px[int64_t(row) * sw + col] != background) {
          g->width = int16_t(col - cx + 1);
          measured = true;
          break;
        }
      }
    }
    if (sheet_ends) break;
    cx += cw;
  }
  return font;
}

g_font g_load_font() {
  g_image image = g_load_image("c64.pcx");
  OS_ASSERT(image.pixels != nullptr);
  g_font font = g_create_font(&image);
  if (image.pixels) g_free_image(&image);
  return font;
}

void g_draw_text(const g_font* font, int32_t x, int32_t y) {
  OS_ASSERT(font != nullptr && font->glyphs != nullptr && font->sheet.pixels != nullptr);
  if (!font || !font->glyphs) return;
  const int32_t cw = font->cell_width;
  for (size_t i = 0; i < sizeof g_text && g_text[i]; ++i) {
    const g_glyph g = font->glyphs[uint8_t(g_text[i])];
    if (g.x >= 0) g_blit(&font->sheet, x, y, g.x, g.y, cw, g.height, G_BLIT_COPY);
    const int16_t advance = int16_t(g.width + font->spacing);
    x += advance <= cw ? advance : cw;  // a code without a glyph moves by spacing - 1
  }
}

void g_free_font(g_font* font) {
  OS_ASSERT(font != nullptr && font->glyphs != nullptr);
  if (!font) return;
  if (font->glyphs) os_free(&font->glyphs);
  if (font->sheet.pixels) g_free_image(&font->sheet);
}
