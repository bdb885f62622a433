// A window that changes size: the picture keeps 4:3 between black bars, every layer is sent
// up whole while what the game will clear stays as it was, and the pointer lands on the
// picture's own pixels.
#include "graph_fixture.h"

namespace {

struct resize : graph_display_test {};

TEST_F(resize, scales_follow_the_new_size_and_layers_go_up_whole) {
  g_create_layer(1);
  g_present();  // uploads everything once
  const g_rect clear_before = layer(1).g_clear_rect;
  g_resize_display(1200, 500);
  const g_display* d = g_get_display();
  EXPECT_EQ(d->window_width, 1200);
  EXPECT_EQ(d->window_height, 500);
  EXPECT_FLOAT_EQ(d->y_scale, 1.0f);
  EXPECT_FLOAT_EQ(d->x_scale, (500.0f / 240.0f) / (1200.0f / 320.0f));
  for (int32_t n : {0, 1}) {
    EXPECT_EQ(layer(n).g_upload_rect.min_y, 0);
    EXPECT_EQ(layer(n).g_upload_rect.max_y, 240);
  }
  EXPECT_EQ(layer(1).g_clear_rect.min_x, clear_before.min_x);
  EXPECT_EQ(layer(1).g_clear_rect.max_x, clear_before.max_x);
  EXPECT_EQ(headless_render_count(HEADLESS_R_INIT), 2) << "the presenter was set up for the new size";
  g_resize_display(640, 960);
  EXPECT_FLOAT_EQ(g_get_display()->x_scale, 1.0f);
  EXPECT_FLOAT_EQ(g_get_display()->y_scale, 0.5f);
}

TEST(resize_pointer, window_pixels_map_onto_the_picture_between_its_bars) {
  struct point_case {
    int32_t window_w, window_h, x, y, fb_x, fb_y;
  };
  const point_case cases[] = {
      {960, 720, 0, 0, 0, 0},         // no bars: the whole window is the picture
      {960, 720, 959, 719, 319, 239},
      {960, 720, 480, 360, 160, 120},
      {1600, 1000, 0, 500, -32, 120},      // picture 1333 wide from x 133: the left bar
      {1600, 1000, 133, 0, 0, 0},
      {1600, 1000, 1465, 999, 319, 239},
      {1600, 1000, 1466, 0, 320, 0},       // the right bar
      {640, 960, 320, 239, 160, -1},       // picture 480 high from y 240: the top bar
      {640, 960, 320, 240, 160, 0},
  };
  for (const point_case& c : cases) {
    g_display d = {320, 240, 512, 256, c.window_w, c.window_h, 1.0f, 1.0f, 1, 0};
    const float sx = float(c.window_w) / 320.0f, sy = float(c.window_h) / 240.0f;
    if (!(sx < sy)) d.x_scale = sy / sx;
    else d.y_scale = sx / sy;
    int32_t fx = 0, fy = 0;
    g_window_to_framebuffer(&d, c.x, c.y, &fx, &fy);
    EXPECT_EQ(fx, c.fb_x) << c.window_w << "x" << c.window_h << " at " << c.x << "," << c.y;
    EXPECT_EQ(fy, c.fb_y) << c.window_w << "x" << c.window_h << " at " << c.x << "," << c.y;
  }
}

}  // namespace
