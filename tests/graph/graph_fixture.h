// A display on the headless platform for the graph tests: opened in SetUp, closed in
// TearDown, which also checks that every block went back.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "graph/graph.h"
#include "os_tools/os_mem.h"
#include "platform_headless/headless_render.h"
#include "platform_headless/headless_window.h"
#include "support/log_capture.h"

struct graph_display_test : ::testing::Test {
  log_capture log;
  void SetUp() override {
    headless_window_reset();
    headless_render_reset();
    g_set_hw_resolution(960, 720);
    g_init_display(false);
    log.text.clear();
  }
  void TearDown() override {
    g_deinit_display();
    EXPECT_EQ(os_alloc_count(), 0);
  }
  static g_pixel at(const g_image& image, int32_t x, int32_t y) { return image.pixels[y * image.width + x]; }
  static const g_layer& layer(int32_t n) { return *g_get_layer(n); }
};

// An image whose pixel (x, y) is 0xFF000000 + y * 256 + x, so every pixel names its place.
inline g_image graph_numbered_image(int32_t w, int32_t h) {
  g_image image = g_create_image(w, h);
  for (int32_t y = 0; y < h; ++y)
    for (int32_t x = 0; x < w; ++x) image.pixels[y * w + x] = 0xFF000000u + uint32_t(y) * 256u + uint32_t(x);
  return image;
}
