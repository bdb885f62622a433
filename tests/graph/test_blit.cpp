// g_blit clipping and modes, g_fill_rect, and the image operations.
#include "graph_fixture.h"

using blit = graph_display_test;

static g_image& layer0() { return const_cast<g_image&>(g_get_layer(0)->image); }

TEST_F(blit, left_overhang_copies_the_visible_columns_from_the_right_source_column) {
  g_image src = graph_numbered_image(32, 32);
  g_present();
  g_blit(&src, -10, 5, 0, 0, 32, 32, G_BLIT_COPY);
  EXPECT_EQ(at(layer0(), 0, 5), at(src, 10, 0));
  EXPECT_EQ(at(layer0(), 21, 36), at(src, 31, 31));
  EXPECT_EQ(at(layer0(), 22, 5), 0u);  // 22 columns only
  const g_rect& r = layer(0).g_upload_rect;
  EXPECT_EQ(r.min_x, 0);
  EXPECT_EQ(r.max_x, 22);
  EXPECT_EQ(r.min_y, 5);
  EXPECT_EQ(r.max_y, 37);
  g_free_image(&src);
}

TEST_F(blit, a_negative_source_start_moves_the_target_right) {
  g_image src = graph_numbered_image(32, 32);
  g_blit(&src, 100, 100, -4, 0, 16, 16, G_BLIT_COPY);
  EXPECT_EQ(at(layer0(), 103, 100), 0u);
  EXPECT_EQ(at(layer0(), 104, 100), at(src, 0, 0));
  EXPECT_EQ(at(layer0(), 115, 115), at(src, 11, 15));
  EXPECT_EQ(at(layer0(), 116, 100), 0u);  // width shrank by 4
  g_free_image(&src);
}

TEST_F(blit, off_target_blits_draw_nothing_and_only_the_right_one_marks_nothing) {
  g_image src = graph_numbered_image(8, 8);
  g_present();
  g_blit(&src, 320, 0, 0, 0, 8, 8, G_BLIT_COPY);
  g_blit(&src, 0, 240, 0, 0, 8, 8, G_BLIT_COPY);
  EXPECT_GT(layer(0).g_upload_rect.min_x, layer(0).g_upload_rect.max_x);
  g_blit(&src, -8, 0, 0, 0, 8, 8, G_BLIT_COPY);  // dx + w = 0
  for (int32_t i = 0; i < 320 * 240; ++i) ASSERT_EQ(layer0().pixels[i], 0u);
  g_free_image(&src);
}

TEST_F(blit, source_rectangles_beyond_the_source_are_cut) {
  g_image src = graph_numbered_image(8, 8);
  g_blit(&src, 0, 0, 4, 6, 100, 100, G_BLIT_COPY);
  EXPECT_EQ(at(layer0(), 3, 1), at(src, 7, 7));
  EXPECT_EQ(at(layer0(), 4, 1), 0u);
  EXPECT_EQ(at(layer0(), 0, 2), 0u);
  g_blit(&src, 0, 10, 8, 0, 4, 4, G_BLIT_COPY);  // starts at the source's right edge
  g_blit(&src, 0, 10, 0, 0, 4, 4, 7);            // any other mode blends
  EXPECT_EQ(at(layer0(), 0, 10), at(src, 0, 0));
  g_free_image(&src);
}

TEST_F(blit, extreme_coordinates_neither_wrap_nor_write) {
  g_image src = graph_numbered_image(8, 8);
  g_blit(&src, INT32_MAX, INT32_MAX, 0, 0, INT32_MAX, INT32_MAX, G_BLIT_COPY);
  g_blit(&src, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, G_BLIT_COPY);
  g_blit(&src, 0, 0, INT32_MIN, 0, INT32_MAX, 8, G_BLIT_BLEND);
  g_fill_rect(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0xFFFFFFFFu);
  g_fill_rect(INT32_MAX, 0, INT32_MAX, 10, 0xFFFFFFFFu);
  for (int32_t i = 0; i < 320 * 240; ++i) ASSERT_EQ(layer0().pixels[i], 0u);
  g_free_image(&src);
}

TEST_F(blit, key_copies_only_fully_opaque_pixels_and_copy_copies_empty_ones) {
  g_image src = g_create_image(3, 1);
  src.pixels[0] = 0xFE0000FFu;  // alpha 254
  src.pixels[1] = 0xFF00FF00u;
  src.pixels[2] = 0;
  g_fill_rect(0, 0, 3, 1, 0xFF123456u);
  g_blit(&src, 0, 0, 0, 0, 3, 1, G_BLIT_KEY);
  EXPECT_EQ(at(layer0(), 0, 0), 0xFF123456u);
  EXPECT_EQ(at(layer0(), 1, 0), 0xFF00FF00u);
  EXPECT_EQ(at(layer0(), 2, 0), 0xFF123456u);
  g_blit(&src, 0, 0, 0, 0, 3, 1, G_BLIT_COPY);
  EXPECT_EQ(at(layer0(), 0, 0), 0xFE0000FFu);
  EXPECT_EQ(at(layer0(), 2, 0), 0u);
  g_free_image(&src);
}

TEST_F(blit, blending_weighs_the_old_pixel_by_its_own_alpha) {
  g_image src = g_create_image(1, 1);
  src.pixels[0] = 0x80FFFFFFu;  // white, alpha 128
  g_blit(&src, 0, 0, 0, 0, 1, 1, G_BLIT_BLEND);
  EXPECT_EQ(at(layer0(), 0, 0), 0x807F7F7Fu);  // onto transparent black
  g_fill_rect(1, 0, 1, 1, 0xFF000000u);
  g_blit(&src, 1, 0, 0, 0, 1, 1, G_BLIT_BLEND);
  EXPECT_EQ(at(layer0(), 1, 0), 0xFF7F7F7Fu);  // onto opaque black
  // Sums are not clamped: 255*128 + 255*255 = 97665, >> 8 = 381, masked to 8 bits = 125.
  g_fill_rect(2, 0, 1, 1, 0xFFFFFFFFu);
  g_blit(&src, 2, 0, 0, 0, 1, 1, G_BLIT_BLEND);
  EXPECT_EQ(at(layer0(), 2, 0), 0xFF7D7D7Du);
  // Opaque replaces, fully transparent leaves.
  src.pixels[0] = 0xFF010203u;
  g_blit(&src, 2, 0, 0, 0, 1, 1, G_BLIT_BLEND);
  EXPECT_EQ(at(layer0(), 2, 0), 0xFF010203u);
  src.pixels[0] = 0x00FFFFFFu;
  g_blit(&src, 2, 0, 0, 0, 1, 1, G_BLIT_BLEND);
  EXPECT_EQ(at(layer0(), 2, 0), 0xFF010203u);
  // Channels stay apart: red 0x40 at alpha 0x40 over blue 0xC0 at alpha 0x80.
  src.pixels[0] = 0x40000040u;
  g_fill_rect(3, 0, 1, 1, 0x80C00000u);
  g_blit(&src, 3, 0, 0, 0, 1, 1, G_BLIT_BLEND);
  EXPECT_EQ(at(layer0(), 3, 0), 0xC0600010u);
  g_free_image(&src);
}

TEST_F(blit, fill_is_clipped_to_the_target) {
  g_present();
  g_fill_rect(-5, -5, 10, 10, 0xFF0000FFu);
  EXPECT_EQ(at(layer0(), 4, 4), 0xFF0000FFu);
  EXPECT_EQ(at(layer0(), 5, 0), 0u);
  EXPECT_EQ(at(layer0(), 0, 5), 0u);
  EXPECT_EQ(layer(0).g_upload_rect.max_x, 5);
  EXPECT_EQ(layer(0).g_upload_rect.max_y, 5);
  g_fill_rect(315, 235, 10, 10, 0xFF00FF00u);
  EXPECT_EQ(at(layer0(), 319, 239), 0xFF00FF00u);
  g_fill_rect(400, 0, 10, 10, 0xFF00FF00u);
  g_fill_rect(0, 0, 0, 10, 0xFF00FF00u);
  EXPECT_EQ(at(layer0(), 0, 6), 0u);
}

TEST_F(blit, whole_row_zero_fill_and_row_buffer_fill_agree) {
  for (int32_t i = 0; i < 320 * 240; ++i) layer0().pixels[i] = 0xFFABCDEFu;
  g_fill_rect(0, 10, 320, 5, 0);  // whole rows
  g_fill_rect(1, 20, 319, 5, 0);  // through the row buffer
  g_fill_rect(0, 20, 1, 5, 0);
  for (int32_t y : {10, 14, 20, 24})
    for (int32_t x : {0, 1, 319}) EXPECT_EQ(at(layer0(), x, y), 0u) << x << "," << y;
  EXPECT_EQ(at(layer0(), 0, 15), 0xFFABCDEFu);
  EXPECT_EQ(at(layer0(), 319, 25), 0xFFABCDEFu);
}

TEST(images, create_and_free) {
  g_image image = g_create_image(3, 2);
  ASSERT_NE(image.pixels, nullptr);
  for (int32_t i = 0; i < 6; ++i) EXPECT_EQ(image.pixels[i], 0u);
  g_free_image(&image);
  EXPECT_EQ(image.width, 0);
  EXPECT_EQ(image.height, 0);
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(images, sizes_that_are_empty_or_too_big_give_the_empty_image) {
  log_capture log;
  for (auto size : {std::pair{0, 5}, {5, -1}, {65536, 65536}, {INT32_MAX, 2}, {2049, 2048}, {4096, 1025}}) {
    g_image image = g_create_image(size.first, size.second);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.width, 0);
  }
  EXPECT_TRUE(log.contains("assert:"));
  g_image big = g_create_image(2048, 2048);  // the largest allowed
  EXPECT_NE(big.pixels, nullptr);
  g_free_image(&big);
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(images, make_transparent_compares_whole_pixels) {
  g_image image = g_create_image(3, 1);
  image.pixels[0] = 0xFFFF00FFu;
  image.pixels[1] = 0xFEFF00FFu;
  image.pixels[2] = 0xFFFF00FFu;
  g_make_transparent(&image, 0xFFFF00FFu);
  EXPECT_EQ(image.pixels[0], 0u);
  EXPECT_EQ(image.pixels[1], 0xFEFF00FFu);
  EXPECT_EQ(image.pixels[2], 0u);
  g_free_image(&image);
}

TEST(images, scaling_turns_every_pixel_into_a_block) {
  g_image src = graph_numbered_image(384, 16);
  g_image big = g_scale_image(&src, 2, 2);
  ASSERT_EQ(big.width, 768);
  ASSERT_EQ(big.height, 32);
  for (int32_t y = 0; y < 32; ++y)
    for (int32_t x = 0; x < 768; ++x) ASSERT_EQ(big.pixels[y * 768 + x], src.pixels[(y / 2) * 384 + x / 2]);
  g_image tall = g_scale_image(&src, 1, 3);
  EXPECT_EQ(tall.width, 384);
  EXPECT_EQ(tall.height, 48);
  EXPECT_EQ(tall.pixels[47 * 384 + 5], src.pixels[15 * 384 + 5]);
  g_free_image(&tall);
  g_free_image(&big);
  g_free_image(&src);
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(images, negative_factors_mirror_their_axis) {
  g_image src = graph_numbered_image(3, 2);
  g_image dst = g_create_image(6, 2);
  g_copy_scaled(&src, 3, 2, &dst, -2, 1);
  EXPECT_EQ(dst.pixels[0], src.pixels[2]);
  EXPECT_EQ(dst.pixels[1], src.pixels[2]);
  EXPECT_EQ(dst.pixels[5], src.pixels[0]);
  EXPECT_EQ(dst.pixels[6], src.pixels[5]);
  g_copy_scaled(&src, 3, 2, &dst, 1, -1);
  EXPECT_EQ(dst.pixels[0], src.pixels[3]);
  EXPECT_EQ(dst.pixels[6 + 2], src.pixels[2]);
  g_free_image(&dst);
  g_free_image(&src);
}

TEST(images, a_destination_too_small_for_the_factors_is_not_overrun) {
  g_image src = graph_numbered_image(4, 4);
  g_image dst = g_create_image(5, 5);
  g_copy_scaled(&src, 4, 4, &dst, 3, 3);
  EXPECT_EQ(dst.pixels[0], src.pixels[0]);
  EXPECT_EQ(dst.pixels[4 * 5 + 4], src.pixels[1 * 4 + 1]);
  log_capture log;
  g_copy_scaled(&src, 6, 4, &dst, 1, 1);  // wider than the source
  EXPECT_TRUE(log.contains("assert:"));
  g_free_image(&dst);
  g_free_image(&src);
}

TEST(images, outline_surrounds_pixels_once_and_skips_the_border) {
  g_image image = g_create_image(12, 12);
  image.pixels[5 * 12 + 5] = 0xFF00FF00u;
  image.pixels[0 * 12 + 8] = 0xFFFFFFFFu;  // on the border
  g_outline_image(&image);
  for (int32_t y = 4; y <= 6; ++y)
    for (int32_t x = 4; x <= 6; ++x)
      EXPECT_EQ(image.pixels[y * 12 + x], (x == 5 && y == 5) ? 0xFF00FF00u : 0xFF000000u) << x << "," << y;
  EXPECT_EQ(image.pixels[3 * 12 + 5], 0u);  // no outline of the outline
  EXPECT_EQ(image.pixels[0 * 12 + 8], 0xFFFFFFFFu);
  EXPECT_EQ(image.pixels[1 * 12 + 8], 0u);
  // Outlining an outlined image again grows it by one ring only.
  g_outline_image(&image);
  EXPECT_EQ(image.pixels[3 * 12 + 5], 0xFF000000u);
  EXPECT_EQ(image.pixels[2 * 12 + 5], 0u);
  g_free_image(&image);
  EXPECT_EQ(os_alloc_count(), 0);
}
