// What recording costs a tick, apart from the frame's checksum (BM_frame_checksum_four_layers
// in bench_graph): the clock reading, the frame line, and the write-out to the file every
// 100 ms of the recorded clock. The argument is the clock's step per tick in ms: at 100 every
// tick writes the file out, at 16 (a frame of a 60 Hz screen) every seventh, at 1 every
// hundredth; the difference is the write-out's cost.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "graph/g_display.h"
#include "os_tools/os_clock.h"
#include "platform_headless/headless_clock.h"
#include "record/record.h"

// The game and the graph module as the recorder sees them: a tick that draws nothing, and a
// frame checksum that costs nothing.
void game_init() {}
void game_tick(float) {}
void game_shutdown() {}
void g_deinit_display() {}
static g_display bench_display{320, 240, 512, 256, 960, 720, 1.0f, 1.0f, 1, 0, 0};
g_display* g_get_display() { return &bench_display; }
static uint64_t bench_frames;
uint64_t g_frame_checksum() { return ++bench_frames * 0x9e3779b97f4a7c15ull; }

static uint32_t bench_recorded_clock() { return rec_clock(headless_time_ms); }

static void BM_RecordedTick(benchmark::State& state) {
  const std::string path = "/tmp/tumbler_bench_record.rec";
  char message[REC_MESSAGE_SIZE];
  rec_restart();
  if (!rec_record_open(path.c_str(), message, int32_t(sizeof message))) {
    state.SkipWithError(message);
    return;
  }
  os_clock_restart();
  headless_set_time_ms(0);
  headless_set_clock_source(bench_recorded_clock);
  rec_note_answer(false);
  os_frame_tick();
  rec_pass();
  const uint32_t step = uint32_t(state.range(0));
  for (auto _ : state) {
    headless_advance_time_ms(step);
    os_frame_tick();
    rec_pass();
  }
  rec_close(message, int32_t(sizeof message));
  headless_set_clock_source(nullptr);
  std::remove(path.c_str());
}
BENCHMARK(BM_RecordedTick)->Arg(1)->Arg(16)->Arg(100);

BENCHMARK_MAIN();
