// The editor's screen: the room around the cursor on layer 1 as the game would show it, and
// on layer 2 the cursor, the path's arrows, the texts, the palette and the open panel.
#include <cstdio>

#include "editor/ed_state.h"
#include "game/game.h"
#include "graph/g_font.h"
#include "graph/g_layer.h"
#include "tile/tile.h"

namespace {

constexpr int32_t ED_CELL = 32;                      // a cell on the screen, as in play
constexpr int32_t ED_ROOM_HEIGHT = ED_ROOM_ROWS * ED_CELL;  // 224: the grey bar starts here
constexpr int32_t ED_ICON = 16;
constexpr int32_t ED_ICON_STEP = 18;
constexpr int32_t ED_ICONS_X = 8;
constexpr int32_t ED_BAND = 20;                      // the text band at the top
constexpr int32_t ED_MARGIN = 14;                    // clear of the mask's dark edge

constexpr g_pixel ED_SHADE = 0xb0000000;     // cells outside the map
constexpr g_pixel ED_BAND_SHADE = 0x90000000;
constexpr g_pixel ED_PANEL = 0xd8000000;
constexpr g_pixel ED_WHITE = 0xffffffff;
constexpr g_pixel ED_YELLOW = 0xff00e0ff;
constexpr g_pixel ED_RED = 0xff2020ff;
constexpr g_pixel ED_GREEN = 0xff30d030;
constexpr g_pixel ED_ROOM_FILL = 0xff585858;
constexpr g_pixel ED_ROOM_HERE = 0xff909090;

// The tile that shows a cell code: the start as the player, codes past the sheet as black.
int32_t ed_tile_of(uint8_t code) {
  if (code == CELL_START) return 0;
  return code < 24 ? code : 23;
}

int32_t ed_text_width(const char* text) {
  if (!game.font.glyphs) return 0;
  int32_t w = 0;
  for (const char* p = text; *p; ++p) {
    const int32_t advance = game.font.glyphs[uint8_t(*p)].width + game.font.spacing;
    w += advance <= game.font.cell_width ? advance : game.font.cell_width;
  }
  return w;
}

// g_text drawn at (x, y) of `layer`, over what is there: the font's cells are copied whole,
// so the line is drawn into an image of its own first and only its opaque pixels go across.
void ed_text(int32_t layer, int32_t x, int32_t y) {
  if (!game.font.glyphs || !ed.line.pixels) return;
  g_set_target(&ed.line);
  g_fill_rect(0, 0, ed.line.width, ed.line.height, 0);
  g_draw_text(&game.font, x, 0);
  g_set_layer(layer);
  g_blit(&ed.line, 0, y, 0, 0, ed.line.width, ed.line.height, G_BLIT_KEY);
}

void ed_frame(int32_t x, int32_t y, int32_t w, int32_t h, int32_t thick, g_pixel colour) {
  g_fill_rect(x, y, w, thick, colour);
  g_fill_rect(x, y + h - thick, w, thick, colour);
  g_fill_rect(x, y, thick, h, colour);
  g_fill_rect(x + w - thick, y, thick, h, colour);
}

int32_t ed_room_x() { return ed.cursor_x / ED_ROOM_COLUMNS * ED_ROOM_COLUMNS; }
int32_t ed_room_y() { return ed.cursor_y / ED_ROOM_ROWS * ED_ROOM_ROWS; }

bool ed_outside(int32_t x, int32_t y) { return x >= ed.level.width || y >= ed.level.rows; }

void ed_draw_room() {
  g_set_layer(1);
  g_clear_layer(0);
  const int32_t rx = ed_room_x(), ry = ed_room_y();
  for (int32_t j = 0; j < ED_ROOM_ROWS; ++j) {
    for (int32_t i = 0; i < ED_ROOM_COLUMNS; ++i) {
      const int32_t x = rx + i, y = ry + j;
      if (ed_outside(x, y)) {
        g_fill_rect(i * ED_CELL, j * ED_CELL, ED_CELL, ED_CELL, ED_SHADE);
        continue;
      }
      const uint8_t code = map_get_cell(&ed.map, x, y);
      if (code != CELL_EMPTY) tile_draw(&tile_global, ed_tile_of(code), i * ED_CELL, j * ED_CELL);
    }
  }
}

// The arrows where the path takes the view out of the room shown, blinking as in play.
void ed_draw_path_arrows(const ed_path& path) {
  if (ed.blink - float(int32_t(ed.blink)) >= 0.5f) return;
  const int32_t rx = ed_room_x(), ry = ed_room_y();
  for (int32_t i = 0; i < path.moves; ++i) {
    // The room the view mostly covers before the move.
    const int32_t vx = (path.x[i] + ED_ROOM_COLUMNS / 2) / ED_ROOM_COLUMNS * ED_ROOM_COLUMNS;
    const int32_t vy = (path.y[i] + ED_ROOM_ROWS / 2) / ED_ROOM_ROWS * ED_ROOM_ROWS;
    if (vx != rx || vy != ry) continue;
    int32_t tile = 15, x = 320 - ED_CELL, y = (ED_ROOM_HEIGHT - ED_CELL) / 2;
    if (path.move[i] == CELL_PATH_LEFT) tile = 14, x = 0;
    if (path.move[i] == CELL_PATH_UP) tile = 12, x = (320 - ED_CELL) / 2, y = ED_BAND;
    if (path.move[i] == CELL_PATH_DOWN) tile = 13, x = (320 - ED_CELL) / 2, y = ED_ROOM_HEIGHT - ED_CELL;
    tile_draw(&tile_global, tile, x, y);
  }
}

void ed_draw_band(const char* left, const char* right) {
  g_set_layer(2);
  g_fill_rect(0, 0, 320, ED_BAND, ED_BAND_SHADE);
  g_format_text("%s", left);
  ed_text(2, ED_MARGIN, 1);
  // The right-hand words only where they fit beside the left-hand ones.
  if (right && right[0] && ED_MARGIN + ed_text_width(left) + 12 + ed_text_width(right) <= 320 - ED_MARGIN) {
    g_format_text("%s", right);
    ed_text(2, 320 - ED_MARGIN - ed_text_width(right), 1);
  }
}

const char* ed_cell_name(int32_t x, int32_t y) {
  if (ed_outside(x, y)) return "Outside";
  const uint8_t c = ed_level_char(&ed.level, x, y);
  for (const ed_kind& k : ED_KINDS_TABLE)
    if (k.c == c) return k.name;
  return map_get_cell(&ed.map, x, y) == CELL_EMPTY ? "Empty" : "Block";
}

void ed_draw_bar() {
  g_set_layer(2);
  for (int32_t i = 0; i < ED_KINDS; ++i) {
    const int32_t x = ED_ICONS_X + i * ED_ICON_STEP;
    g_blit(&ed.icons, x, ED_ROOM_HEIGHT, i * ED_ICON, 0, ED_ICON, ED_ICON, G_BLIT_COPY);
    if (i == ed.kind) ed_frame(x - 1, ED_ROOM_HEIGHT - 1, ED_ICON + 2, ED_ICON + 2, 1, ED_WHITE);
  }
  // Whether the level has a proof that it can be won, and whether it is still this level's.
  const char* proof = ed.proof == ED_PROOF_OK ? "won" : ed.proof == ED_PROOF_OLD ? "old win" : "not won";
  g_format_text("%s", proof);
  ed_text(2, 320 - ED_MARGIN - ed_text_width(proof), 240 - G_FONT_CELL_HEIGHT);
}

// The rooms as boxes, the cursor's room lit, and the path drawn room to room.
void ed_draw_overview(const ed_path& path, const char* below, const char* hint) {
  g_set_layer(2);
  g_fill_rect(0, ED_BAND, 320, ED_ROOM_HEIGHT - ED_BAND, ED_PANEL);
  const int32_t across = ed_level_rooms_across(&ed.level), down = ed_level_rooms_down(&ed.level);
  int32_t bw = 280 / across, bh = 130 / down;
  if (bw > 40) bw = 40;
  if (bh > 28) bh = 28;
  if (bw * 7 > bh * 10) bw = bh * 10 / 7;
  if (bh * 10 > bw * 7) bh = bw * 7 / 10;
  if (bw < 4) bw = 4;
  if (bh < 3) bh = 3;
  const int32_t x0 = (320 - across * bw) / 2, y0 = ED_BAND + 8 + (136 - down * bh) / 2;
  const int32_t here_x = ed.cursor_x / ED_ROOM_COLUMNS, here_y = ed.cursor_y / ED_ROOM_ROWS;
  for (int32_t ry = 0; ry < down; ++ry)
    for (int32_t rx = 0; rx < across; ++rx)
      g_fill_rect(x0 + rx * bw + 1, y0 + ry * bh + 1, bw - 2, bh - 2,
                  rx == here_x && ry == here_y ? ED_ROOM_HERE : ED_ROOM_FILL);
  // Room centres along the way (a view stopped at an edge shows between two rooms).
  auto cx = [&](int32_t vx) { return x0 + (vx * bw * 2 + ED_ROOM_COLUMNS * bw) / (2 * ED_ROOM_COLUMNS); };
  auto cy = [&](int32_t vy) { return y0 + (vy * bh * 2 + ED_ROOM_ROWS * bh) / (2 * ED_ROOM_ROWS); };
  for (int32_t i = 0; i < path.moves; ++i) {
    int32_t ax = cx(path.x[i]), ay = cy(path.y[i]), bx = cx(path.x[i + 1]), by = cy(path.y[i + 1]);
    const bool marked = ed.mark_move == i && ed.blink - float(int32_t(ed.blink)) < 0.5f;
    g_pixel colour = path.leaves[i] || marked ? ED_RED : ED_YELLOW;
    if (path.leaves[i]) {  // a stub towards the edge it cannot pass
      bx = ax + (path.move[i] == CELL_PATH_RIGHT ? bw / 2 : path.move[i] == CELL_PATH_LEFT ? -bw / 2 : 0);
      by = ay + (path.move[i] == CELL_PATH_DOWN ? bh / 2 : path.move[i] == CELL_PATH_UP ? -bh / 2 : 0);
    }
    const int32_t lx = ax < bx ? ax : bx, ly = ay < by ? ay : by;
    g_fill_rect(lx - 1, ly - 1, (ax > bx ? ax - bx : bx - ax) + 3, (ay > by ? ay - by : by - ay) + 3, colour);
  }
  g_fill_rect(cx(0) - 3, cy(0) - 3, 7, 7, ED_GREEN);
  if (path.moves > 0) g_fill_rect(cx(path.x[path.moves]) - 2, cy(path.y[path.moves]) - 2, 5, 5, ED_WHITE);
  g_format_text("%s", below);
  ed_text(2, (320 - ed_text_width(below)) / 2, 168);
  g_format_text("%s", hint);
  ed_text(2, (320 - ed_text_width(hint)) / 2, 190);
}

void ed_draw_lines(const char* const* lines, int32_t count, int32_t key_x, int32_t text_x) {
  g_set_layer(2);
  g_fill_rect(0, 0, 320, 240, ED_PANEL);
  const int32_t top = (240 - count * 20) / 2;
  for (int32_t i = 0; i < count; ++i) {
    const char* line = lines[i];
    const char* tab = line;
    while (*tab && *tab != '\t') ++tab;
    g_format_text("%.*s", int(tab - line), line);
    ed_text(2, *tab ? key_x : (320 - ed_text_width(g_text)) / 2, top + i * 20);
    if (*tab) {
      g_format_text("%s", tab + 1);
      ed_text(2, text_x, top + i * 20);
    }
  }
}

}  // namespace

void ed_screen_make() {
  ed.line = g_create_image(320, G_FONT_CELL_HEIGHT + 1);
  ed.icons = g_create_image(ED_ICON * ED_KINDS, ED_ICON);
  const g_image& sheet = tile_global.sheet;
  const int32_t tw = tile_global.tile_width, per_row = tile_global.tiles_per_row;
  for (int32_t i = 0; i < ED_KINDS && ed.icons.pixels; ++i) {
    const uint8_t c = ED_KINDS_TABLE[i].c;
    g_pixel* icon = ed.icons.pixels;
    const int32_t stride = ed.icons.width;
    if (c == ' ' || !sheet.pixels || tw < ED_ICON || per_row <= 0) {  // empty: a hollow square
      for (int32_t y = 0; y < ED_ICON; ++y)
        for (int32_t x = 0; x < ED_ICON; ++x)
          icon[y * stride + i * ED_ICON + x] = (x == 0 || y == 0 || x == ED_ICON - 1 || y == ED_ICON - 1) ? 0xff808080 : 0xff000000;
      continue;
    }
    // Every other pixel of the tile as it is drawn in play.
    const int32_t tile = ed_tile_of(c == 'W' ? CELL_WALL : c == 'X' ? CELL_DIRT : c == '#' ? CELL_ROCK
                                    : c == 'D' ? CELL_DIAMOND : c == 'E' ? CELL_ENEMY : c == 'H' ? CELL_WEAK_WALL
                                                                                            : CELL_START);
    const int32_t sx = (tile % per_row) * tw, sy = (tile / per_row) * tile_global.tile_height;
    for (int32_t y = 0; y < ED_ICON; ++y)
      for (int32_t x = 0; x < ED_ICON; ++x) {
        const int32_t px = sx + x * tw / ED_ICON, py = sy + y * tw / ED_ICON;
        g_pixel p = px < sheet.width && py < sheet.height ? sheet.pixels[py * sheet.width + px] : 0;
        icon[y * stride + i * ED_ICON + x] = p ? p : 0xff000000;
      }
  }
}

void ed_screen_free() {
  if (ed.line.pixels) g_free_image(&ed.line);
  if (ed.icons.pixels) g_free_image(&ed.icons);
}

void ed_screen_background() {
  g_set_layer(0);
  g_clear_layer(0);
  tile_fill_screen(&tile_global);
  g_fill_rect(0, ED_ROOM_HEIGHT, 320, 240 - ED_ROOM_HEIGHT, GAME_GREY);
}

bool ed_screen_cell_at(int32_t x, int32_t y, int32_t* cell_x, int32_t* cell_y) {
  if (x < 0 || x >= 320 || y < 0 || y >= ED_ROOM_HEIGHT) return false;
  *cell_x = ed_room_x() + x / ED_CELL;
  *cell_y = ed_room_y() + y / ED_CELL;
  return true;
}

int32_t ed_screen_icon_at(int32_t x, int32_t y) {
  if (y < ED_ROOM_HEIGHT || y >= 240 || x < ED_ICONS_X) return -1;
  const int32_t i = (x - ED_ICONS_X) / ED_ICON_STEP;
  return i < ED_KINDS ? i : -1;
}

void ed_screen_draw() {
  ed_draw_room();
  g_set_layer(2);
  g_clear_layer(0);
  const ed_path path = ed_trace_path(&ed.level);
  const bool dirty = ed.history[ed.current].serial != ed.saved_serial;
  const bool lit = ed.blink - float(int32_t(ed.blink * 2.0f)) * 0.5f < 0.25f;
  char left[64], right[32];
  snprintf(right, sizeof right, "%sH help", dirty ? "* " : "");
  if (ed.mode == ED_MODE_CELLS) {
    ed_draw_path_arrows(path);
    g_set_layer(2);
    const int32_t x = (ed.cursor_x - ed_room_x()) * ED_CELL, y = (ed.cursor_y - ed_room_y()) * ED_CELL;
    ed_frame(x, y, ED_CELL, ED_CELL, 2, lit ? ED_WHITE : ED_YELLOW);
    if (ed.mark_x >= 0 && lit && ed.mark_x / ED_ROOM_COLUMNS * ED_ROOM_COLUMNS == ed_room_x() &&
        ed.mark_y / ED_ROOM_ROWS * ED_ROOM_ROWS == ed_room_y())
      ed_frame((ed.mark_x - ed_room_x()) * ED_CELL + 3, (ed.mark_y - ed_room_y()) * ED_CELL + 3, ED_CELL - 6,
               ED_CELL - 6, 3, ED_RED);
    snprintf(left, sizeof left, "%d,%d %s", int(ed.cursor_x), int(ed.cursor_y), ed_cell_name(ed.cursor_x, ed.cursor_y));
  } else if (ed.mode == ED_MODE_PATH) {
    char below[64];
    if (path.moves == 0) snprintf(below, sizeof below, "No path: no limit");
    else snprintf(below, sizeof below, "%d move%s: %d s%s", int(path.moves), path.moves == 1 ? "" : "s",
                  int(path.seconds + 0.5f), path.ends ? " + 5 s" : "");
    ed_draw_overview(path, below, "Del: take back");
    snprintf(left, sizeof left, "Path: arrow adds");
  } else if (ed.mode == ED_MODE_ROOMS) {
    char below[64];
    snprintf(below, sizeof below, "%d x %d rooms", int(ed_level_rooms_across(&ed.level)),
             int(ed_level_rooms_down(&ed.level)));
    ed_draw_overview(path, below, ed.remove_armed ? "Arrow: that side" : "Del: remove");
    snprintf(left, sizeof left, ed.remove_armed ? "Remove rooms" : "Rooms: arrow adds");
  } else if (ed.mode == ED_MODE_HELP) {
    static const char* const HELP[] = {
        "Arrows\tmove", "1 - 8\tcell kind", "Space\tput it", "Mouse\tdraw", "P\tview's path", "R\trooms",
        "Z  Y\tundo, redo", "T\ttest-play", "S\tsave", "Esc\tleave",
    };
    ed_draw_lines(HELP, int32_t(sizeof HELP / sizeof HELP[0]), 24, 124);
    snprintf(left, sizeof left, "Keys");
    snprintf(right, sizeof right, "H back");
  } else if (ed.mode == ED_MODE_LEAVE) {
    static const char* const LEAVE[] = {"Not saved yet.", "", "S\tsave, leave", "Y\tjust leave", "N\tstay"};
    ed_draw_lines(LEAVE, int32_t(sizeof LEAVE / sizeof LEAVE[0]), 60, 100);
    snprintf(left, sizeof left, "Leave?");
    right[0] = 0;
  }
  if (ed.mode != ED_MODE_CELLS && ed.mode != ED_MODE_HELP) snprintf(right, sizeof right, "%s", dirty ? "*" : "");
  if (ed.message_time > 0.0f) snprintf(left, sizeof left, "%s", ed.message);
  ed_draw_band(left, right);
  ed_draw_bar();
}
