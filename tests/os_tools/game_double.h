// Stand-ins for the game's hooks and the display, so the clock and the input state can be
// driven pass by pass with a scripted clock.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "graph/g_display.h"

struct game_double {
  static inline int init_calls;
  static inline int shutdown_calls;
  static inline int deinit_calls;
  static inline std::vector<float> steps;  // dt of every game_tick
  static inline std::string order;         // "i" init, "t" tick, "s" shutdown, "d" deinit
  static inline std::function<void()> on_init;
  static inline std::function<void(float)> on_tick;
  static inline g_display display;
  static inline bool display_known;

  // Everything back to program start: hooks, clock, input, display 320 x 240 in 960 x 720.
  static void restart();
};
