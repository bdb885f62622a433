// tile: one sheet image cut into equal square tiles numbered in reading order, drawn by
// number. The game keeps one tile set, tile_global, loaded from "tiles.pcx" and doubled;
// level cells, the background, the direction arrows and the player's frames come from it.
#pragma once
#include <cstdint>

#include "graph/g_image.h"
#include "sprite/sprite.h"

struct tile_set {
  g_image sheet;          // owned
  int32_t tile_width;     // 16 when built, 32 after tile_set_scale2x
  int32_t tile_height;
  int32_t tiles_per_row;  // sheet width / 16 at build time
  int32_t tile_rows;      // sheet height / 16 at build time
  uint8_t blit_mode;      // G_BLIT_COPY when built
};

enum : int32_t { TILE_SIZE = 16, TILE_BACKGROUND = 8 };

// The game's one tile set.
extern tile_set tile_global;

// A tile set of 16 x 16 tiles over a private copy of image (asserts at least one tile).
tile_set tile_set_create(const g_image* image);
// tile_set_create over "tiles.pcx"; the decoded image is freed again.
tile_set tile_set_load();
// Doubles tile_global: the sheet is replaced by a 2 x 2 enlargement, the tile size doubles.
void tile_set_scale2x();
// Frees tile_global's sheet (asserts that it has pixels).
void tile_set_free();
// Blits tile n at (x, y) of the current target; a number past the sheet draws nothing.
void tile_draw(const tile_set* set, int32_t n, int32_t x, int32_t y);
// Covers the 320 x 240 target with tile 8.
void tile_fill_screen(const tile_set* set);
// The player's sprite: frame 0 is tile 0 of tile_global, frames follow along the first row.
sprite tile_make_sprite();
