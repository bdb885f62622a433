// Speed of the drawing paths the game runs every frame, each against memcpy of the same
// number of bytes in the same run (counter "vs_memcpy": 1.0 is memcpy's speed).
// Run: build-graph/bench/graph/bench_graph (a Release build gives the real figures).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <vector>

#include "graph/g_compose.h"
#include "graph/graph.h"

typedef std::chrono::steady_clock bench_clock;

// Nanoseconds per memcpy of bytes, measured now.
static double memcpy_ns(size_t bytes) {
  std::vector<uint8_t> from(bytes, 1), to(bytes, 0);
  int64_t runs = 0;
  const auto start = bench_clock::now();
  auto now = start;
  do {
    for (int i = 0; i < 64; ++i) {
      memcpy(to.data(), from.data(), bytes);
      benchmark::ClobberMemory();
    }
    runs += 64;
    now = bench_clock::now();
  } while (now - start < std::chrono::milliseconds(100));
  return std::chrono::duration<double, std::nano>(now - start).count() / double(runs);
}

// Runs body in the benchmark loop and reports its time per run against memcpy of bytes.
template <typename Body>
static void run_against_memcpy(benchmark::State& state, size_t bytes, Body body) {
  const double reference = memcpy_ns(bytes);
  int64_t runs = 0;
  const auto start = bench_clock::now();
  for (auto _ : state) {
    body();
    benchmark::ClobberMemory();
    ++runs;
  }
  const double ns = std::chrono::duration<double, std::nano>(bench_clock::now() - start).count() / double(runs);
  state.SetBytesProcessed(int64_t(bytes) * runs);
  state.counters["memcpy_ns"] = reference;
  state.counters["vs_memcpy"] = ns / reference;
}

static void BM_blit_copy_320x224(benchmark::State& state) {
  g_set_layer(0);
  g_image view = g_create_image(320, 224);
  for (int32_t i = 0; i < 320 * 224; ++i) view.pixels[i] = 0xFF000000u + uint32_t(i);
  run_against_memcpy(state, 320 * 224 * 4, [&] { g_blit(&view, 0, 0, 0, 0, 320, 224, G_BLIT_COPY); });
  g_free_image(&view);
}
BENCHMARK(BM_blit_copy_320x224);

static void BM_fill_rect_full_layer(benchmark::State& state) {
  g_set_layer(0);
  run_against_memcpy(state, 320 * 240 * 4, [] { g_fill_rect(0, 0, 320, 240, 0xFF3C3C3Cu); });
}
BENCHMARK(BM_fill_rect_full_layer);

static void BM_clear_layer_full_zero(benchmark::State& state) {
  g_set_layer(0);
  run_against_memcpy(state, 320 * 240 * 4, [] {
    g_mark_dirty(0, 0, 320, 240, 0);
    g_clear_layer(0);
  });
}
BENCHMARK(BM_clear_layer_full_zero);

static void BM_clear_layer_full_colour(benchmark::State& state) {
  g_set_layer(0);
  run_against_memcpy(state, 320 * 240 * 4, [] {
    g_mark_dirty(0, 0, 320, 240, 0);
    g_clear_layer(0xFF3C3C3Cu);
  });
}
BENCHMARK(BM_clear_layer_full_colour);

static void BM_blit_blend_32x32(benchmark::State& state) {
  g_set_layer(0);
  g_fill_rect(0, 0, 320, 240, 0xC0204060u);
  g_image tile = g_create_image(32, 32);
  for (int32_t i = 0; i < 32 * 32; ++i) tile.pixels[i] = (uint32_t(i * 7 % 256) << 24) | 0x00A0B0C0u;
  run_against_memcpy(state, 32 * 32 * 4, [&] { g_blit(&tile, 100, 100, 0, 0, 32, 32, G_BLIT_BLEND); });
  g_free_image(&tile);
}
BENCHMARK(BM_blit_blend_32x32);

static void BM_draw_quad_textured_320x240(benchmark::State& state) {
  g_set_layer(0);
  g_image texture = g_create_image(256, 256);
  for (int32_t i = 0; i < 256 * 256; ++i) texture.pixels[i] = 0xFF000000u + uint32_t(i);
  g_quad quad = {};
  const int16_t corners[4][4] = {{0, 0, 0, 0}, {320, 0, 256, 0}, {320, 240, 256, 256}, {0, 240, 0, 256}};
  for (int i = 0; i < 4; ++i) {
    quad.v[i].x = corners[i][0];
    quad.v[i].y = corners[i][1];
    quad.v[i].u = corners[i][2];
    quad.v[i].v = corners[i][3];
  }
  g_set_texture(&texture);
  run_against_memcpy(state, 320 * 240 * 4, [&] { g_draw_quad(&quad); });
  g_set_texture(nullptr);
  g_free_image(&texture);
}
BENCHMARK(BM_draw_quad_textured_320x240);

// What recording or playing a session costs per frame: the four layers of a play screen
// composed (layer 0 opaque; 1 mostly opaque; 2 mostly clear; 3 the mask's partial alpha)
// and checksummed.
static void BM_frame_checksum_four_layers(benchmark::State& state) {
  for (int32_t n = 1; n < 4; ++n) g_create_layer(n);
  const uint32_t fills[4][2] = {{0xFF3C3C3Cu, 0xFF3C3C3Cu}, {0xFF204060u, 0x00000000u},
                                {0x00000000u, 0xFFFFFFFFu}, {0x40000000u, 0x00000000u}};
  for (int32_t n = 0; n < 4; ++n) {
    g_set_layer(n);
    g_fill_rect(0, 0, 320, 240, fills[n][0]);
    g_fill_rect(0, 200, 320, 40, fills[n][1]);
  }
  uint64_t sum = 0;
  run_against_memcpy(state, 320 * 240 * 4 * 4, [&] { sum += g_frame_checksum(); });
  benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_frame_checksum_four_layers);

int main(int argc, char** argv) {
  g_init_display(false);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_deinit_display();
  return 0;
}
