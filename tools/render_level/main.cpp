// render_level: draws a level's whole picture (every cell, the start cell shown as the player)
// with the game's tile set, and writes it to an image.
//
//   render_level MAP_NAME OUT.png|OUT.ppm     e.g. render_level map2.txt map2.png
//   render_level --all DIR                    DIR/map0.png ... DIR/map6.png
//   render_level --levels FOLDER ...          the level files of FOLDER (see tumbler --levels)
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "game/game.h"
#include "graph/g_layer.h"
#include "platform_headless/headless_harness.h"
#include "tile/tile.h"

// Draws every cell of the map into one picture; empty cells show the background tile.
static bool render(const char* name, const std::string& out) {
  map_t map = map_load(name);
  bool ok = false;
  const int32_t tw = tile_global.tile_width, th = tile_global.tile_height;
  if (map.width > 0 && map.height > 1 && tw > 0 && th > 0) {
    g_image picture = g_create_image(map.width * tw, (map.height - 1) * th);
    g_set_target(&picture);
    for (int32_t y = 0; y < map.height - 1; ++y)
      for (int32_t x = 0; x < map.width; ++x) tile_draw(&tile_global, TILE_BACKGROUND, x * tw, y * th);
    // Cells over the ground as the screen stacks them: only their opaque pixels.
    const uint8_t mode = tile_global.blit_mode;
    tile_global.blit_mode = G_BLIT_KEY;
    for (int32_t y = 0; y < map.height - 1; ++y) {
      for (int32_t x = 0; x < map.width; ++x) {
        const uint8_t c = map_get_cell(&map, x, y);
        if (c == CELL_START) tile_draw(&tile_global, 3, x * tw, y * th);
        else if (c != CELL_EMPTY) tile_draw(&tile_global, c, x * tw, y * th);
      }
    }
    tile_global.blit_mode = mode;
    std::vector<uint32_t> pixels(picture.pixels, picture.pixels + size_t(picture.width) * picture.height);
    for (uint32_t& p : pixels) p |= 0xff000000u;
    ok = headless_write_picture(out, pixels.data(), picture.width, picture.height);
    g_set_layer(0);
    g_free_image(&picture);
    if (ok)
      printf("%s: %d x %d cells -> %s\n", name, map.width, map.height - 1, out.c_str());
    else
      fprintf(stderr, "%s: could not write %s\n", name, out.c_str());
  } else {
    fprintf(stderr, "%s: no level or no tile set\n", name);
  }
  map_free(&map);
  return ok;
}

int main(int argc, char** argv) {
  // --levels DIR first: the folder's level files, as the game reads them with that option.
  if (argc == 5 && std::string(argv[1]) == "--levels") {
    char message[256];
    if (!map_use_folder(argv[2], message, int32_t(sizeof message))) {
      fputs(message, stderr);
      return 2;
    }
    argv += 2;
    argc -= 2;
  }
  if (argc != 3) {
    fprintf(stderr, "usage: %s [--levels DIR] MAP_NAME OUT | --all DIR\n", argv[0]);
    return 2;
  }
  headless_game_start(16);  // the game's own start-up loads and doubles the tile set
  bool ok = true;
  if (std::string(argv[1]) == "--all") {
    std::filesystem::create_directories(argv[2]);
    for (int32_t i = 0; i < GAME_LEVEL_COUNT; ++i)
      ok = render(GAME_LEVELS[i].map, std::string(argv[2]) + "/map" + std::to_string(i) + ".png") && ok;
  } else {
    ok = render(argv[1], argv[2]);
  }
  const int32_t leaks = headless_game_stop();
  return ok && leaks == 0 ? 0 : 1;
}
