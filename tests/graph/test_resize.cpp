// A window that changes size: the picture keeps 4:3 between black bars, every layer is sent
// up whole while what the game will clear stays as it was.
#include "graph_fixture.h"
#include "render_ogl/r_quad.h"

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

// Asked for whole multiples (the browser), the picture is the largest one that fits, on whole
// pixels where the pointer's mapping has it; a window too small for one keeps 4:3.
TEST_F(resize, whole_multiples_where_they_fit) {
  g_get_display()->whole_multiples = 1;
  struct {
    int32_t w, h;
    float picture_w, picture_h, left, top;  // window pixels, from the top left corner
  } const cases[] = {
      {1280, 720, 960, 720, 160, 0},    // the same as 4:3
      {1366, 768, 960, 720, 203, 24},   // 4:3 would be 1024 x 768, 3.2 times
      {1367, 769, 960, 720, 203, 24},   // odd margins: the left and top of the two middles
      {2532, 1170, 1280, 960, 626, 105},
      {300, 200, 266.67f, 200, 16.17f, 0},  // below one whole multiple: 4:3
  };
  for (const auto& c : cases) {
    g_resize_display(c.w, c.h);
    const g_display* d = g_get_display();
    float quad[R_QUAD_FLOATS];
    r_scale_quad(*d, quad);
    // Vertex 3 is the top left corner (x -1, y 1 before scaling), vertex 0 the bottom right.
    const float left = (quad[12] + 1.0f) * 0.5f * float(c.w);
    const float top = (1.0f - quad[13]) * 0.5f * float(c.h);
    const float right = (quad[0] + 1.0f) * 0.5f * float(c.w);
    const float bottom = (1.0f - quad[1]) * 0.5f * float(c.h);
    EXPECT_NEAR(left, c.left, 0.01f) << c.w << "x" << c.h;
    EXPECT_NEAR(top, c.top, 0.01f) << c.w << "x" << c.h;
    EXPECT_NEAR(right - left, c.picture_w, 0.01f) << c.w << "x" << c.h;
    EXPECT_NEAR(bottom - top, c.picture_h, 0.01f) << c.w << "x" << c.h;
  }
  g_get_display()->whole_multiples = 0;
}

}  // namespace
