// The tile set: cuts the sheet into 16-pixel tiles (32 after doubling) and draws them.
#include "tile/tile.h"

#include "graph/g_layer.h"
#include "graph/g_load.h"
#include "os_tools/os_log.h"

tile_set tile_global;

tile_set tile_set_create(const g_image* image) {
  tile_set set{};
  OS_ASSERT(image != nullptr);
  if (!image) return set;
  if (image->pixels) set.sheet = g_scale_image(image, 1, 1);
  set.tile_width = TILE_SIZE;
  set.tile_height = TILE_SIZE;
  set.tiles_per_row = set.sheet.width / TILE_SIZE;
  set.tile_rows = set.sheet.height / TILE_SIZE;
  OS_ASSERT(set.tiles_per_row > 0 && set.tile_rows > 0);
  set.blit_mode = G_BLIT_COPY;
  return set;
}

tile_set tile_set_load() {
  g_image image = g_load_image("tiles.pcx");
  tile_set set = tile_set_create(&image);
  if (image.pixels) g_free_image(&image);
  return set;
}

void tile_set_scale2x() {
  if (tile_global.sheet.pixels) {
    g_image bigger = g_scale_image(&tile_global.sheet, 2, 2);
    g_free_image(&tile_global.sheet);
    tile_global.sheet = bigger;
  }
  tile_global.tile_width *= 2;
  tile_global.tile_height *= 2;
}

void tile_set_free() {
  OS_ASSERT(tile_global.sheet.pixels != nullptr);
  if (tile_global.sheet.pixels) g_free_image(&tile_global.sheet);
}

void tile_draw(const tile_set* set, int32_t n, int32_t x, int32_t y) {
  OS_ASSERT(set != nullptr && set->sheet.pixels != nullptr);
  // An empty set (missing sheet) has no tiles per row: nothing to draw, and no division by 0.
  if (!set || !set->sheet.pixels || set->tiles_per_row <= 0 || n < 0) return;
  const int32_t column = n % set->tiles_per_row;
  const int32_t row = n / set->tiles_per_row;
  g_blit(&set->sheet, x, y, column * set->tile_width, row * set->tile_height, set->tile_width,
         set->tile_height, set->blit_mode);
}

void tile_fill_screen(const tile_set* set) {
  OS_ASSERT(set != nullptr);
  if (!set || !set->sheet.pixels || set->tiles_per_row <= 0 || set->tile_width <= 0 ||
      set->tile_height <= 0)
    return;
  const int32_t sx = (TILE_BACKGROUND % set->tiles_per_row) * set->tile_width;
  const int32_t sy = (TILE_BACKGROUND / set->tiles_per_row) * set->tile_height;
  for (int32_t y = 0; y < G_FB_HEIGHT; y += set->tile_height)
    for (int32_t x = 0; x < G_FB_WIDTH; x += set->tile_width)
      g_blit(&set->sheet, x, y, sx, sy, set->tile_width, set->tile_height, set->blit_mode);
}

sprite tile_make_sprite() {
  return sprite_create(0, 0, tile_global.tile_width, tile_global.tile_height);
}
