// The PCX writer: exact sizes across the whole reachable range, pictures that survive the
// game's decoder at every size, runs that stay inside their scan line, loud failures.
#include <gtest/gtest.h>

#include "image_check.h"
#include "pcx_reader.h"
#include "pcx_writer.h"

namespace {

// 70 x 3 indexed picture with runs longer than 63, lone bytes, and indices at and above 0xC0;
// bytes per line 71, so every line carries one padding byte.
pcxw_image indexed_picture() {
  pcxw_image img;
  img.width = 70;
  img.height = 3;
  img.planes = 1;
  img.bytes_per_line = 71;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      uint8_t v = 5;
      if (y == 1) v = x < 66 ? 200 : static_cast<uint8_t>(x);  // a long high run, then singles
      if (y == 2) v = x % 7 == 0 ? 193 : (x % 2 ? 36 : 9);  // every byte differs from the next
      img.pixels.push_back(v);
    }
  img.palette.assign(768, 0);
  for (int i = 0; i < 256; ++i) {
    img.palette[i * 3] = static_cast<uint8_t>(i);
    img.palette[i * 3 + 1] = static_cast<uint8_t>(255 - i);
    img.palette[i * 3 + 2] = static_cast<uint8_t>(i * 7);
  }
  img.palette[36 * 3] = 255, img.palette[36 * 3 + 1] = 0, img.palette[36 * 3 + 2] = 255;
  return img;
}

pcxw_image rgb_picture() {
  pcxw_image img;
  img.width = 65;
  img.height = 2;
  img.planes = 3;
  img.bytes_per_line = 66;
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      bool white = y == 0 ? x < 64 : x % 3 == 1;
      bool magenta = y == 1 && x == 11;
      img.pixels.push_back(white || magenta ? 255 : 0);
      img.pixels.push_back(white ? 255 : 0);
      img.pixels.push_back(white || magenta ? 255 : static_cast<uint8_t>(x));
    }
  return img;
}

// What the game must make of the picture: colour 0xFFbbggrr, magenta as 0.
std::vector<uint32_t> expected_pixels(const pcxw_image &img) {
  std::vector<uint32_t> out;
  for (int i = 0; i < img.width * img.height; ++i) {
    uint32_t r, g, b;
    if (img.planes == 1) {
      int k = img.pixels[i];
      r = img.palette[k * 3], g = img.palette[k * 3 + 1], b = img.palette[k * 3 + 2];
    } else {
      r = img.pixels[i * 3], g = img.pixels[i * 3 + 1], b = img.pixels[i * 3 + 2];
    }
    out.push_back(r == 255 && g == 0 && b == 255 ? 0u : 0xFF000000u | b << 16 | g << 8 | r);
  }
  return out;
}

// Walks the packets scan line by scan line and reports a run that reaches past a line's end.
bool runs_stay_in_lines(const std::vector<uint8_t> &file, int lines, int bytes_per_line) {
  size_t pos = 128;
  for (int line = 0; line < lines; ++line) {
    int left = bytes_per_line;
    while (left > 0) {
      uint8_t b = file[pos++];
      int n = b >= 0xC0 ? (b & 0x3F) : 1;
      if (b >= 0xC0) ++pos;
      if (n > left) return false;
      left -= n;
    }
  }
  return true;
}

void check_every_size(const pcxw_image &img) {
  pcxw_range range = pcxw_size_range(img);
  ASSERT_LT(range.min_size, range.max_size);
  std::vector<uint32_t> want = expected_pixels(img);
  for (size_t size = range.min_size; size <= range.max_size; ++size) {
    std::vector<uint8_t> file;
    std::string error;
    ASSERT_TRUE(pcxw_encode(img, size, &file, &error)) << size << ": " << error;
    ASSERT_EQ(file.size(), size);
    decoded d = game_decode(file);
    ASSERT_EQ(d.width, img.width) << size;
    ASSERT_EQ(d.height, img.height) << size;
    ASSERT_EQ(d.pixels, want) << "size " << size;
    pcxr_picture p = pcxr_decode(file);
    ASSERT_TRUE(p.ok);
    ASSERT_EQ(p.pixels, want);
    ASSERT_TRUE(runs_stay_in_lines(file, img.height * img.planes, img.bytes_per_line)) << size;
    if (img.planes == 3) {
      ASSERT_EQ(p.stream_end, size) << "the stream must end at the file's end";
    }
  }
}

}  // namespace

TEST(PcxWriter, HeaderAndPaletteTail) {
  pcxw_image img = indexed_picture();
  std::vector<uint8_t> f;
  std::string error;
  ASSERT_TRUE(pcxw_encode_min(img, &f, &error)) << error;
  EXPECT_EQ(f[0], 0x0A);
  EXPECT_EQ(f[1], 0x05);
  EXPECT_EQ(f[2], 0x01);
  EXPECT_EQ(f[3], 0x08);
  EXPECT_EQ(f[8] | f[9] << 8, 69);   // x max = width - 1
  EXPECT_EQ(f[10] | f[11] << 8, 2);  // y max = height - 1
  EXPECT_EQ(f[65], 1);
  EXPECT_EQ(f[66] | f[67] << 8, 71);
  ASSERT_GT(f.size(), 769u);
  EXPECT_EQ(f[f.size() - 769], 12);
  EXPECT_TRUE(std::equal(img.palette.begin(), img.palette.end(), f.end() - 768));

  pcxw_image rgb = rgb_picture();
  ASSERT_TRUE(pcxw_encode_min(rgb, &f, &error)) << error;
  EXPECT_EQ(f[65], 3);
  EXPECT_EQ(f[66] | f[67] << 8, 66);
}

TEST(PcxWriter, SmallestAndLargestSizes) {
  // Line 0: 70 x byte 5 = run 63 + run 7 (4 bytes), padding 0 as one plain byte.
  // Line 1: 66 x 200 = runs 63 + 3 (4), bytes 66..69 below 0xC0 (4), padding (1).
  // Line 2: 70 stretches of one (high 193 as runs: 10 x 2, the rest plain: 60), padding (1).
  pcxw_range r = pcxw_size_range(indexed_picture());
  EXPECT_EQ(r.min_size, 128u + 5 + 9 + 81 + 769);
  EXPECT_EQ(r.max_size, 128u + 2 * 71 * 3 + 769);
}

TEST(PcxWriter, EveryReachableSizeRoundTripsIndexed) { check_every_size(indexed_picture()); }

TEST(PcxWriter, EveryReachableSizeRoundTripsThreePlanes) { check_every_size(rgb_picture()); }

TEST(PcxWriter, SizesOutsideTheRangeFailLoudly) {
  pcxw_image img = indexed_picture();
  pcxw_range r = pcxw_size_range(img);
  std::vector<uint8_t> f;
  std::string error;
  EXPECT_FALSE(pcxw_encode(img, r.min_size - 1, &f, &error));
  EXPECT_NE(error.find("outside"), std::string::npos) << error;
  error.clear();
  EXPECT_FALSE(pcxw_encode(img, r.max_size + 1, &f, &error));
  EXPECT_NE(error.find("outside"), std::string::npos) << error;
}

TEST(PcxWriter, OnlyEvenPaddingWhenEveryByteIsARunByte) {
  pcxw_image img;
  img.width = img.bytes_per_line = 8;
  img.height = 1;
  img.planes = 3;
  img.pixels.assign(8 * 3, 255);  // white: every stored byte needs a run header
  pcxw_range r = pcxw_size_range(img);
  EXPECT_EQ(r.min_size, 128u + 3 * 2);
  std::vector<uint8_t> f;
  std::string error;
  EXPECT_FALSE(pcxw_encode(img, r.min_size + 1, &f, &error));
  EXPECT_NE(error.find("odd"), std::string::npos) << error;
  EXPECT_TRUE(pcxw_encode(img, r.min_size + 2, &f, &error)) << error;
  EXPECT_EQ(game_decode(f).pixels, std::vector<uint32_t>(8, 0xFFFFFFFFu));
}

TEST(PcxWriter, MalformedPicturesRejected) {
  std::vector<uint8_t> f;
  std::string error;
  pcxw_image img = indexed_picture();
  img.planes = 2;
  EXPECT_FALSE(pcxw_encode_min(img, &f, &error));
  img = indexed_picture();
  img.bytes_per_line = img.width - 1;
  EXPECT_FALSE(pcxw_encode_min(img, &f, &error));
  img = indexed_picture();
  img.pixels.pop_back();
  EXPECT_FALSE(pcxw_encode_min(img, &f, &error));
  img = indexed_picture();
  img.palette.resize(767);
  EXPECT_FALSE(pcxw_encode_min(img, &f, &error));
  EXPECT_EQ(pcxw_size_range(img).max_size, 0u);
}
