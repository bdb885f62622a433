// The program's icons: packaging/icons/ holds exactly what assets/icon.txt draws, and a real
// reader (ImageMagick) sees every size as the 16 x 16 design in whole square blocks.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "icon_files.h"
#include "pcx_art.h"

namespace {

std::string read_text(const std::string &rel) {
  std::ifstream in(std::string(TUMBLER_SOURCE_DIR) + "/" + rel, std::ios::binary);
  EXPECT_TRUE(in.good()) << "cannot read " << rel;
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint32_t> design() {
  std::vector<uint32_t> art;
  std::string error;
  EXPECT_TRUE(art_build_icon(read_text("assets/icon.txt"), read_text("assets/tiles.txt"), &art, &error)) << error;
  return art;
}

// ImageMagick's reading of a file (or one picture of it, "file[n]") as 0xAABBGGRR.
std::vector<uint32_t> imagemagick_pixels(const std::string &rel, int size) {
  const std::string cmd = "convert '" + std::string(TUMBLER_SOURCE_DIR) + "/" + rel + "' rgba:- 2>/dev/null";
  FILE *p = popen(cmd.c_str(), "r");
  if (!p) return {};
  std::vector<uint8_t> raw(size_t(size) * size * 4 + 1);
  const size_t got = fread(raw.data(), 1, raw.size(), p);
  pclose(p);
  if (got != raw.size() - 1) return {};
  std::vector<uint32_t> out(size_t(size) * size);
  for (size_t i = 0; i < out.size(); ++i)
    out[i] = raw[i * 4] | raw[i * 4 + 1] << 8 | raw[i * 4 + 2] << 16 | uint32_t(raw[i * 4 + 3]) << 24;
  return out;
}

}  // namespace

TEST(Icons, CommittedFilesAreWhatTheSourceDraws) {
  const std::vector<uint32_t> art = design();
  ASSERT_EQ(art.size(), 256u);
  EXPECT_EQ(art[0], 0u);                        // the corners are see-through
  EXPECT_EQ(art[7 * 16 + 8], 0xFFF0A03Cu);      // the diamond's middle band, tile colour C
  EXPECT_EQ(art[15 * 16 + 8], 0xFF1C3C62u);     // the rim, tile colour B
  for (int size : {16, 32, 48, 64, 128, 192, 256, 512}) {
    const std::string rel = "packaging/icons/tumbler-" + std::to_string(size) + ".png";
    const std::vector<uint8_t> built = icon_png(icon_enlarge(art, 16, size / 16));
    const std::string committed = read_text(rel);
    EXPECT_TRUE(committed == std::string(built.begin(), built.end())) << rel << " is stale: run tools/make_icons.sh";
  }
  std::vector<icon_picture> pictures;
  for (int size : {16, 32, 48, 64, 128, 256}) pictures.push_back(icon_enlarge(art, 16, size / 16));
  const std::vector<uint8_t> ico = icon_ico(pictures);
  EXPECT_TRUE(read_text("packaging/icons/tumbler.ico") == std::string(ico.begin(), ico.end()))
      << "packaging/icons/tumbler.ico is stale: run tools/make_icons.sh";
}

TEST(Icons, ImageMagickReadsEverySizeAsSharpBlocks) {
  const std::vector<uint32_t> art = design();
  ASSERT_EQ(art.size(), 256u);
  std::vector<std::pair<std::string, int>> files;
  for (int size : {16, 32, 48, 64, 128, 192, 256, 512})
    files.push_back({"packaging/icons/tumbler-" + std::to_string(size) + ".png", size});
  int frame = 0;
  for (int size : {16, 32, 48, 64, 128, 256})  // bitmaps up to 64, PNG above
    files.push_back({"packaging/icons/tumbler.ico[" + std::to_string(frame++) + "]", size});
  for (const auto &[rel, size] : files) {
    const std::vector<uint32_t> seen = imagemagick_pixels(rel, size);
    ASSERT_EQ(seen.size(), size_t(size) * size) << rel << ": ImageMagick read no " << size << " x " << size << " picture";
    EXPECT_TRUE(seen == icon_enlarge(art, 16, size / 16).pixels) << rel;
  }
}
