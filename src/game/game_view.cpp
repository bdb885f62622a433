// The view: a window of 10 x 7 cells that waits six seconds, glides one room along the
// level's path in six more, and waits again; the countdown when the player falls behind.
#include "game/game.h"
#include "game/game_screen.h"
#include "graph/g_layer.h"
#include "os_tools/os_util.h"

static uint8_t move_for(uint8_t path_char) {
  switch (path_char) {
    case CELL_PATH_RIGHT: return MOVE_RIGHT;
    case CELL_PATH_LEFT: return MOVE_LEFT;
    case CELL_PATH_UP: return MOVE_UP;
    case CELL_PATH_DOWN: return MOVE_DOWN;
    default: return MOVE_NONE;
  }
}

void view_update(float dt) {
  const int32_t tw = game.tw, th = game.th;
  if (game.game_state == GS_PLAYING) game.countdown = GAME_VIEW_WAIT - game.wait_time;
  if (game.countdown < 0.0f) game.countdown = 0.0f;
  game.path_char = map_get_cell(&game.map, game.path_index, game.map.height - 1);

  game_draw_status_line();

  if (game.countdown > 0.0f) {
    game.wait_time += dt;
  } else {
    game.wait_time = 0.0f;
    game.move_time = 0.0f;
    game.move_dir = move_for(game.path_char);
    game.move_start_x = game.view_x;
    game.move_start_y = game.view_y;
    game.move_offset_x = 0.0f;
    game.move_offset_y = 0.0f;
  }
  if (game.move_dir == MOVE_NONE) return;

  game.move_time += dt;
  if (game.move_time >= GAME_VIEW_MOVE) {
    // The move ends where the previous tick put it: the sine never quite reaches 1.
    game.move_dir = MOVE_NONE;
    game.move_time = GAME_VIEW_MOVE;
    if (game.path_char != CELL_PATH_END) game.path_index++;
  } else {
    const float s = os_sin(float(double(game.move_time) * (3.14 * 0.5 / 6.0)));
    const int32_t vx = int32_t(game.view_x / float(tw));
    const int32_t vy = int32_t(game.view_y / float(th));
    switch (game.move_dir) {
      case MOVE_RIGHT:
        game.move_offset_x = s * float(tw) * 10.0f;
        redraw_cells(vx + GAME_VIEW_COLUMNS, vy, 1, GAME_VIEW_ROWS + 1);
        break;
      case MOVE_LEFT:
        game.move_offset_x = -s * float(tw) * 10.0f;
        redraw_cells(vx, vy, 1, GAME_VIEW_ROWS + 1);
        break;
      case MOVE_UP:
        game.move_offset_y = -s * float(th) * 7.0f;
        redraw_cells(vx, vy, GAME_VIEW_COLUMNS + 1, 1);
        break;
      default:
        game.move_offset_y = s * float(th) * 7.0f;
        redraw_cells(vx, vy + GAME_VIEW_ROWS, GAME_VIEW_COLUMNS + 1, 1);
        break;
    }
  }
  game.wait_time = 0.0f;
  game.view_x = game.move_start_x + game.move_offset_x;
  game.view_y = game.move_start_y + game.move_offset_y;

  // A move that would leave the level picture stops at its edge and ends next tick.
  const float pic_w = float(game.map.width * tw);
  const float pic_h = float((game.map.height - 1) * th);
  if (game.view_x + float(GAME_VIEW_COLUMNS * tw) > pic_w) {
    game.view_x = pic_w - float(GAME_VIEW_COLUMNS * tw);
    game.move_time = GAME_VIEW_MOVE;
  }
  if (game.view_y + float(GAME_VIEW_ROWS * th) > pic_h) {
    game.view_y = pic_h - float(GAME_VIEW_ROWS * th);
    game.move_time = GAME_VIEW_MOVE;
  }
  if (game.view_x < 0.0f) {
    game.view_x = 0.0f;
    game.move_time = GAME_VIEW_MOVE;
  }
  if (game.view_y < 0.0f) {
    game.view_y = 0.0f;
    game.move_time = GAME_VIEW_MOVE;
  }
}

void view_copy() {
  g_set_layer(1);
  if (!game.picture.pixels) return;
  g_blit(&game.picture, 0, 0, int32_t(game.view_x), int32_t(game.view_y), GAME_VIEW_COLUMNS * game.tw,
         GAME_VIEW_ROWS * game.th, G_BLIT_COPY);
}

bool view_outside_check(float dt, float* left) {
  if (game.game_state != GS_PLAYING) return false;
  // Fixed limits of the 320 x 240 screen, all strict, whatever the view's size in tiles.
  const bool inside = game.view_x < game.player_x && game.player_x < game.view_x + 320.0f &&
                      game.view_y < game.player_y && game.player_y < (game.view_y + 240.0f) - float(game.th);
  if (inside && game.path_char != CELL_PATH_END) {
    game.outside_time = 0.0f;
    return false;
  }
  const float l = GAME_OUTSIDE_TIME - game.outside_time;
  game.outside_time += dt;
  if (left) *left = l;
  if (l <= 0.0f) game_over();
  return true;
}
