// BMP decoding: ImageMagick's files, both depths, bottom-up rows, bad headers and files
// whose rows lie beyond their end.
#include <gtest/gtest.h>

#include "graph/g_load.h"
#include "image_files.h"
#include "os_tools/os_mem.h"
#include "support/log_capture.h"

static g_image decode(const bytes& file) { return g_decode_bmp(file.data(), uint32_t(file.size())); }

TEST(bmp_fixtures, decode_to_the_pixels_imagemagick_reads) {
  for (const char* name : {"bgr24.bmp", "bgra32.bmp"}) {
    const std::string path = std::string("tests/fixtures/images/") + name;
    bytes file = read_fixture(path), expected = read_fixture(path + ".rgba");
    ASSERT_FALSE(file.empty()) << path;
    g_image image = decode(file);
    ASSERT_EQ(image.width, 13) << name;
    ASSERT_EQ(image.height, 7) << name;
    const bool alpha = file[28] == 32;
    int magenta = 0;
    for (int32_t i = 0; i < 13 * 7; ++i) {
      const uint8_t* p = &expected[size_t(i) * 4];
      const bool is_magenta = p[0] == 255 && p[1] == 0 && p[2] == 255;
      magenta += is_magenta;
      uint32_t want = (uint32_t(alpha ? p[3] : 255) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
      if (!alpha && is_magenta) want = 0;  // 32-bit files keep their own alpha, no key
      ASSERT_EQ(image.pixels[i], want) << name << " pixel " << i;
    }
    EXPECT_EQ(magenta, 1) << name;
    g_free_image(&image);
  }
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(bmp_rows, are_stored_bottom_up_with_padded_rows) {
  // 2 x 2 at 24 bits: stride 8. Stored first (bottom image row): red, magenta.
  bytes rows = {0, 0, 255, 255, 0, 255, 0, 0,  //
                1, 2, 3, 4, 5, 6, 0, 0};
  g_image image = decode(bmp_file(2, 2, 24, rows));
  ASSERT_EQ(image.width, 2);
  EXPECT_EQ(image.pixels[0], 0xFF010203u);  // top row comes last in the file
  EXPECT_EQ(image.pixels[1], 0xFF040506u);
  EXPECT_EQ(image.pixels[2], 0xFF0000FFu);
  EXPECT_EQ(image.pixels[3], 0u);
  g_free_image(&image);
}

TEST(bmp_rows, thirty_two_bits_keep_alpha_and_magenta) {
  bytes rows = {255, 0, 255, 77, 10, 20, 30, 0};
  g_image image = decode(bmp_file(2, 1, 32, rows));
  ASSERT_EQ(image.width, 2);
  EXPECT_EQ(image.pixels[0], 0x4DFF00FFu);
  EXPECT_EQ(image.pixels[1], 0x000A141Eu);
  g_free_image(&image);
}

TEST(bmp_headers, outside_the_subset_give_the_empty_image) {
  log_capture log;
  const bytes rows(8, 0);
  struct {
    int offset;
    uint8_t value;
  } breaks[] = {{0, 'X'}, {1, 'N'}, {14, 108}, {25, 0xFF}, {26, 2}, {28, 8}, {28, 16}};
  for (auto b : breaks) {
    bytes f = bmp_file(2, 1, 32, rows);
    f[size_t(b.offset)] = b.value;
    EXPECT_EQ(decode(f).pixels, nullptr) << "offset " << b.offset;
  }
  EXPECT_EQ(decode(bmp_file(0, 1, 32, rows)).pixels, nullptr);
  EXPECT_EQ(decode(bmp_file(-2, 1, 32, rows)).pixels, nullptr);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST(bmp_damage, rows_or_offset_beyond_the_file_are_refused_before_reading) {
  log_capture log;
  bytes f = bmp_file(2, 2, 24, bytes(16, 7));
  f.resize(f.size() - 1);  // the last row is one byte short
  EXPECT_EQ(decode(f).pixels, nullptr);
  bytes g = bmp_file(2, 2, 24, bytes(16, 7));
  g[10] = 0xF0;  // data offset far past the end
  g[13] = 0x7F;
  EXPECT_EQ(decode(g).pixels, nullptr);
  bytes h = bmp_file(0x40000000, 0xFFFFFF, 32, bytes(16, 7));  // stride x height wraps 32 bits
  EXPECT_EQ(decode(h).pixels, nullptr);
  EXPECT_EQ(g_decode_bmp(f.data(), 53).pixels, nullptr);  // headers cut short
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(image_names, the_extension_picks_the_decoder_case_sensitively) {
  log_capture log;
  EXPECT_EQ(g_load_image(nullptr).pixels, nullptr);
  EXPECT_EQ(g_load_image("no such file.pcx").pixels, nullptr);
  EXPECT_TRUE(log.contains("assert:"));
}
