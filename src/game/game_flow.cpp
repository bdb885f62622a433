// The game's top level: the three hooks the frame clock calls, the state machine of title,
// level, " Game Over", "Next Level" and "You Did IT!", the texts and curtains, the songs.
#include <cstdio>
#include <cstdlib>

#include "editor/editor.h"
#include "game/game.h"
#include "game/game_screen.h"
#include "graph/g_display.h"
#include "graph/g_font.h"
#include "graph/g_layer.h"
#include "graph/g_load.h"
#include "graph/g_present.h"
#include "proof/proof.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_util.h"
#include "platform.h"
#include "sound/sound.h"
#include "tile/tile.h"

game_record game;

const game_level GAME_LEVELS[GAME_LEVEL_COUNT] = {
    {MAP_LEVEL_FILES[0], "song1.sqt"}, {MAP_LEVEL_FILES[1], "song2.sqt"}, {MAP_LEVEL_FILES[2], "song3.sqt"},
    {MAP_LEVEL_FILES[3], "song2.sqt"}, {MAP_LEVEL_FILES[4], "song4.sqt"}, {MAP_LEVEL_FILES[5], "song3.sqt"},
    {MAP_LEVEL_FILES[6], "start.sqt"},
};

const char* game_state_name(int32_t state) {
  switch (state) {
    case GS_PLAYING: return "playing";
    case GS_GAME_OVER: return "game_over";
    case GS_LOAD_LEVEL: return "load_level";
    case GS_NEXT_LEVEL: return "next_level";
    case GS_WON: return "won";
    case GS_TITLE: return "title";
    default: return nullptr;
  }
}

static constexpr uint32_t GAME_MAGENTA = 0xffff00ff;
static constexpr uint32_t GAME_BLACK = 0xff000000;

// --- songs and end actions -----------------------------------------------------------------

void game_change_song(const char* name) {
  snd_free_music();
  snd_set_music(snd_load_song(name));
  snd_play_music();
}

void title_enter() {
  os_set_last_key(0);  // only a key pressed from now on starts a game
  game.game_state = GS_TITLE;
  game_change_song("start.sqt");
}

void level_complete() {
  game.level_index++;
  game.end_timer = 0.0f;
  game.game_state = GS_NEXT_LEVEL;
  if (game.level_index >= map_level_count()) {  // one level alone (--level) is the last
    game.level_index = 0;
    game.game_state = GS_WON;
  }
  game_change_song("did_it.sqt");
}

void game_over() {
  game.end_timer = 0.0f;
  sprite_set_anim(&game.player, 20, 20, 0);  // the dead player
  sprite_animate(&game.player, 0.0f);
  game.game_state = GS_GAME_OVER;
  game_change_song("game_over.sqt");
}

void game_select_level(uint8_t index) { game.level_index = uint8_t(index % GAME_LEVEL_COUNT); }

void game_play_text(const uint8_t* text, uint32_t length, uint8_t index) {
  game_select_level(index);
  game.own_text = text;
  game.own_length = length;
  game.end_timer = 0.0f;
  game.game_state = GS_LOAD_LEVEL;
}

// --- texts ---------------------------------------------------------------------------------

static int32_t gw() { return game.font.cell_width; }
static int32_t gh() { return game.font.cell_height; }

// Draws g_text on layer 2.
static void draw_text(int32_t x, int32_t y) {
  g_set_layer(2);
  if (game.font.glyphs) g_draw_text(&game.font, x, y);
}

// A text centred on the screen's middle row; `trim` characters are left out of its width.
static void draw_centred(const char* text, int32_t trim) {
  snprintf(g_text, sizeof g_text, "%s", text);
  const int32_t length = os_strlen(g_text);
  draw_text((320 - (length - trim) * gw()) / 2, 120 - gh() / 2);
}

void game_draw_status_line() {
  g_set_layer(2);
  g_clear_layer(0);
  snprintf(g_text, sizeof g_text, "%02d %d/%d lvl:%d", int32_t(game.countdown), game.diamonds_collected,
           game.diamonds_total, int32_t(game.level_index));
  draw_text(10, 240 - gh());
}

// --- hooks ---------------------------------------------------------------------------------

void game_init() {
  if (pf_active()) return pf_start();  // a proof played silently: straight to its level
  const bool fullscreen = platform_ask_yes_no("Use fullscreen mode", "Select display mode");
  g_init_display(fullscreen);
  game.level_index = 0;
  g_create_layer(1);
  g_create_layer(2);
  g_create_layer(3);

  g_set_layer(3);
  game.mask = g_create_image(320, 240);
  mask_build(&game.mask);
  g_draw_image(&game.mask, 0, 0);

  tile_global = tile_set_load();
  g_make_transparent(&tile_global.sheet, GAME_MAGENTA);
  tile_set_scale2x();

  game.title = g_load_image("title.pcx");

  snd_init();
  snd_set_default_volume();

  game.font = g_load_font();
  game.font.spacing = 2;
  g_make_transparent(&game.font.sheet, GAME_BLACK);
  if (game.font.sheet.pixels) g_outline_image(&game.font.sheet);

  game.player = tile_make_sprite();
  if (ed_active()) ed_start();
  else title_enter();
}

static void tick_title(float dt) {
  game.title_bob += 2.0f * dt;
  game.title_blink += dt;

  g_set_layer(1);
  g_clear_layer(GAME_GREY);
  if (game.title.pixels)
    g_draw_image(&game.title, (320 - game.title.width) / 2, abs(int32_t(os_sin(game.title_bob) * 30.0f)));

  g_set_layer(2);
  g_clear_layer(0);
  snprintf(g_text, sizeof g_text, "Collect all diamonds");
  draw_text(int32_t(os_sin(game.title_bob) * 20.0f + 5.0f), 140);
  snprintf(g_text, sizeof g_text, "and follow the screen..");
  draw_text(int32_t(os_sin(game.title_bob + 0.5f) * 20.0f + 5.0f), 160);
  if (game.title_blink < 1.0f) {
    snprintf(g_text, sizeof g_text, "start game");
    draw_text((320 - (os_strlen(g_text) - 2) * gw()) / 2, (120 - gh()) * 2);
  }
  if (game.title_blink > 2.0f) game.title_blink = 0.0f;

  if (os_get_mouse()->button[0] == 1 || os_get_last_key() != 0) game.game_state = GS_LOAD_LEVEL;
}

static void load_level() {
  for (int32_t layer = 0; layer < 3; ++layer) {
    g_set_layer(layer);
    g_clear_layer(0);
  }
  const game_level& level = GAME_LEVELS[game.level_index % GAME_LEVEL_COUNT];
  if (game.own_text) level_start_text(reinterpret_cast<const char*>(game.own_text), game.own_length, level.song);
  else level_start(level.map, level.song);
  g_set_layer(0);
  tile_fill_screen(&tile_global);
  g_fill_rect(0, GAME_VIEW_ROWS * game.th, 320, game.th, GAME_GREY);
  game.game_state = GS_PLAYING;
}

// The direction arrow of the screen path, blinking every half second.
static void draw_arrow(float dt) {
  g_set_layer(2);
  game.blink_timer += dt;
  if (game.blink_timer > GAME_BLINK_TIME) {
    game.blink_timer -= GAME_BLINK_TIME;
    game.blink_on = !game.blink_on;
  }
  if (!game.blink_on) return;
  int32_t arrow;
  switch (game.path_char) {
    case CELL_PATH_RIGHT: arrow = 15; break;
    case CELL_PATH_LEFT: arrow = 14; break;
    case CELL_PATH_UP: arrow = 12; break;
    case CELL_PATH_DOWN: arrow = 13; break;
    default: return;
  }
  tile_draw(&tile_global, arrow, (320 - game.tw) / 2, 0);
}

// An end screen's text and clock; after three seconds it moves on to `next`.
static void end_screen(const char* text, int32_t trim, float dt, bool to_title) {
  draw_centred(text, trim);
  game.end_timer += dt;
  if (game.end_timer > GAME_END_TIME) {
    game.end_timer = GAME_END_TIME;
    if (to_title) title_enter();
    else game.game_state = GS_LOAD_LEVEL;
  }
}

static void tick_play(float dt) {
  if (game.game_state == GS_LOAD_LEVEL) load_level();

  view_update(dt);
  draw_arrow(dt);

  game.world_timer += dt;
  if (game.world_timer >= GAME_WORLD_TIME && world_step()) game.world_timer -= GAME_WORLD_TIME;

  player_control(dt);
  os_mouse_to_keys();
  player_motion(dt);
  animate_cells(dt);

  if (game.game_state == GS_GAME_OVER) end_screen(" Game Over", 0, dt, true);
  if (game.game_state == GS_NEXT_LEVEL) end_screen("Next Level", 0, dt, false);
  if (game.game_state == GS_WON) end_screen("You Did IT!", 1, dt, true);
  if (game.game_state == GS_PLAYING) {
    float left = 0.0f;
    if (view_outside_check(dt, &left)) {
      snprintf(g_text, sizeof g_text, "%d", int32_t(left));
      draw_text((320 - (os_strlen(g_text) - 1) * gw()) / 2, 120 - gh() / 2);
    }
  }

  redraw_around_player();
  g_pixel curtain = 0;
  if (game.game_state == GS_GAME_OVER) curtain = GAME_GREY;
  if (game.game_state == GS_NEXT_LEVEL) curtain = GAME_OLIVE;
  if (game.game_state == GS_WON) curtain = GAME_TEAL;
  if (curtain != 0) {
    // Sweeps in from the left over the three seconds of the end screen.
    g_set_layer(1);
    const int32_t width = int32_t(os_sin(float(double(game.end_timer) * (3.14 * 0.5 / 3.0))) * 320.0f);
    g_fill_rect(0, 0, width, 240, curtain);
    sprite_animate(&game.player, 1.0f);
  }
}

void game_play_tick(float dt) { tick_play(dt); }

void game_tick(float dt) {
  if (ed_active()) return ed_tick(dt);  // the editor presents its own frames
  if (game.game_state == GS_TITLE) tick_title(dt);
  else tick_play(dt);
  g_present();
  if (os_get_key(OS_KEY_ESCAPE) != 0) os_running = 0;
}

void game_shutdown() {
  if (ed_active()) ed_stop();
  snd_stop_song(&snd_music);
  snd_free_music();
  game.player.sheet = nullptr;
  if (tile_global.sheet.pixels) tile_set_free();
  if (game.mask.pixels) g_free_image(&game.mask);
  if (game.picture.pixels) g_free_image(&game.picture);
  if (game.title.pixels) g_free_image(&game.title);
  if (game.font.glyphs) g_free_font(&game.font);
  if (game.map.cells || game.map.flags) map_free(&game.map);
  if (!game.quiet) snd_deinit();  // a silent run never opened the device
}
