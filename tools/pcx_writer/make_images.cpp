// make_images: turns assets/tiles.txt, assets/font.txt and assets/title.txt into
// data/tiles.pcx, data/c64.pcx and data/title.pcx at their exact sizes.
//   make_images build   <repo>           write the three files
//   make_images check   <repo>           exit 1 when a committed file differs from its source
//   make_images sizes   <repo>           smallest and largest size each picture can take
//   make_images preview <repo> <dir>     PPM previews of the committed files as the game sees them
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "pcx_art.h"
#include "pcx_reader.h"
#include "pcx_writer.h"

namespace {

struct image_job {
  const char *asset;
  const char *data;
  size_t size;
  bool (*build)(const std::string &, pcxw_image *, std::string *);
};

constexpr image_job JOBS[] = {
    {"assets/tiles.txt", "data/tiles.pcx", ART_TILES_SIZE, art_build_tiles},
    {"assets/font.txt", "data/c64.pcx", ART_FONT_SIZE, art_build_font},
    {"assets/title.txt", "data/title.pcx", ART_TITLE_SIZE, art_build_title},
};

bool read_file(const std::string &path, std::string *out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream s;
  s << f.rdbuf();
  *out = s.str();
  return true;
}

bool make(const std::string &root, const image_job &job, std::vector<uint8_t> *bytes,
          pcxw_range *range) {
  std::string text, error;
  if (!read_file(root + "/" + job.asset, &text)) {
    std::fprintf(stderr, "make_images: cannot read %s\n", job.asset);
    return false;
  }
  pcxw_image img;
  if (!job.build(text, &img, &error)) {
    std::fprintf(stderr, "make_images: %s: %s\n", job.asset, error.c_str());
    return false;
  }
  if (range) *range = pcxw_size_range(img);
  if (!bytes) return true;
  if (!pcxw_encode(img, job.size, bytes, &error)) {
    std::fprintf(stderr, "make_images: %s: %s\n", job.data, error.c_str());
    return false;
  }
  return true;
}

// Writes the picture as PPM, transparent pixels shown as `key`.
void write_ppm(const std::string &path, int w, int h, const std::vector<uint32_t> &px,
               uint32_t key) {
  std::ofstream f(path, std::ios::binary);
  f << "P6\n" << w << " " << h << "\n255\n";
  for (uint32_t p : px) {
    if ((p >> 24) == 0) p = key;
    f.put(static_cast<char>(p & 0xFF)).put(static_cast<char>((p >> 8) & 0xFF))
        .put(static_cast<char>((p >> 16) & 0xFF));
  }
}

pcxr_picture load(const std::string &root, const char *data) {
  std::string s;
  if (!read_file(root + "/" + data, &s)) return {};
  return pcxr_decode(std::vector<uint8_t>(s.begin(), s.end()));
}

// Text drawn as the game draws it: black made transparent, a one-pixel black outline around
// the white, each character advancing by its measured width plus 2.
void preview_text(const pcxr_picture &font, const std::string &root, const std::string &dir) {
  const int W = 320, H = 260;
  std::vector<uint32_t> out(W * H, 0xFF3C3C3Cu);
  const char *lines[] = {"Collect all diamonds", "and follow the screen..", "start game",
                         " Game Over", "Next Level", "You Did IT!", "00 3/12 lvl:0",
                         "ABCDEFGHIJKLM", "NOPQRSTUVWXYZ", "abcdefghijklm", "nopqrstuvwxyz",
                         "0123456789!?.,:;#&@", "\xC0\xC9\xCE\xD5\xC4\xC7\xD1\xC5\xC6 \xA3\x80\xA9\xBF\xA1\xB0"};
  (void)root;
  int y = 0;
  for (const char *line : lines) {
    int x = 4;
    for (const unsigned char *c = reinterpret_cast<const unsigned char *>(line); *c; ++c) {
      int cx, cy;
      art_font_cell(*c, &cx, &cy);
      int width = 9;
      for (int col = cx + 17; col >= cx && width == 9; --col)
        for (int row = cy; row < cy + 19; ++row)
          if (font.pixels[row * 256 + col] != font.pixels[0]) {
            width = col - cx + 1;
            break;
          }
      auto white = [&](int sx, int sy) {
        return sx >= cx && sy >= cy && sx < cx + 18 && sy < cy + 19 &&
               font.pixels[sy * 256 + sx] == 0xFFFFFFFFu;
      };
      for (int dy = 0; dy < 19; ++dy)
        for (int dx = 0; dx < 18; ++dx) {
          int tx = x + dx, ty = y + dy;
          if (tx >= W || ty >= H) continue;
          bool near = false;
          for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox) near |= white(cx + dx + ox, cy + dy + oy);
          if (white(cx + dx, cy + dy)) out[ty * W + tx] = 0xFFFFFFFFu;
          else if (near) out[ty * W + tx] = 0xFF000000u;
        }
      x += width + 2 <= 18 ? width + 2 : 18;
    }
    y += 20;
  }
  write_ppm(dir + "/text.ppm", W, H, out, 0);
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: make_images build|check|sizes|preview <repo> [dir]\n");
    return 2;
  }
  std::string mode = argv[1], root = argv[2];
  if (mode == "sizes") {
    for (const image_job &job : JOBS) {
      pcxw_range range;
      if (!make(root, job, nullptr, &range)) return 1;
      std::printf("%-16s min %zu max %zu target %zu\n", job.data, range.min_size,
                  range.max_size, job.size);
    }
    return 0;
  }
  if (mode == "build" || mode == "check") {
    int faults = 0;
    for (const image_job &job : JOBS) {
      std::vector<uint8_t> bytes;
      if (!make(root, job, &bytes, nullptr)) return 1;
      std::string path = root + "/" + job.data;
      if (mode == "build") {
        std::ofstream f(path, std::ios::binary);
        f.write(reinterpret_cast<const char *>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
        if (!f) {
          std::fprintf(stderr, "make_images: cannot write %s\n", path.c_str());
          return 1;
        }
      } else {
        std::string have;
        if (!read_file(path, &have) || have != std::string(bytes.begin(), bytes.end())) {
          std::fprintf(stderr, "make_images: %s differs from %s\n", job.data, job.asset);
          ++faults;
        }
      }
    }
    return faults ? 1 : 0;
  }
  if (mode == "preview" && argc >= 4) {
    std::string dir = argv[3];
    pcxr_picture tiles = load(root, "data/tiles.pcx");
    pcxr_picture font = load(root, "data/c64.pcx");
    pcxr_picture title = load(root, "data/title.pcx");
    if (!tiles.ok || !font.ok || !title.ok) {
      std::fprintf(stderr, "make_images: cannot decode the data files\n");
      return 1;
    }
    write_ppm(dir + "/tiles.ppm", tiles.width, tiles.height, tiles.pixels, 0xFF6E5A50u);
    write_ppm(dir + "/font.ppm", font.width, font.height, font.pixels, 0);
    std::vector<uint32_t> screen(320 * 240, 0xFF3C3C3Cu);
    for (int y = 0; y < title.height; ++y)
      for (int x = 0; x < title.width; ++x)
        screen[(y + 15) * 320 + x] = title.pixels[y * title.width + x];
    write_ppm(dir + "/title.ppm", 320, 240, screen, 0xFF000000u);
    preview_text(font, root, dir);
    return 0;
  }
  std::fprintf(stderr, "make_images: unknown mode %s\n", mode.c_str());
  return 2;
}
