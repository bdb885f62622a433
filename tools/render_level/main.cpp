// render_level: draws a level's whole picture (every cell, the start cell shown as the player)
// with the game's tile set, under a caption with the level's idea (from the list in
// assets/levels/README.md), and writes it to an image.
//
//   render_level MAP_NAME OUT.png|OUT.ppm     e.g. render_level map2.txt map2.png
//   render_level --all DIR                    DIR/map0.png ... DIR/map6.png, and all seven
//                                             under each other in DIR/levels.png
//   render_level --levels FOLDER ...          the level files of FOLDER (see tumbler --levels),
//                                             without the shipped levels' captions
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "game/game.h"
#include "graph/g_layer.h"
#include "platform_headless/headless_harness.h"
#include "tile/tile.h"

static constexpr int32_t CAPTION_MARGIN = 6;
static constexpr g_pixel CAPTION_GROUND = 0xff000000;  // the glyphs' own ground
static bool shipped_levels = true;  // false with --levels: the captions belong to the shipped ones

// The idea of a level: the text after "- `MAP_NAME`: " in the list of the levels' README.
static std::string idea_of(const std::string& name) {
  std::ifstream in(std::string(TUMBLER_SOURCE_DIR) + "/assets/levels/README.md");
  const std::string key = "- `" + name + "`: ";
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, key.size(), key) == 0) return line.substr(key.size());
  return "";
}

static int32_t text_width(const std::string& text) {
  int32_t w = 0;
  for (unsigned char c : text) {
    const int32_t advance = game.font.glyphs[c].width + game.font.spacing;
    w += advance <= game.font.cell_width ? advance : game.font.cell_width;
  }
  return w;
}

// The caption broken into lines that fit the width, word by word.
static std::vector<std::string> caption_lines(const std::string& text, int32_t width) {
  std::vector<std::string> lines;
  std::string line, word;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != ' ') {
      word += text[i];
      continue;
    }
    const std::string longer = line.empty() ? word : line + " " + word;
    if (!line.empty() && text_width(longer) > width - 2 * CAPTION_MARGIN) {
      lines.push_back(line);
      line = word;
    } else {
      line = longer;
    }
    word.clear();
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

// Every cell of the map under its caption; empty cells show the background tile.
static g_image level_picture(const char* name) {
  map_t map = map_load(name);
  g_image picture = {0, 0, nullptr};
  const int32_t tw = tile_global.tile_width, th = tile_global.tile_height;
  if (map.width > 0 && map.height > 1 && tw > 0 && th > 0) {
    const int32_t width = map.width * tw;
    int number = -1;
    const std::string idea = shipped_levels ? idea_of(name) : "";
    const std::string caption = sscanf(name, "map%d.txt", &number) == 1 && !idea.empty() ? std::to_string(number) + ". " + idea : idea;
    const std::vector<std::string> lines = caption_lines(caption, width);
    const int32_t top = lines.empty() ? 0 : int32_t(lines.size()) * (game.font.cell_height + 2) + 2 * CAPTION_MARGIN;
    picture = g_create_image(width, top + (map.height - 1) * th);
    g_set_target(&picture);
    g_fill_rect(0, 0, width, top, CAPTION_GROUND);
    for (size_t i = 0; i < lines.size(); ++i) {
      snprintf(g_text, sizeof g_text, "%s", lines[i].c_str());
      g_draw_text(&game.font, CAPTION_MARGIN, CAPTION_MARGIN + int32_t(i) * (game.font.cell_height + 2));
    }
    for (int32_t y = 0; y < map.height - 1; ++y)
      for (int32_t x = 0; x < map.width; ++x) tile_draw(&tile_global, TILE_BACKGROUND, x * tw, top + y * th);
    // Cells over the ground as the screen stacks them: only their opaque pixels.
    const uint8_t mode = tile_global.blit_mode;
    tile_global.blit_mode = G_BLIT_KEY;
    for (int32_t y = 0; y < map.height - 1; ++y) {
      for (int32_t x = 0; x < map.width; ++x) {
        const uint8_t c = map_get_cell(&map, x, y);
        if (c == CELL_START) tile_draw(&tile_global, 3, x * tw, top + y * th);
        else if (c != CELL_EMPTY) tile_draw(&tile_global, c, x * tw, top + y * th);
      }
    }
    tile_global.blit_mode = mode;
    g_set_layer(0);
  } else {
    fprintf(stderr, "%s: no level or no tile set\n", name);
  }
  map_free(&map);
  return picture;
}

static bool write(const g_image& picture, const std::string& out, const char* what) {
  std::vector<uint32_t> pixels(picture.pixels, picture.pixels + size_t(picture.width) * picture.height);
  for (uint32_t& p : pixels) p |= 0xff000000u;
  const bool ok = headless_write_picture(out, pixels.data(), picture.width, picture.height);
  if (ok) printf("%s: %d x %d pixels -> %s\n", what, picture.width, picture.height, out.c_str());
  else fprintf(stderr, "%s: could not write %s\n", what, out.c_str());
  return ok;
}

// All the pictures under each other, a gap of background between them.
static bool write_sheet(std::vector<g_image>& pictures, const std::string& out) {
  int32_t width = 0, height = 0;
  for (const g_image& p : pictures) {
    width = p.width > width ? p.width : width;
    height += p.height + CAPTION_MARGIN;
  }
  g_image sheet = g_create_image(width, height);
  if (!sheet.pixels) return false;
  g_set_target(&sheet);
  int32_t y = 0;
  for (const g_image& p : pictures) {
    g_draw_image(&p, 0, y);
    y += p.height + CAPTION_MARGIN;
  }
  g_set_layer(0);
  const bool ok = write(sheet, out, "all levels");
  g_free_image(&sheet);
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
    shipped_levels = false;
  }
  if (argc != 3) {
    fprintf(stderr, "usage: %s [--levels DIR] MAP_NAME OUT | --all DIR\n", argv[0]);
    return 2;
  }
  headless_game_start(16);  // the game's own start-up loads the doubled tile set and the font
  bool ok = true;
  if (std::string(argv[1]) == "--all") {
    std::filesystem::create_directories(argv[2]);
    std::vector<g_image> pictures;
    for (int32_t i = 0; i < GAME_LEVEL_COUNT; ++i) {
      pictures.push_back(level_picture(GAME_LEVELS[i].map));
      ok = pictures.back().pixels &&
           write(pictures.back(), std::string(argv[2]) + "/map" + std::to_string(i) + ".png", GAME_LEVELS[i].map) && ok;
    }
    ok = ok && write_sheet(pictures, std::string(argv[2]) + "/levels.png");
    for (g_image& p : pictures)
      if (p.pixels) g_free_image(&p);
  } else {
    g_image picture = level_picture(argv[1]);
    ok = picture.pixels && write(picture, argv[2], argv[1]);
    if (picture.pixels) g_free_image(&picture);
  }
  const int32_t leaks = headless_game_stop();
  return ok && leaks == 0 ? 0 : 1;
}
