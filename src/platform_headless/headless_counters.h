// Counters of what happened in the level being played, for replays that prove a level's
// mechanics: read off the game's map, player and view after every pass of the harness, never
// kept by the game itself. They start again at zero whenever a level begins, and count only
// ticks that began in play (the end screens add nothing). Tests and tools only.
//
// A replay asserts them with expect lines (see headless_harness.h), for example
//   21000 expect patrol >= 20
//   21000 expect closest_enemy <= 2
#pragma once
#include <cstdint>
#include <string>

// An enemy counts as moving while its last move is at most this long ago and it has stood
// on at least HEADLESS_ROAM_CELLS cells: one shuffling in a pocket is no threat.
constexpr uint32_t HEADLESS_MOVING_MS = 1000;
constexpr int32_t HEADLESS_ROAM_CELLS = 6;
// An enemy that moves this often in one level, over at least HEADLESS_ROAM_CELLS cells, patrols.
constexpr int32_t HEADLESS_PATROL_MOVES = 20;

struct headless_counters {
  int32_t enemy_moves;    // cells moved by all enemies
  int32_t patrol;         // the most cells moved by one enemy
  int32_t patrolling;     // enemies that patrol (see HEADLESS_PATROL_MOVES)
  int32_t roam;           // the most cells one enemy has stood on
  int32_t rock_falls;     // one-cell drops of a rock, through a weak wall too
  int32_t rock_rolls;     // one-cell rolls of a rock off what it rested on
  int32_t trail_falls;    // drops into a cell the player had stood on in this level
  int32_t pushes;         // rocks pushed by the player
  int32_t walls_broken;   // weak walls broken by a falling rock
  int32_t closest_enemy;  // fewest cells (|dx| + |dy|) from the player to a moving enemy; -1: none
  int32_t spare_ms;       // last diamond to the end of the path plus five seconds; -1: not won
  int32_t doom_ms;        // when the end of the path ends this level (harness time); -1: not yet known
};

// Forgets everything; the harness calls it when a game starts.
void headless_counters_reset();
// Looks at the game after a pass that ended at time_ms; step_ms is the pass length.
void headless_counters_observe(uint32_t time_ms, uint32_t step_ms);
// The counters of the current (or the last finished) level.
headless_counters headless_counters_get();
// A counter by its name above (enemy_moves, patrol, ...); false for an unknown name.
bool headless_counter_value(const std::string& name, int32_t* out);
// One line with every counter, for traces and reports.
std::string headless_counters_text();
