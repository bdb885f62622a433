// The rules of one level: setting it up, the player's steps, the world step of rocks and
// enemies, contact, the cell animation, and keeping the level picture drawn cell by cell.
#include "game/game.h"
#include "os_tools/os_input.h"
#include "os_tools/os_log.h"
#include "os_tools/os_util.h"
#include "sprite/sprite.h"
#include "tile/tile.h"
#include "graph/g_layer.h"

static bool is_diamond(uint8_t c) { return c >= CELL_DIAMOND && c <= CELL_DIAMOND_LAST; }
static bool is_enemy(uint8_t c) { return c >= CELL_ENEMY && c <= CELL_ENEMY_LAST; }
static uint8_t cell(int32_t x, int32_t y) { return map_get_cell(&game.map, x, y); }

// Nearest whole multiple of size, halves away from zero.
static float snap(float value, int32_t size) {
  const float q = value / float(size);
  const int32_t n = q >= 0.0f ? int32_t(double(q) + 0.5) : -int32_t(0.5 - double(q));
  return float(n * size);
}

// --- level start -------------------------------------------------------------------------

// Steps 1 to 5 of a level start: everything before the map is read.
static void level_prepare(const char* song_name) {
  // Tile size in play comes from the tile set; an empty set still plays on a 32-pixel grid.
  game.tw = tile_global.tile_width > 0 ? tile_global.tile_width : 2 * TILE_SIZE;
  game.th = tile_global.tile_height > 0 ? tile_global.tile_height : 2 * TILE_SIZE;

  game.step_progress = 0.0f;
  game.stepping = false;
  game.step_state = STEP_DONE;  // not ready: the first step waits for the step timer
  game.step_timer = 0.0f;
  game.world_timer = 0.0f;
  game.anim_timer = 0.0f;
  game.diamonds_total = 0;
  game.diamonds_collected = 0;
  game.view_x = 0.0f;
  game.view_y = 0.0f;
  game.path_index = 0;
  game.path_char = CELL_PATH_END;
  game.move_dir = MOVE_NONE;
  game.move_time = 0.0f;
  game.wait_time = 0.0f;
  game.move_start_x = 0.0f;
  game.move_start_y = 0.0f;
  game.move_offset_x = 0.0f;
  game.move_offset_y = 0.0f;
  game.outside_time = 0.0f;
  game.end_timer = 0.0f;
  game.blink_timer = 0.0f;
  game.blink_on = false;

  sprite_set_anim(&game.player, 0, 2, 1);
  sprite_animate(&game.player, 0.0f);
  game.player_x = float(5 * game.tw);  // stands when the map has no start cell
  game.player_y = float(2 * game.th);
  game.target_x = game.player_x;
  game.target_y = game.player_y;

  game_change_song(song_name);
  game.game_state = GS_PLAYING;

  if (game.picture.pixels) g_free_image(&game.picture);
  if (game.map.cells || game.map.flags) map_free(&game.map);
}

// Steps 6 and 7: the new map, its picture with the first view drawn, and the cell scan.
static void level_install(map_t map) {
  game.map = map;
  const int64_t w = int64_t(map.width) * game.tw;
  const int64_t h = int64_t(map.height - 1) * game.th;
  // A silent run draws nothing: without a picture every redraw returns at once.
  if (!game.quiet && w > 0 && h > 0 && w <= INT32_MAX && h <= INT32_MAX)
    game.picture = g_create_image(int32_t(w), int32_t(h));
  redraw_cells(0, 0, GAME_VIEW_COLUMNS, GAME_VIEW_ROWS);

  for (int32_t y = 0; y < map.height; ++y) {
    for (int32_t x = 0; x < map.width; ++x) {
      const uint8_t c = cell(x, y);
      if (is_diamond(c)) game.diamonds_total++;
      if (is_enemy(c)) map_set_flags(&game.map, x, y, MAP_FLAG_UP);
      if (c == CELL_START) {
        game.player_x = float(x * game.tw);
        game.player_y = float(y * game.th);
        game.target_x = game.player_x;
        game.target_y = game.player_y;
        map_set_cell(&game.map, x, y, CELL_EMPTY);
      }
    }
  }
}

void level_start(const char* map_name, const char* song_name) {
  level_prepare(song_name);
  level_install(map_load(map_name));
}

void level_start_text(const char* text, uint32_t length, const char* song_name) {
  level_prepare(song_name);
  level_install(map_parse(reinterpret_cast<const uint8_t*>(text), length));
}

// --- drawing -----------------------------------------------------------------------------

void redraw_cells(int32_t x, int32_t y, int32_t w, int32_t h) {
  g_set_target(&game.picture);
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || !game.picture.pixels) return;
  for (int32_t cy = y; cy < y + h; ++cy) {
    for (int32_t cx = x; cx < x + w; ++cx) {
      const uint8_t c = cell(cx, cy);
      if (c == CELL_EMPTY) {
        g_fill_rect(cx * game.tw, cy * game.th, game.tw, game.th, 0);
      } else {
        tile_draw(&tile_global, c, cx * game.tw, cy * game.th);
      }
    }
  }
}

static void redraw_cell(int32_t x, int32_t y) { redraw_cells(x, y, 1, 1); }

void redraw_around_player() {
  const float tw = float(game.tw), th = float(game.th);
  redraw_cells(int32_t(game.player_x / tw - 1.0f), int32_t(game.player_y / th - 1.0f), 3, 3);
  g_set_target(&game.picture);
  game.player.x = game.player_x;
  game.player.y = game.player_y;
  if (game.picture.pixels) sprite_render(&game.player);

  // Contact: the player's own cell and the four beside it; diagonal neighbours are safe.
  const int32_t qx = int32_t(game.player_x / tw);
  const int32_t qy = int32_t(game.player_y / th);
  static constexpr int32_t DX[5] = {0, -1, 1, 0, 0};
  static constexpr int32_t DY[5] = {0, 0, 0, -1, 1};
  for (int32_t i = 0; i < 5; ++i)
    if (is_enemy(cell(qx + DX[i], qy + DY[i])) && game.game_state == GS_PLAYING) game_over();

  view_copy();
}

// --- the player --------------------------------------------------------------------------

static bool is_stepping_state(int32_t s) {
  return s == STEP_RIGHT || s == STEP_LEFT || s == STEP_UP || s == STEP_DOWN;
}

// Pushes the rock at (x, y) one cell along dx when that cell is empty.
static bool push_rock(int32_t x, int32_t y, int32_t dx) {
  if (cell(x + dx, y) != CELL_EMPTY) return false;
  map_set_cell(&game.map, x + dx, y, CELL_ROCK);
  redraw_cell(x + dx, y);
  map_set_cell(&game.map, x, y, CELL_EMPTY);  // the player's own redraw covers this cell
  return true;
}

void player_control(float dt) {
  const int32_t tw = game.tw, th = game.th;
  const int32_t cx = int32_t(double(game.player_x / float(tw)) + 0.5);
  const int32_t cy = int32_t(double(game.player_y / float(th)) + 0.5);
  int32_t ex = cx, ey = cy;

  if (game.game_state == GS_PLAYING && game.step_progress == 0.0f && game.step_state == STEP_READY) {
    bool started = true;
    if (os_get_key(OS_KEY_LEFT) != 0) {
      game.step_state = STEP_LEFT;
      game.target_x = game.player_x - float(tw);
      game.target_y = game.player_y;
      sprite_set_anim(&game.player, 0, 2, 1);
      ex = cx - 1;
    } else if (os_get_key(OS_KEY_RIGHT) != 0) {
      game.step_state = STEP_RIGHT;
      game.target_x = game.player_x + float(tw);
      game.target_y = game.player_y;
      sprite_set_anim(&game.player, 3, 5, 1);
      ex = cx + 1;
    } else if (os_get_key(OS_KEY_UP) != 0) {
      game.step_state = STEP_UP;
      game.target_x = game.player_x;
      game.target_y = game.player_y - float(th);
      ey = cy - 1;
    } else if (os_get_key(OS_KEY_DOWN) != 0) {
      game.step_state = STEP_DOWN;
      game.target_x = game.player_x;
      game.target_y = game.player_y + float(th);
      ey = cy + 1;
    } else {
      started = false;
    }
    if (started) {
      game.step_progress = 0.0f;
      game.step_timer = 0.0f;
      game.stepping = true;
    }
  }

  if (!is_stepping_state(game.step_state) && !game.stepping) game.step_progress = 0.0f;

  // The examined cell: the step's target in the tick it starts, else the cell underfoot.
  const uint8_t c = cell(ex, ey);
  bool blocked = false;
  if (c == CELL_DIRT) {
    map_set_cell(&game.map, ex, ey, CELL_EMPTY);
    redraw_cell(ex, ey);
  } else if (is_diamond(c)) {
    map_set_cell(&game.map, ex, ey, CELL_EMPTY);
    redraw_cell(ex, ey);
    game.diamonds_collected++;
    if (game.diamonds_collected == game.diamonds_total) level_complete();
  } else if (is_enemy(c) || c == CELL_EMPTY) {
    // goes on; contact is judged by redraw_around_player
  } else if (c == CELL_ROCK) {
    if (game.step_state == STEP_LEFT) {
      blocked = !push_rock(ex, ey, -1);
    } else if (game.step_state == STEP_RIGHT) {
      blocked = !push_rock(ex, ey, 1);
    } else {
      blocked = true;
    }
  } else {
    blocked = true;
  }
  // A blocked step leaves `stepping` set: no new step until its 0.2 s have run out.
  if (blocked) game.step_state = STEP_READY;

  game.step_timer += dt;
  if (game.step_timer >= GAME_STEP_TIME) {
    game.step_timer -= GAME_STEP_TIME;
    game.step_state = STEP_READY;
  }
  if (game.stepping) {
    game.world_timer -= dt * 0.5f;  // with the driver's full dt: the world at half speed
    if (game.world_timer < 0.0f) game.world_timer = 0.0f;
  }
}

void player_motion(float dt) {
  const int32_t tw = game.tw, th = game.th;
  if (game.stepping) {
    game.step_progress += dt;
    if (game.step_progress >= GAME_STEP_TIME) {
      game.step_progress = GAME_STEP_TIME;
      game.stepping = false;
    }
  }
  if (is_stepping_state(game.step_state)) {
    const float s = os_sin(float(double(game.step_progress) * (3.14 * 0.5 / 0.2)));
    switch (game.step_state) {
      case STEP_RIGHT: game.player_x = (game.target_x - float(tw)) + s * float(tw); break;
      case STEP_LEFT: game.player_x = (game.target_x + float(tw)) - s * float(tw); break;
      case STEP_UP: game.player_y = (game.target_y + float(th)) - s * float(th); break;
      default: game.player_y = (game.target_y - float(th)) + s * float(th); break;
    }
  }
  if (game.step_progress == GAME_STEP_TIME) {
    if (game.step_state != STEP_READY) game.step_state = STEP_DONE;
    game.player_x = snap(game.player_x, tw);
    game.player_y = snap(game.player_y, th);
    game.target_x = game.player_x;
    game.target_y = game.player_y;
    game.step_progress = 0.0f;
  }
  if (game.step_state != STEP_READY && game.step_state != STEP_DONE)
    sprite_animate(&game.player, dt * 10.0f);
}

// --- the world step ----------------------------------------------------------------------

// Neighbours in the order left, up, right, down, with the heading a move there takes.
static constexpr int32_t NB_DX[4] = {-1, 0, 1, 0};
static constexpr int32_t NB_DY[4] = {0, -1, 0, 1};
static constexpr uint8_t NB_HEADING[4] = {MAP_FLAG_LEFT, MAP_FLAG_UP, MAP_FLAG_RIGHT, MAP_FLAG_DOWN};

// An enemy tries its neighbours starting with the one on its left, so it follows the wall
// on its left-hand side.
static void enemy_move(int32_t x, int32_t y, uint8_t c, uint8_t f) {
  int32_t start;
  if (f & MAP_FLAG_UP) start = 0;          // left, up, right, down
  else if (f & MAP_FLAG_RIGHT) start = 1;  // up, right, down, left
  else if (f & MAP_FLAG_DOWN) start = 2;   // right, down, left, up
  else if (f & MAP_FLAG_LEFT) start = 3;   // down, left, up, right
  else return;
  for (int32_t k = 0; k < 4; ++k) {
    const int32_t i = (start + k) & 3;
    const int32_t nx = x + NB_DX[i], ny = y + NB_DY[i];
    if (cell(nx, ny) != CELL_EMPTY) continue;
    map_set_cell(&game.map, nx, ny, c);
    redraw_cell(nx, ny);
    map_set_cell(&game.map, x, y, CELL_VACATED);
    map_set_flags(&game.map, nx, ny, uint8_t(NB_HEADING[i] | MAP_FLAG_DONE));
    return;
  }
}

// An empty cell takes the rock above it, or one rolling off a neighbour's top.
static void fill_empty(int32_t x, int32_t y, int32_t px, int32_t py) {
  if (cell(x, y - 1) == CELL_ROCK) {
    map_set_cell(&game.map, x, y, CELL_ROCK);
    redraw_cell(x, y);
    map_set_cell(&game.map, x, y - 1, CELL_VACATED);
    if (game.game_state == GS_PLAYING && px == x && py == y + 1) game_over();
  }
  if (px == x && py == y - 1) return;
  // Roll right off a rock resting up-left, then left off one resting up-right.
  for (int32_t side = -1; side <= 1; side += 2) {
    if (cell(x + side, y - 1) == CELL_ROCK && cell(x, y - 1) == CELL_EMPTY &&
        cell(x + side, y) != CELL_EMPTY) {
      map_set_cell(&game.map, x, y - 1, CELL_ROCK);
      redraw_cell(x, y - 1);
      map_set_cell(&game.map, x + side, y - 1, CELL_VACATED);
    }
  }
}

bool world_step() {
  if (game.step_progress != 0.0f) return false;
  const int32_t px = int32_t(game.player_x / float(game.tw));
  const int32_t py = int32_t(game.player_y / float(game.th));
  const int32_t w = game.map.width, h = game.map.height;

  // Bottom-up, so a rock falls at most one cell per step.
  for (int32_t y = h - 1; y >= 0; --y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t f = map_get_flags(&game.map, x, y);
      if (f & MAP_FLAG_DONE) continue;
      const uint8_t c = cell(x, y);
      if (c == CELL_WEAK_WALL) {
        if (cell(x, y - 1) == CELL_ROCK) {
          map_set_cell(&game.map, x, y, CELL_ROCK);
          redraw_cell(x, y);
          map_set_cell(&game.map, x, y - 1, CELL_VACATED);
        }
      } else if (c == CELL_EMPTY) {
        if (!(x == px && y == py)) fill_empty(x, y, px, py);
      } else if (is_enemy(c) && game.game_state == GS_PLAYING) {
        enemy_move(x, y, c, f);
      }
      map_set_flags(&game.map, x, y, uint8_t(f | MAP_FLAG_DONE));
    }
  }
  // The vacated marks become empty again; every handled mark is dropped.
  for (int32_t y = 0; y < h; ++y) {
    for (int32_t x = 0; x < w; ++x) {
      const uint8_t f = map_get_flags(&game.map, x, y);
      if (cell(x, y) == CELL_VACATED) {
        map_set_cell(&game.map, x, y, CELL_EMPTY);
        redraw_cell(x, y);
      }
      map_set_flags(&game.map, x, y, uint8_t(f & ~MAP_FLAG_DONE));
    }
  }
  return true;
}

// --- animation ---------------------------------------------------------------------------

void animate_cells(float dt) {
  game.anim_timer += dt;
  if (game.anim_timer < GAME_ANIM_TIME) return;
  game.anim_timer -= GAME_ANIM_TIME;
  const int32_t vx = int32_t(game.view_x / float(game.tw));
  const int32_t vy = int32_t(game.view_y / float(game.th));
  for (int32_t y = vy + GAME_VIEW_ROWS; y >= vy; --y) {
    for (int32_t x = vx; x <= vx + GAME_VIEW_COLUMNS; ++x) {
      const uint8_t c = cell(x, y);
      uint8_t next;
      if (is_diamond(c)) next = c == CELL_DIAMOND_LAST ? CELL_DIAMOND : uint8_t(c + 1);
      else if (is_enemy(c)) next = c == CELL_ENEMY_LAST ? CELL_ENEMY : uint8_t(c + 1);
      else continue;
      const uint8_t f = map_get_flags(&game.map, x, y);
      map_set_cell(&game.map, x, y, next);
      map_set_flags(&game.map, x, y, f);
      redraw_cell(x, y);
    }
  }
}
