// g_present against the recording presenter: which rows go up, the order and blending of
// the draws, and frames that change nothing.
#include "graph_fixture.h"

struct present : graph_display_test {
  void SetUp() override {
    graph_display_test::SetUp();
    for (int n = 1; n <= 3; ++n) g_create_layer(n);
    g_present();  // the creation marks
    headless_render_clear_log();
  }
  static std::vector<headless_render_call> calls() {
    std::vector<headless_render_call> out;
    for (int32_t i = 0; i < headless_render_call_count(); ++i) out.push_back(*headless_render_call_at(i));
    return out;
  }
};

TEST_F(present, an_unchanged_frame_makes_no_call_and_no_swap) {
  const int32_t swaps = headless_window_swap_count();
  g_present();
  EXPECT_EQ(headless_render_call_count(), 0);
  EXPECT_EQ(headless_window_swap_count(), swaps);
}

TEST_F(present, uploads_whole_rows_then_draws_every_active_layer_in_order) {
  g_set_layer(2);
  g_mark_dirty(200, 10, 210, 20, 2);  // narrow in x, rows 10..19
  g_image& l2 = const_cast<g_image&>(g_get_layer(2)->image);
  for (int32_t i = 0; i < 320 * 240; ++i) l2.pixels[i] = 0x80000000u + uint32_t(i);
  g_present();
  auto c = calls();
  ASSERT_EQ(c.size(), 7u);
  EXPECT_EQ(c[0].op, HEADLESS_R_UPDATE);
  EXPECT_EQ(c[0].layer, 2);
  EXPECT_EQ(c[0].a, 10);
  EXPECT_EQ(c[0].b, 20);
  EXPECT_EQ(c[1].op, HEADLESS_R_CLEAR);
  for (int32_t n = 0; n < 4; ++n) {
    EXPECT_EQ(c[2 + n].op, HEADLESS_R_DRAW);
    EXPECT_EQ(c[2 + n].layer, n);
    EXPECT_EQ(c[2 + n].blend, n == 0 ? 0 : 1) << n;
  }
  EXPECT_EQ(c[6].op, HEADLESS_R_SWAP);
  // Rows 10..19 went up whole, row 9 and row 20 did not.
  const uint32_t* tex = headless_render_texture_pixels(2);
  EXPECT_EQ(tex[10 * 512 + 0], l2.pixels[10 * 320 + 0]);
  EXPECT_EQ(tex[19 * 512 + 319], l2.pixels[19 * 320 + 319]);
  EXPECT_EQ(tex[9 * 512 + 0], 0u);
  EXPECT_EQ(tex[20 * 512 + 0], 0u);
  const g_rect& r = g_get_layer(2)->g_upload_rect;
  EXPECT_EQ(r.min_x, 65535);
  EXPECT_EQ(r.max_x, 0);
  EXPECT_EQ(r.min_y, 65535);
  EXPECT_EQ(r.max_y, 0);
}

TEST_F(present, a_full_screen_change_sends_exactly_the_layer_rows) {
  g_fill_rect(0, 0, 320, 240, 0xFF0000FFu);
  g_set_layer(3);
  g_fill_rect(5, 0, 1, 240, 0xFF00FF00u);
  g_present();
  auto c = calls();
  ASSERT_GE(c.size(), 2u);
  EXPECT_EQ(c[0].layer, 0);
  EXPECT_EQ(c[0].a, 0);
  EXPECT_EQ(c[0].b, 240);
  EXPECT_EQ(c[1].layer, 3);
  EXPECT_EQ(c[1].b, 240);
  EXPECT_EQ(headless_render_count(HEADLESS_R_UPDATE), 2);
  EXPECT_EQ(headless_render_count(HEADLESS_R_SWAP), 1);
}

TEST_F(present, a_point_mark_sends_no_rows_but_still_draws_and_swaps) {
  g_mark_dirty(0, 0, 0, 0, 1);
  g_present();
  auto c = calls();
  ASSERT_EQ(c.size(), 7u);
  EXPECT_EQ(c[0].op, HEADLESS_R_UPDATE);
  EXPECT_EQ(c[0].a, c[0].b);
  EXPECT_EQ(c[6].op, HEADLESS_R_SWAP);
}

TEST_F(present, the_composed_frame_blends_upper_layers_over_layer_zero) {
  g_fill_rect(0, 0, 320, 240, 0xFF3C3C3Cu);
  g_set_layer(1);
  g_fill_rect(10, 10, 2, 1, 0xFF0000FFu);  // opaque red
  g_fill_rect(20, 10, 1, 1, 0x80FFFFFFu);  // half white
  g_present();
  const uint32_t* f = headless_render_frame();
  ASSERT_EQ(headless_render_frame_width(), 320);
  EXPECT_EQ(f[10 * 320 + 10], 0xFF0000FFu);
  EXPECT_EQ(f[10 * 320 + 30], 0xFF3C3C3Cu);  // transparent pixels of layer 1 show layer 0
  EXPECT_EQ(f[10 * 320 + 20] & 0xFF, uint32_t((255 * 128 + 60 * 127 + 127) / 255));
}

TEST_F(present, shutting_down_deletes_each_texture_once) {
  g_deinit_display();
  EXPECT_EQ(headless_render_count(HEADLESS_R_DELETE), 4);
  EXPECT_EQ(headless_render_texture(0), 0u);
  EXPECT_EQ(os_alloc_count(), 0);
  headless_window_reset();
  headless_render_reset();
  g_init_display(false);  // for the fixture's own shut-down
}
