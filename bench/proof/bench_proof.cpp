// What checking a level's proof costs (tools/check_levels, and `tumbler --levels` at start):
// the silent game run on the proof's recording from the level's start to the win, for each of
// the game's seven levels, reading both files.
#include <benchmark/benchmark.h>

#include <string>

#include "platform_headless/headless_clock.h"
#include "proof/proof.h"
#include "record/record.h"

static uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

static void BM_CheckProof(benchmark::State& state) {
  headless_set_clock_source(recorded_clock);
  const std::string level = std::string(TUMBLER_SOURCE_DIR) + "/data/map" + std::to_string(state.range(0)) + ".txt";
  uint32_t frames = 0;
  for (auto _ : state) {
    const pf_result r = pf_check_file(level.c_str());
    if (r.outcome != PF_WON) state.SkipWithError(r.text);
    frames = r.frame;
  }
  state.counters["frames"] = double(frames);
  headless_set_clock_source(nullptr);
}
BENCHMARK(BM_CheckProof)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
