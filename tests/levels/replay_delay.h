// A replay played by a slower hand: every press of an arrow key (its down and its up) comes
// up to max_ms later than written, by an amount that varies from press to press, or by the
// full amount when `uniform`. Other keys (leaving the title) keep their times. Expectations
// other than the game state and the level are left out: they name exact moments that a
// late hand no longer meets.
#pragma once
#include <algorithm>
#include <cstdint>
#include <map>
#include <vector>

#include "platform_headless/headless_harness.h"

inline bool replay_is_arrow(uint32_t vk) { return vk >= 0x25 && vk <= 0x28; }

inline headless_replay replay_with_delays(const headless_replay& in, uint32_t max_ms, bool uniform = false) {
  headless_replay out = in;
  out.events.clear();
  std::map<uint32_t, uint32_t> delay_of_held;  // key -> delay given to its pending down
  uint32_t press = 0;
  for (const headless_event& e : in.events) {
    headless_event moved = e;
    if (e.kind == HEADLESS_EV_KEY_DOWN && replay_is_arrow(e.code)) {
      uint32_t delay = uniform ? max_ms : max_ms * ((press * 7u) % 11u) / 10u;
      ++press;
      delay_of_held[e.code] = delay;
      moved.time_ms += delay;
    } else if (e.kind == HEADLESS_EV_KEY_UP && replay_is_arrow(e.code)) {
      moved.time_ms += delay_of_held[e.code];
    } else if (e.kind == HEADLESS_EV_EXPECT && e.what != "state" && e.what != "level") {
      continue;
    }
    out.events.push_back(moved);
  }
  std::stable_sort(out.events.begin(), out.events.end(),
                   [](const headless_event& a, const headless_event& b) { return a.time_ms < b.time_ms; });
  if (out.end_ms != 0) out.end_ms += max_ms;
  return out;
}
