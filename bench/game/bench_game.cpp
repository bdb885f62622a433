// What a frame of the game costs without a GPU: one whole game_tick on level 0 (view, world,
// player, animation, the 3 x 3 redraw, the view copy and the headless present), one world
// step over the level, and the one-time screen mask.
#include <benchmark/benchmark.h>

#include "game/game.h"
#include "graph/g_image.h"
#include "os_tools/os_clock.h"
#include "platform_headless/headless_harness.h"

static void BM_GameTickPlaying(benchmark::State& state) {
  headless_game_start(16);
  headless_game_key(0x20, true);
  headless_game_pass();
  headless_game_key(0x20, false);
  headless_game_pass();
  for (auto _ : state) {
    game_tick(0.016f);
    // Keep the level going: no countdown, no moves.
    game.wait_time = 0.0f;
    game.outside_time = 0.0f;
  }
  headless_game_stop();
}
BENCHMARK(BM_GameTickPlaying);

static void BM_WorldStepLevel0(benchmark::State& state) {
  headless_game_start(16);
  level_start("map0.txt", "song1.sqt");
  for (auto _ : state) benchmark::DoNotOptimize(world_step());
  headless_game_stop();
}
BENCHMARK(BM_WorldStepLevel0);

static void BM_MaskBuild(benchmark::State& state) {
  g_image mask = g_create_image(320, 240);
  for (auto _ : state) {
    mask_build(&mask);
    benchmark::DoNotOptimize(mask.pixels[0]);
  }
  g_free_image(&mask);
}
BENCHMARK(BM_MaskBuild);

BENCHMARK_MAIN();
