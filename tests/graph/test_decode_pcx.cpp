// PCX decoding: ImageMagick's files, the run-length code, both plane layouts, bad headers
// and damaged files.
#include <gtest/gtest.h>

#include "graph/g_load.h"
#include "image_files.h"
#include "os_tools/os_mem.h"
#include "support/log_capture.h"

// The pixel the decoders make of an (r, g, b, a) that ImageMagick read: magenta keyed out.
static uint32_t keyed(const uint8_t* rgba) {
  if (rgba[0] == 255 && rgba[1] == 0 && rgba[2] == 255) return 0;
  return 0xFF000000u | (uint32_t(rgba[2]) << 16) | (uint32_t(rgba[1]) << 8) | rgba[0];
}

static g_image decode(const bytes& file) { return g_decode_pcx(file.data(), uint32_t(file.size())); }

TEST(pcx_fixtures, decode_to_the_pixels_imagemagick_reads) {
  struct {
    const char* name;
    int32_t w, h;
  } files[] = {{"pal8_small.pcx", 13, 7}, {"pal8_runs.pcx", 150, 20}, {"rgb24_small.pcx", 13, 7},
               {"rgb24_runs.pcx", 150, 20}};
  for (auto f : files) {
    const std::string path = std::string("tests/fixtures/images/") + f.name;
    bytes file = read_fixture(path), expected = read_fixture(path + ".rgba");
    ASSERT_FALSE(file.empty()) << path;
    ASSERT_EQ(expected.size(), size_t(f.w) * f.h * 4) << path;
    g_image image = decode(file);
    ASSERT_EQ(image.width, f.w) << f.name;
    ASSERT_EQ(image.height, f.h) << f.name;
    int keyed_count = 0;
    for (int32_t i = 0; i < f.w * f.h; ++i) {
      ASSERT_EQ(image.pixels[i], keyed(&expected[size_t(i) * 4])) << f.name << " pixel " << i;
      keyed_count += image.pixels[i] == 0;
    }
    EXPECT_GT(keyed_count, 0) << f.name << " has magenta that must turn transparent";
    g_free_image(&image);
  }
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(pcx_indexed, runs_single_bytes_and_the_count_zero_header) {
  bytes f = pcx_header(4, 2, 1, 4);
  // Row 0: a run of 3 of index 5, a run header with count 0 (its byte 9 is skipped), then 7.
  // Row 1: single bytes 1, 2, then a run of 2 of index 200.
  for (uint8_t b : {0xC3, 5, 0xC0, 9, 7, 1, 2, 0xC2, 200}) f.push_back(b);
  pcx_palette(&f);
  g_image image = decode(f);
  ASSERT_EQ(image.width, 4);
  ASSERT_EQ(image.height, 2);
  const int expected[] = {5, 5, 5, 7, 1, 2, 200, 200};
  for (int i = 0; i < 8; ++i) EXPECT_EQ(image.pixels[i], pcx_palette_colour(expected[i])) << i;
  g_free_image(&image);
}

TEST(pcx_indexed, line_padding_is_skipped_and_magenta_entries_are_transparent) {
  bytes f = pcx_header(3, 2, 1, 4);
  for (uint8_t b : {10, 36, 12, 99, 36, 11, 10, 99}) f.push_back(b);  // 99 is padding
  pcx_palette(&f, {36});
  g_image image = decode(f);
  ASSERT_EQ(image.width, 3);
  EXPECT_EQ(image.pixels[0], pcx_palette_colour(10));
  EXPECT_EQ(image.pixels[1], 0u);
  EXPECT_EQ(image.pixels[2], pcx_palette_colour(12));
  EXPECT_EQ(image.pixels[3], 0u);
  EXPECT_EQ(image.pixels[4], pcx_palette_colour(11));
  EXPECT_EQ(image.pixels[5], pcx_palette_colour(10));
  g_free_image(&image);
}

TEST(pcx_indexed, a_run_crossing_the_last_row_stops_at_the_image) {
  bytes f = pcx_header(2, 2, 1, 2);
  for (uint8_t b : {0xFF, 3}) f.push_back(b);  // 63 bytes for a 4-pixel image
  pcx_palette(&f);
  g_image image = decode(f);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(image.pixels[i], pcx_palette_colour(3));
  g_free_image(&image);
}

TEST(pcx_planar, planes_fill_red_green_blue_per_line) {
  bytes f = pcx_header(2, 2, 3, 2);
  // Row 0: red 1 2, green 3 4, blue 5 6. Row 1: red 255 255 (a run), green 0 9, blue 255 8
  // (a byte of 192 or more travels as a run of 1).
  for (uint8_t b : {1, 2, 3, 4, 5, 6, 0xC2, 255, 0, 9, 0xC1, 255, 8}) f.push_back(b);
  g_image image = decode(f);
  ASSERT_EQ(image.width, 2);
  EXPECT_EQ(image.pixels[0], 0xFF050301u);
  EXPECT_EQ(image.pixels[1], 0xFF060402u);
  EXPECT_EQ(image.pixels[2], 0u);  // (255, 0, 255)
  EXPECT_EQ(image.pixels[3], 0xFF0809FFu);
  g_free_image(&image);
}

TEST(pcx_planar, padding_columns_and_rows_beyond_the_image_are_consumed_not_written) {
  bytes f = pcx_header(1, 1, 3, 2);
  for (uint8_t b : {10, 77, 20, 77, 30, 77}) f.push_back(b);
  for (int i = 0; i < 30; ++i) f.push_back(44);  // a whole extra row and more
  g_image image = decode(f);
  ASSERT_EQ(image.width, 1);
  EXPECT_EQ(image.pixels[0], 0xFF1E140Au);
  g_free_image(&image);
}

TEST(pcx_headers, outside_the_subset_give_the_empty_image) {
  log_capture log;
  struct {
    int offset;
    uint8_t value;
  } breaks[] = {{0, 11}, {1, 3}, {2, 0}, {3, 4}, {65, 2}, {65, 4}};
  for (auto b : breaks) {
    bytes f = pcx_header(2, 2, 1, 2);
    for (int i = 0; i < 4; ++i) f.push_back(1);
    pcx_palette(&f);
    f[size_t(b.offset)] = b.value;
    g_image image = decode(f);
    EXPECT_EQ(image.pixels, nullptr) << "offset " << b.offset;
    EXPECT_EQ(image.width, 0);
    EXPECT_EQ(image.height, 0);
  }
  EXPECT_TRUE(log.contains("assert:"));
  bytes narrow = pcx_header(8, 2, 3, 4);  // a line shorter than the width
  narrow.resize(200, 0);
  EXPECT_EQ(decode(narrow).pixels, nullptr);
}

TEST(pcx_damage, files_shorter_than_their_parts_are_refused) {
  log_capture log;
  bytes f = pcx_header(2, 2, 3, 2);
  EXPECT_EQ(g_decode_pcx(f.data(), 127).pixels, nullptr);  // header cut short
  EXPECT_EQ(g_decode_pcx(f.data(), 0).pixels, nullptr);
  EXPECT_EQ(g_decode_pcx(nullptr, 500).pixels, nullptr);
  bytes indexed = pcx_header(2, 2, 1, 2);
  indexed.resize(128 + 767, 1);  // no room for the 768-byte palette behind the header
  EXPECT_EQ(decode(indexed).pixels, nullptr);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST(pcx_damage, a_short_stream_leaves_the_rest_as_made) {
  log_capture log;
  // Three planes: the stream ends after the red byte of the third pixel, on a run header
  // that has no byte after it.
  bytes f = pcx_header(2, 2, 3, 2);
  for (uint8_t b : {100, 101, 50, 51, 0, 1, 7}) f.push_back(b);
  f.push_back(0xC5);
  g_image image = decode(f);
  ASSERT_EQ(image.width, 2);
  EXPECT_EQ(image.pixels[0], 0xFF003264u);
  EXPECT_EQ(image.pixels[1], 0xFF013365u);
  EXPECT_EQ(image.pixels[2], 0xFF000007u);  // red written, green and blue never came
  EXPECT_EQ(image.pixels[3], 0u);           // never reached: stays empty
  EXPECT_TRUE(log.contains("assert:"));
  g_free_image(&image);

  // One plane: the stream runs on into the palette and ends at the file's end long before
  // 100 x 100 indices; an unreached pixel keeps index 0 and shows palette entry 0.
  bytes g = pcx_header(100, 100, 1, 100);
  g.push_back(9);
  g.push_back(12);
  for (uint8_t b : {20, 30, 40}) g.push_back(b);
  for (int i = 3; i < 768; ++i) g.push_back(1);
  g_image h = decode(g);
  ASSERT_EQ(h.width, 100);
  EXPECT_EQ(h.pixels[0], 0xFF010101u);      // index 9
  EXPECT_EQ(h.pixels[2], 0xFF010101u);      // index 20, read from the palette bytes
  EXPECT_EQ(h.pixels[9999], 0xFF281E14u);   // entry 0: (20, 30, 40)
  g_free_image(&h);
  EXPECT_EQ(os_alloc_count(), 0);
}

TEST(pcx_damage, oversized_dimensions_give_the_empty_image) {
  bytes f = pcx_header(65535, 65536, 3, 65535);  // 65535 x 65536 pixels wraps 32 bits
  f.resize(400, 0xC1);
  EXPECT_EQ(decode(f).pixels, nullptr);
  bytes g = pcx_header(8192, 4096, 1, 8192);  // 32M pixels: above the bound
  pcx_palette(&g);
  EXPECT_EQ(decode(g).pixels, nullptr);
  EXPECT_EQ(os_alloc_count(), 0);
}
