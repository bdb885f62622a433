// Counters of one level (see headless_counters.h): after each pass the map is compared with
// the one before. Rocks and enemies move at most one cell per pass, so every cell that holds
// a rock (or an enemy) now and did not before is matched with a neighbour that held one.
#include "platform_headless/headless_counters.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "game/game.h"
#include "os_tools/os_util.h"

namespace {

struct enemy_track {
  int32_t x, y;
  int32_t moves;
  int64_t last_move_ms;
  std::vector<int32_t> visited;  // cells (y * width + x) it has stood on
};

struct {
  headless_counters counts;
  int32_t state_before;  // game state after the pass before
  int32_t width, height;
  std::vector<uint8_t> cells;  // the map after the pass before
  std::vector<uint8_t> trail;  // cells the player has stood on in this level
  std::vector<enemy_track> enemies;
} watch;

bool is_enemy(uint8_t c) { return c >= CELL_ENEMY && c <= CELL_ENEMY_LAST; }
uint8_t before(int32_t x, int32_t y) {
  if (x < 0 || y < 0 || x >= watch.width || y >= watch.height) return CELL_EMPTY;
  return watch.cells[size_t(y) * watch.width + x];
}
uint8_t now(int32_t x, int32_t y) { return map_get_cell(&game.map, x, y); }
bool rock_left(int32_t x, int32_t y) { return before(x, y) == CELL_ROCK && now(x, y) != CELL_ROCK; }

void player_cell(int32_t* x, int32_t* y) {
  *x = int32_t(double(game.player_x / float(game.tw)) + 0.5);
  *y = int32_t(double(game.player_y / float(game.th)) + 0.5);
}

void remember_map() {
  watch.width = game.map.width;
  watch.height = game.map.height;
  watch.cells.assign(game.map.cells, game.map.cells + size_t(watch.width) * size_t(watch.height));
}

// The view's own wait-and-glide arithmetic, run ahead on a copy of its state from the pass
// that ended at time_ms (a pass in play: its own tick has already counted the time out of
// the view), as if the level went on with nobody collecting: the time of the first tick in
// which the end of the path ends the game. A pass in which the game's 16-bit millisecond
// clock wraps around runs no tick, as in the game.
int32_t time_path_ends_game(uint32_t time_ms, uint32_t step_ms) {
  const float dt = float((long double)step_ms * 0.001L);
  const float tw = float(game.tw), th = float(game.th);
  const float pic_w = float(game.map.width * game.tw), pic_h = float((game.map.height - 1) * game.th);
  float wait = game.wait_time, move_time = game.move_time, outside = game.outside_time;
  float x = game.view_x, y = game.view_y, x0 = game.move_start_x, y0 = game.move_start_y;
  float ox = game.move_offset_x, oy = game.move_offset_y;
  uint8_t dir = game.move_dir, index = game.path_index, path = game.path_char;
  if (path != CELL_PATH_END) outside = 0.0f;  // the player stands in the view from here on
  uint32_t t = time_ms;
  for (int32_t pass = 0; pass < 1000000; ++pass) {
    t += step_ms;
    if ((t & 0xFFFFu) < ((t - step_ms) & 0xFFFFu)) continue;
    float countdown = GAME_VIEW_WAIT - wait;
    if (countdown < 0.0f) countdown = 0.0f;
    path = map_get_cell(&game.map, index, game.map.height - 1);
    if (countdown > 0.0f) {
      wait += dt;
    } else {
      wait = 0.0f;
      move_time = 0.0f;
      dir = path == CELL_PATH_RIGHT ? MOVE_RIGHT : path == CELL_PATH_LEFT ? MOVE_LEFT
          : path == CELL_PATH_UP    ? MOVE_UP    : path == CELL_PATH_DOWN ? MOVE_DOWN : MOVE_NONE;
      x0 = x;
      y0 = y;
      ox = oy = 0.0f;
    }
    if (dir != MOVE_NONE) {
      move_time += dt;
      if (move_time >= GAME_VIEW_MOVE) {
        dir = MOVE_NONE;
        move_time = GAME_VIEW_MOVE;
        if (path != CELL_PATH_END) index++;
      } else {
        const float s = os_sin(float(double(move_time) * (3.14 * 0.5 / 6.0)));
        if (dir == MOVE_RIGHT) ox = s * tw * 10.0f;
        if (dir == MOVE_LEFT) ox = -s * tw * 10.0f;
        if (dir == MOVE_UP) oy = -s * th * 7.0f;
        if (dir == MOVE_DOWN) oy = s * th * 7.0f;
      }
      wait = 0.0f;
      x = x0 + ox;
      y = y0 + oy;
      if (x + 10.0f * tw > pic_w) x = pic_w - 10.0f * tw, move_time = GAME_VIEW_MOVE;
      if (y + 7.0f * th > pic_h) y = pic_h - 7.0f * th, move_time = GAME_VIEW_MOVE;
      if (x < 0.0f) x = 0.0f, move_time = GAME_VIEW_MOVE;
      if (y < 0.0f) y = 0.0f, move_time = GAME_VIEW_MOVE;
    }
    if (path != CELL_PATH_END) continue;
    const float left = GAME_OUTSIDE_TIME - outside;
    outside += dt;
    if (left <= 0.0f) return int32_t(t);
  }
  return -1;  // a path that never ends: no time limit
}

void begin_level(uint32_t time_ms, uint32_t step_ms) {
  watch.counts = headless_counters{};
  watch.counts.closest_enemy = -1;
  watch.counts.spare_ms = -1;
  remember_map();
  watch.trail.assign(watch.cells.size(), 0);
  watch.enemies.clear();
  for (int32_t y = 0; y < watch.height; ++y)
    for (int32_t x = 0; x < watch.width; ++x)
      if (is_enemy(now(x, y))) watch.enemies.push_back({x, y, 0, -1, {y * watch.width + x}});
  watch.counts.doom_ms = time_path_ends_game(time_ms, step_ms);
}

void count_rocks() {
  const int32_t tx = int32_t(game.target_x / float(game.tw)), ty = int32_t(game.target_y / float(game.th));
  for (int32_t y = 0; y < watch.height; ++y) {
    for (int32_t x = 0; x < watch.width; ++x) {
      if (now(x, y) != CELL_ROCK || before(x, y) == CELL_ROCK) continue;
      if (rock_left(x, y - 1)) {
        watch.counts.rock_falls++;
        if (before(x, y) == CELL_WEAK_WALL) watch.counts.walls_broken++;
        if (watch.trail[size_t(y) * watch.width + x]) watch.counts.trail_falls++;
      } else if (rock_left(x - 1, y) || rock_left(x + 1, y)) {
        // Sideways: a push when the player is stepping into the cell the rock left.
        const int32_t from = rock_left(x - 1, y) ? x - 1 : x + 1;
        if (from == tx && y == ty) watch.counts.pushes++;
        else watch.counts.rock_rolls++;
      }
    }
  }
}

void count_enemies(uint32_t time_ms) {
  static constexpr int32_t DX[4] = {-1, 0, 1, 0}, DY[4] = {0, -1, 0, 1};
  for (enemy_track& e : watch.enemies) {
    if (is_enemy(now(e.x, e.y))) continue;
    for (int32_t i = 0; i < 4; ++i) {
      const int32_t nx = e.x + DX[i], ny = e.y + DY[i];
      if (!is_enemy(now(nx, ny)) || is_enemy(before(nx, ny))) continue;
      bool taken = false;
      for (const enemy_track& other : watch.enemies) taken |= other.x == nx && other.y == ny;
      if (taken) continue;
      e.x = nx;
      e.y = ny;
      e.moves++;
      e.last_move_ms = time_ms;
      const int32_t at = ny * watch.width + nx;
      if (std::find(e.visited.begin(), e.visited.end(), at) == e.visited.end()) e.visited.push_back(at);
      watch.counts.enemy_moves++;
      break;
    }
  }
  watch.counts.patrol = 0;
  watch.counts.patrolling = 0;
  watch.counts.roam = 0;
  for (const enemy_track& e : watch.enemies) {
    if (e.moves > watch.counts.patrol) watch.counts.patrol = e.moves;
    if (int32_t(e.visited.size()) > watch.counts.roam) watch.counts.roam = int32_t(e.visited.size());
    if (e.moves >= HEADLESS_PATROL_MOVES && int32_t(e.visited.size()) >= HEADLESS_ROAM_CELLS) watch.counts.patrolling++;
  }
}

void measure_closest(uint32_t time_ms) {
  int32_t px, py;
  player_cell(&px, &py);
  for (const enemy_track& e : watch.enemies) {
    if (e.last_move_ms < 0 || int64_t(time_ms) - e.last_move_ms > int64_t(HEADLESS_MOVING_MS)) continue;
    if (int32_t(e.visited.size()) < HEADLESS_ROAM_CELLS) continue;  // shuffling in a pocket
    const int32_t d = abs(e.x - px) + abs(e.y - py);
    if (watch.counts.closest_enemy < 0 || d < watch.counts.closest_enemy) watch.counts.closest_enemy = d;
  }
}

}  // namespace

void headless_counters_reset() {
  watch.counts = headless_counters{};
  watch.counts.closest_enemy = -1;
  watch.counts.spare_ms = -1;
  watch.counts.doom_ms = -1;
  watch.state_before = -1;
  watch.width = watch.height = 0;
  watch.cells.clear();
  watch.trail.clear();
  watch.enemies.clear();
}

void headless_counters_observe(uint32_t time_ms, uint32_t step_ms) {
  const int32_t state = game.game_state;
  const int32_t state_before = watch.state_before;
  watch.state_before = state;
  if (!game.map.cells || game.tw <= 0 || game.th <= 0) return;
  if (state_before == GS_LOAD_LEVEL && state != GS_LOAD_LEVEL) {
    begin_level(time_ms, step_ms);
  } else if (state_before == GS_PLAYING && game.map.width == watch.width && game.map.height == watch.height) {
    count_rocks();
    count_enemies(time_ms);
    if (state == GS_PLAYING) measure_closest(time_ms);
    if ((state == GS_NEXT_LEVEL || state == GS_WON) && watch.counts.doom_ms >= 0)
      watch.counts.spare_ms = watch.counts.doom_ms - int32_t(time_ms);
    remember_map();
  }
  if (state == GS_PLAYING && !watch.trail.empty()) {
    int32_t px, py;
    player_cell(&px, &py);
    if (px >= 0 && py >= 0 && px < watch.width && py < watch.height) watch.trail[size_t(py) * watch.width + px] = 1;
  }
}

headless_counters headless_counters_get() { return watch.counts; }

namespace {
struct counter_name {
  const char* name;
  int32_t headless_counters::*field;
};
constexpr counter_name COUNTERS[] = {
    {"enemy_moves", &headless_counters::enemy_moves}, {"patrol", &headless_counters::patrol},
    {"patrolling", &headless_counters::patrolling},   {"roam", &headless_counters::roam},
    {"rock_falls", &headless_counters::rock_falls},
    {"rock_rolls", &headless_counters::rock_rolls},   {"trail_falls", &headless_counters::trail_falls},
    {"pushes", &headless_counters::pushes},           {"walls_broken", &headless_counters::walls_broken},
    {"closest_enemy", &headless_counters::closest_enemy}, {"spare_ms", &headless_counters::spare_ms},
    {"doom_ms", &headless_counters::doom_ms},
};
}  // namespace

bool headless_counter_value(const std::string& name, int32_t* out) {
  for (const counter_name& c : COUNTERS) {
    if (name != c.name) continue;
    *out = watch.counts.*c.field;
    return true;
  }
  return false;
}

std::string headless_counters_text() {
  std::string s;
  for (const counter_name& c : COUNTERS) {
    if (!s.empty()) s += "  ";
    s += std::string(c.name) + " " + std::to_string(watch.counts.*c.field);
  }
  return s;
}
