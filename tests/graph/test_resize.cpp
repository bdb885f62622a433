// A window that changes size: the picture keeps 4:3 between black bars, every layer is sent
// up whole while what the game will clear stays as it was.
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

}  // namespace
