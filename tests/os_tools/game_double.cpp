#include "game_double.h"

#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"

void game_double::restart() {
  init_calls = shutdown_calls = deinit_calls = 0;
  steps.clear();
  order.clear();
  on_init = nullptr;
  on_tick = nullptr;
  display = g_display{320, 240, 512, 256, 960, 720, 1.0f, 1.0f, 1, 0, 0};
  display_known = true;
  os_clock_restart();
  os_input_restart();
}

void game_init() {
  game_double::init_calls++;
  game_double::order += "i";
  if (game_double::on_init) game_double::on_init();
}

void game_tick(float dt) {
  game_double::steps.push_back(dt);
  game_double::order += "t";
  if (game_double::on_tick) game_double::on_tick(dt);
}

void game_shutdown() {
  game_double::shutdown_calls++;
  game_double::order += "s";
}

void g_deinit_display() {
  game_double::deinit_calls++;
  game_double::order += "d";
}

g_display* g_get_display() { return game_double::display_known ? &game_double::display : nullptr; }
