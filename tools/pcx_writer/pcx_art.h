// Builders that turn the text sources in assets/ into pictures for pcx_writer.
//
// Tile sheet (assets/tiles.txt): "colour <char> <index> <r> <g> <b>" lines give the palette,
// then 24 blocks "tile <n> <words>" of 16 rows of 16 characters each.
// Font (assets/font.txt): blocks "glyph <code> <words>" of up to 8 rows of up to 7 characters,
// 'X' lit and '.' dark; each design pixel becomes 2 x 2 white pixels of an 18 x 19 cell;
// a row written "top/bottom" sets its upper and lower pixel line apart.
// Title (assets/title.txt): palette lines, role lines and a coarse "logo" grid that is
// enlarged and given an outline, a drop shadow, a top highlight and a vertical gradient;
// "stamp <x> <y> [scale]" blocks (rows of palette characters, "_" see-through, closed by "end")
// are laid over it.
// Icon (assets/icon.txt): the word "icon" and 16 rows of 16 characters; '.' is see-through and
// every other character names a colour of the tile sheet's palette lines.
// Lines starting with ';' are comments everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "pcx_writer.h"

constexpr int ART_TILE_SIZE = 16;
constexpr int ART_TILE_COUNT = 24;
constexpr int ART_FONT_SHEET = 256;
constexpr int ART_FONT_CELL_W = 18;
constexpr int ART_FONT_CELL_H = 19;
constexpr int ART_FONT_PER_ROW = 14;
constexpr int ART_FONT_FIRST = 32;
constexpr int ART_FONT_LAST = 213;
constexpr int ART_FONT_ROWS = 8;
constexpr int ART_FONT_COLS = 7;
constexpr int ART_TITLE_W = 320;
constexpr int ART_TITLE_H = 100;
constexpr int ART_ICON_SIZE = 16;

// The exact sizes the game's file table lists.
constexpr size_t ART_TILES_SIZE = 3267;
constexpr size_t ART_FONT_SIZE = 34259;
constexpr size_t ART_TITLE_SIZE = 8252;

bool art_build_tiles(const std::string &text, pcxw_image *out, std::string *error);
bool art_build_font(const std::string &text, pcxw_image *out, std::string *error);
bool art_build_title(const std::string &text, pcxw_image *out, std::string *error);
// The icon as ART_ICON_SIZE x ART_ICON_SIZE pixels 0xAABBGGRR (red in the low byte, alpha 0
// see-through, 255 opaque), in the colours of the tile sheet's source.
bool art_build_icon(const std::string &icon_text, const std::string &tiles_text,
                    std::vector<uint32_t> *out, std::string *error);

// Top-left pixel of the sheet cell that holds a character code (32..213).
void art_font_cell(int code, int *x, int *y);
