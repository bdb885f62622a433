// The quad rasteriser and rotated drawing.
#include "graph_fixture.h"

using quads = graph_display_test;

static g_image& layer0() { return const_cast<g_image&>(g_get_layer(0)->image); }

// Texel (u, v) of these textures is 0xFF000000 + v * 65536 + u: every read names its texel.
static g_image make_texture(int32_t w, int32_t h) {
  g_image t = g_create_image(w, h);
  for (int32_t v = 0; v < h; ++v)
    for (int32_t u = 0; u < w; ++u) t.pixels[v * w + u] = 0xFF000000u + uint32_t(v) * 65536u + uint32_t(u);
  return t;
}

TEST_F(quads, angle_zero_maps_the_texture_and_wraps_on_the_closing_row) {
  // The table cosine of 0 is 32766 / 32767, so a half size of 16 turns into 15.999 and its
  // integer part 15: the corners land at (11, 11), (41, 11), (41, 41), (11, 41).
  g_image t = make_texture(32, 32);
  g_draw_rotated(&t, 10, 10, 32, 32, 0);
  for (int32_t y = 0; y < 240; ++y)
    for (int32_t x = 0; x < 320; ++x) {
      const bool inside = x >= 11 && x <= 40 && y >= 11 && y <= 41;
      ASSERT_EQ(at(layer0(), x, y) != 0, inside) << x << "," << y;
    }
  // u and v step by 32 / 30 in 16.16 (69905): pixel i of a row reads column (i * 69905) >> 16.
  EXPECT_EQ(at(layer0(), 11, 11), 0xFF000000u);
  EXPECT_EQ(at(layer0(), 40, 11), 0xFF000000u + 30u);
  EXPECT_EQ(at(layer0(), 40, 40), 0xFF000000u + 30u * 65536u + 30u);
  // The closing row reaches v = 32, which the mask wraps to texture row 0.
  EXPECT_EQ(at(layer0(), 20, 41), 0xFF000000u + 9u);
  g_free_image(&t);
}

TEST_F(quads, a_quarter_turn_is_clockwise_with_the_top_row_on_the_right) {
  g_image t = make_texture(64, 32);
  g_draw_rotated(&t, 100, 100, 64, 32, 45);
  // The 64 x 32 box about (132, 116) becomes about 32 wide and 64 high.
  int32_t top = 240, bottom = -1, left = 320, right = -1;
  for (int32_t y = 0; y < 240; ++y)
    for (int32_t x = 0; x < 320; ++x)
      if (at(layer0(), x, y)) {
        top = std::min(top, y), bottom = std::max(bottom, y);
        left = std::min(left, x), right = std::max(right, x);
      }
  EXPECT_NEAR(right - left + 1, 32, 2);
  EXPECT_NEAR(bottom - top + 1, 64, 2);
  EXPECT_NEAR((left + right) / 2, 132, 2);
  EXPECT_NEAR((top + bottom) / 2, 116, 2);
  // Along the middle row: the right end shows texture row 0, the left end the last rows (the
  // very first pixel sits on v = 32, the texture's closing edge, which wraps).
  const int32_t y = 116;
  int32_t first = -1, last = -1;
  for (int32_t x = 0; x < 320; ++x)
    if (at(layer0(), x, y)) {
      if (first < 0) first = x;
      last = x;
    }
  ASSERT_GE(first, 0);
  EXPECT_LE((at(layer0(), last, y) >> 16) & 0xFF, 1u);
  EXPECT_GE((at(layer0(), first + 1, y) >> 16) & 0xFF, 30u);
  // Going down the shape walks along the texture's rows from u 0 towards u 63.
  EXPECT_LT(at(layer0(), (left + right) / 2, top + 2) & 0xFF, 4u);
  EXPECT_GT(at(layer0(), (left + right) / 2, bottom - 2) & 0xFF, 59u);
  g_free_image(&t);
}

TEST_F(quads, the_bound_texture_is_restored_after_a_rotated_draw) {
  g_image t = make_texture(16, 16), other = make_texture(8, 8);
  g_draw_rotated(&t, 0, 0, 16, 16, 3);
  EXPECT_EQ(g_get_texture(), nullptr);
  g_set_texture(&other);
  g_draw_rotated(&t, 0, 0, 16, 16, 3);
  EXPECT_EQ(g_get_texture(), &other);
  g_set_texture(nullptr);
  g_free_image(&other);
  g_free_image(&t);
}

TEST_F(quads, a_quad_above_the_target_writes_nothing_but_marks_clamped) {
  g_present();
  g_quad q = {};
  const int16_t corners[4][2] = {{10, -40}, {50, -40}, {50, -10}, {10, -10}};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = corners[i][0];
    q.v[i].y = corners[i][1];
  }
  q.v[0].colour = 0xFF00FF00u;
  g_draw_quad(&q);
  for (int32_t i = 0; i < 320 * 240; ++i) ASSERT_EQ(layer0().pixels[i], 0u);
  const g_rect& r = g_get_layer(0)->g_upload_rect;
  EXPECT_EQ(r.min_x, 10);
  EXPECT_EQ(r.max_x, 50);
  EXPECT_EQ(r.min_y, 0);
  EXPECT_EQ(r.max_y, 0);
}

TEST_F(quads, corners_on_one_row_fill_from_the_smallest_x_up_to_the_largest) {
  g_quad q = {};
  const int16_t xs[4] = {30, 10, 40, 20};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = xs[i];
    q.v[i].y = 50;
  }
  q.v[0].colour = 0xFF0000FFu;
  g_draw_quad(&q);
  EXPECT_EQ(at(layer0(), 9, 50), 0u);
  EXPECT_EQ(at(layer0(), 10, 50), 0xFF0000FFu);
  EXPECT_EQ(at(layer0(), 39, 50), 0xFF0000FFu);
  EXPECT_EQ(at(layer0(), 40, 50), 0u);
  EXPECT_EQ(at(layer0(), 20, 49), 0u);
  EXPECT_EQ(at(layer0(), 20, 51), 0u);
}

TEST_F(quads, shapes_past_the_edges_are_clipped_to_the_target) {
  g_quad q = {};
  const int16_t corners[4][2] = {{-500, -500}, {2000, -300}, {1500, 1800}, {-700, 900}};
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = corners[i][0];
    q.v[i].y = corners[i][1];
  }
  q.v[0].colour = 0xFF123456u;
  g_draw_quad(&q);
  EXPECT_EQ(at(layer0(), 0, 0), 0xFF123456u);
  EXPECT_EQ(at(layer0(), 318, 239), 0xFF123456u);
  EXPECT_EQ(at(layer0(), 319, 100), 0u);  // the exclusive right end stops at the last column
}

TEST_F(quads, a_texture_of_other_sides_is_read_inside_the_image) {
  g_image sheet = make_texture(768, 32);
  g_set_texture(&sheet);
  EXPECT_TRUE(log.contains("assert:"));
  g_set_texture(nullptr);
  for (int32_t angle : {0, 7, 45, -20, 90}) {
    g_fill_rect(0, 0, 320, 240, 0);
    g_draw_rotated(&sheet, 20, 20, 200, 180, angle);
    int drawn = 0;
    for (int32_t i = 0; i < 320 * 240; ++i) {
      const uint32_t p = layer0().pixels[i];
      if (!p) continue;
      ++drawn;
      ASSERT_LT(p & 0xFFFF, 768u) << angle;
      ASSERT_LT((p >> 16) & 0xFF, 32u) << angle;
    }
    EXPECT_GT(drawn, 1000) << angle;
  }
  g_free_image(&sheet);
}

TEST_F(quads, a_huge_edge_is_walked_only_over_the_target_rows) {
  g_spans spans = {};
  int16_t left[240], right[240];
  for (int i = 0; i < 240; ++i) left[i] = G_SPAN_LEFT_START, right[i] = 0;
  spans.left_x = left;
  spans.right_x = right;
  spans.rows = 240;
  spans.columns = 320;
  g_scan_edge(0, -2000000000, 0, 0, 300, 2000000000, 0, 0, &spans);  // finishes at once
  EXPECT_EQ(left[0], 0);  // the 20.12 step of 300 over 4e9 rows is 0
  EXPECT_EQ(left[239], 0);
  for (int i = 0; i < 240; ++i) left[i] = G_SPAN_LEFT_START, right[i] = 0;
  // From (0, -1000) to (300, 1000): step 300 * 4096 / 2000 = 614; row 0 is step 1000.
  g_scan_edge(0, -1000, 0, 0, 300, 1000, 0, 0, &spans);
  EXPECT_EQ(left[0], 149);
  EXPECT_EQ(right[239], 185);
  for (int i = 0; i < 240; ++i) left[i] = G_SPAN_LEFT_START, right[i] = 0;
  g_scan_edge(100, 239, 0, 0, 100, -5, 0, 0, &spans);
  EXPECT_EQ(left[0], 100);
  EXPECT_EQ(left[239], 100);
}
