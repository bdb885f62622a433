// Display set-up, layers, dirty marking, clearing and the fill buffers.
#include "graph_fixture.h"
#include "platform.h"

TEST(display_setup, scales_keep_four_by_three_in_the_tighter_direction) {
  struct {
    int32_t w, h;
    float x_scale, y_scale;
  } cases[] = {{960, 720, 1.0f, 1.0f}, {1920, 1080, 0.75f, 1.0f}, {800, 1000, 1.0f, 0.6f}};
  for (auto c : cases) {
    headless_window_reset();
    headless_render_reset();
    g_set_hw_resolution(c.w, c.h);
    EXPECT_TRUE(g_init_display(false));
    g_display* d = g_get_display();
    EXPECT_EQ(d->window_width, c.w);
    EXPECT_EQ(d->window_height, c.h);
    EXPECT_FLOAT_EQ(d->x_scale, c.x_scale) << c.w << "x" << c.h;
    EXPECT_FLOAT_EQ(d->y_scale, c.y_scale) << c.w << "x" << c.h;
    EXPECT_EQ(d->fb_width, 320);
    EXPECT_EQ(d->fb_height, 240);
    EXPECT_EQ(d->tex_width, 512);
    EXPECT_EQ(d->tex_height, 256);
    g_deinit_display();
  }
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(display_setup, logs_in_order_and_makes_layer_zero_the_target) {
  headless_window_reset();
  headless_render_reset();
  log_capture log;
  g_set_hw_resolution(960, 720);
  g_init_display(false);
  const std::string expected =
      "set hw resolution (960,720)\n"
      "g_init_display\n"
      "set hw resolution w = 960\n"
      "set hw resolution h = 720\n"
      "PLATFORM HEADLESS\n"
      "RENDER ogl ver:1\n"
      "olg init ok\n";
  EXPECT_EQ(log.text.substr(0, expected.size()), expected);
  EXPECT_TRUE(log.contains("r_create_texture:0 (512,256)\n"));
  EXPECT_TRUE(log.text.size() >= 18 && log.text.compare(log.text.size() - 18, 18, "g_init_display ok\n") == 0);
  EXPECT_EQ(g_get_target(), &g_get_layer(0)->image);
  EXPECT_EQ(g_get_current_layer(), 0);
  EXPECT_TRUE(headless_window_open());
  log.text.clear();
  g_deinit_display();
  EXPECT_EQ(log.text.find("g_deinit_display\n"), 0u);
  EXPECT_TRUE(log.contains("r_delete_texture:0\n"));
  EXPECT_FALSE(log.contains("memory leak"));
  EXPECT_FALSE(headless_window_open());
}

TEST(display_setup, fullscreen_takes_the_screen_and_a_refusal_is_passed_back) {
  headless_window_reset();
  headless_render_reset();
  headless_window_set_screen(1920, 1080);
  g_set_hw_resolution(960, 720);
  EXPECT_TRUE(g_init_display(true));
  EXPECT_EQ(headless_window_requested().window_width, 960);
  EXPECT_EQ(g_get_display()->window_width, 1920);
  EXPECT_FLOAT_EQ(g_get_display()->x_scale, 0.75f);  // recomputed after the window opened
  EXPECT_TRUE(headless_window_cursor_hidden());
  g_deinit_display();
  EXPECT_FALSE(headless_window_cursor_hidden());

  headless_window_refuse_fullscreen(true);
  EXPECT_FALSE(g_init_display(true));
  EXPECT_EQ(g_get_display()->fullscreen, 0);
  EXPECT_NE(g_get_layer(0)->image.pixels, nullptr);  // the game goes on in a window
  g_deinit_display();
}

TEST(display_setup, leaked_blocks_are_reported_at_close) {
  headless_window_reset();
  headless_render_reset();
  g_init_display(false);
  void* a = os_alloc(8);
  void* b = os_alloc(8);
  log_capture log;
  g_deinit_display();
  EXPECT_TRUE(log.contains("memory leak : 2 blocks\n"));
  EXPECT_TRUE(log.contains("assert:"));
  os_free(&a);
  os_free(&b);
}

TEST(display_setup, a_second_set_up_creates_fresh_layers) {
  for (int run = 0; run < 2; ++run) {
    headless_window_reset();
    headless_render_reset();
    g_init_display(false);
    ASSERT_NE(g_get_layer(0)->image.pixels, nullptr) << "run " << run;
    g_fill_rect(0, 0, 4, 4, 0xFF0000FFu);
    g_deinit_display();
  }
  EXPECT_EQ(os_alloc_count(), 0);
}

using layers = graph_display_test;

TEST_F(layers, a_new_layer_is_marked_at_the_origin_and_clears_whole) {
  g_create_layer(1);
  const g_layer& l = layer(1);
  EXPECT_EQ(l.active, 1);
  EXPECT_EQ(l.image.width, 320);
  EXPECT_EQ(l.image.height, 240);
  EXPECT_EQ(l.g_upload_rect.min_x, 0);
  EXPECT_EQ(l.g_upload_rect.max_x, 0);
  EXPECT_EQ(l.g_upload_rect.min_y, 0);
  EXPECT_EQ(l.g_upload_rect.max_y, 0);
  EXPECT_EQ(l.g_clear_rect.min_x, 0);
  EXPECT_EQ(l.g_clear_rect.max_x, 320);
  EXPECT_EQ(l.g_clear_rect.max_y, 240);
  EXPECT_TRUE(log.contains("r_create_texture:1 (512,256)\n"));
}

TEST_F(layers, creating_an_existing_layer_changes_nothing) {
  g_fill_rect(10, 10, 5, 5, 0xFF112233u);
  const g_pixel* pixels = layer(0).image.pixels;
  g_rect upload = layer(0).g_upload_rect;
  g_create_layer(0);
  EXPECT_EQ(layer(0).image.pixels, pixels);
  EXPECT_EQ(at(layer(0).image, 12, 12), 0xFF112233u);
  EXPECT_EQ(layer(0).g_upload_rect.min_x, upload.min_x);
  EXPECT_EQ(layer(0).g_upload_rect.max_y, upload.max_y);
  EXPECT_FALSE(log.contains("r_create_texture"));
}

TEST_F(layers, selecting_a_missing_or_bad_layer_asserts_and_keeps_the_target) {
  g_image* before = g_get_target();
  g_set_layer(3);
  EXPECT_TRUE(log.contains("assert:"));
  g_set_layer(5);
  g_create_layer(7);
  EXPECT_EQ(g_get_target(), before);
  EXPECT_EQ(g_get_current_layer(), 0);
}

TEST_F(layers, marks_take_corners_in_any_order_and_clamp_to_the_layer) {
  g_create_layer(2);
  g_mark_dirty(300, 250, -5, 10, 2);
  const g_layer& l = layer(2);
  EXPECT_EQ(l.g_upload_rect.min_x, 0);
  EXPECT_EQ(l.g_upload_rect.max_x, 300);
  EXPECT_EQ(l.g_upload_rect.min_y, 0);  // the creation mark at (0, 0) is still there
  EXPECT_EQ(l.g_upload_rect.max_y, 240);
  EXPECT_EQ(l.g_clear_rect.min_y, 0);
  EXPECT_EQ(l.g_clear_rect.max_x, 320);
  g_mark_dirty(0, 0, 1, 1, 5);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST_F(layers, drawing_into_another_target_marks_the_current_layer_clamped) {
  g_image big = g_create_image(640, 480);
  g_create_layer(1);
  g_set_layer(1);
  g_present();  // empties the upload rectangles
  g_set_target(&big);
  g_fill_rect(500, 300, 20, 20, 0xFFFFFFFFu);
  EXPECT_EQ(at(big, 510, 310), 0xFFFFFFFFu);
  const g_layer& l = layer(1);
  EXPECT_EQ(l.g_upload_rect.min_x, 320);
  EXPECT_EQ(l.g_upload_rect.max_x, 320);
  EXPECT_EQ(l.g_upload_rect.min_y, 240);
  EXPECT_EQ(l.g_upload_rect.max_y, 240);
  EXPECT_EQ(g_get_current_layer(), 1);
  g_free_image(&big);
}

TEST_F(layers, clearing_follows_the_clear_rectangle) {
  g_image& l0 = const_cast<g_image&>(layer(0).image);
  // Right after creation the clear rectangle is the whole layer.
  l0.pixels[239 * 320 + 319] = 0xFFFFFFFFu;
  g_clear_layer(0xFF3C3C3Cu);
  EXPECT_EQ(at(l0, 0, 0), 0xFF3C3C3Cu);
  EXPECT_EQ(at(l0, 319, 239), 0xFF3C3C3Cu);
  EXPECT_GT(layer(0).g_clear_rect.min_x, layer(0).g_clear_rect.max_x);
  // Nothing drawn since: a second clear does nothing.
  g_clear_layer(0xFF0000FFu);
  EXPECT_EQ(at(l0, 100, 100), 0xFF3C3C3Cu);
}

TEST_F(layers, clearing_to_zero_empties_whole_rows) {
  g_clear_layer(0);
  g_image& l0 = const_cast<g_image&>(layer(0).image);
  for (int32_t i = 0; i < 320 * 240; ++i) l0.pixels[i] = 0xFF808080u;
  g_present();
  g_fill_rect(100, 50, 10, 3, 0xFF0000FFu);
  g_clear_layer(0);
  for (int32_t x : {0, 100, 319}) {
    EXPECT_EQ(at(l0, x, 50), 0u) << x;
    EXPECT_EQ(at(l0, x, 52), 0u) << x;
  }
  EXPECT_EQ(at(l0, 0, 49), 0xFF808080u);
  EXPECT_EQ(at(l0, 0, 53), 0xFF808080u);
  const g_rect& up = layer(0).g_upload_rect;
  EXPECT_EQ(up.min_y, 50);
  EXPECT_EQ(up.max_y, 53);
  EXPECT_EQ(up.min_x, 100);
  EXPECT_EQ(up.max_x, 110);
}

TEST_F(layers, clearing_a_target_smaller_than_the_layer_stays_inside_it) {
  g_image small = g_create_image(16, 8);
  for (int32_t i = 0; i < 16 * 8; ++i) small.pixels[i] = 0xFFFFFFFFu;
  g_set_target(&small);
  g_clear_layer(0);  // the clear rectangle is the whole 320 x 240 layer
  EXPECT_EQ(at(small, 15, 7), 0u);
  g_free_image(&small);
}

TEST_F(layers, fill_buffers_grow_only_on_demand) {
  void* a = os_get_fill_buf(4, 0);
  EXPECT_NE(a, nullptr);
  EXPECT_TRUE(log.contains("os_get_fill_buf alloc : 1 bytes\n"));
  log.text.clear();
  void* b = os_get_fill_buf(4, 100);
  EXPECT_TRUE(log.contains("os_get_fill_buf alloc : 100 bytes\n"));
  log.text.clear();
  EXPECT_EQ(os_get_fill_buf(4, 50), b);
  EXPECT_EQ(log.text, "");
  EXPECT_EQ(os_get_fill_buf(7, 10), nullptr);
  EXPECT_EQ(os_get_fill_buf(0, -1), nullptr);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST(headless_window, answers_the_start_question_from_its_script) {
  headless_window_reset();
  EXPECT_FALSE(platform_ask_yes_no("Use fullscreen mode", "Select display mode"));
  EXPECT_STREQ(headless_window_question(), "Use fullscreen mode");
  EXPECT_STREQ(headless_window_caption(), "Select display mode");
  headless_window_set_answer(true);
  EXPECT_TRUE(platform_ask_yes_no("Use fullscreen mode", "Select display mode"));
  EXPECT_EQ(platform_gl_proc("glBindBuffer"), nullptr);
}
