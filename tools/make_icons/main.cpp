// make_icons: draws the program's icon, assets/icon.txt in the tile sheet's colours, into
// packaging/icons/: tumbler-N.png for N = 16, 32, 48, 64, 128, 256 (the desktop's sizes) and
// 192, 512 (a web app's), and tumbler.ico (16 to 256) for the Windows program. Every size is
// a whole multiple of the 16 x 16 design, each design pixel one sharp block.
//   make_icons build <repo>    write the files
//   make_icons check <repo>    exit 1 when a committed file differs from what the source gives
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "icon_files.h"
#include "pcx_art.h"

namespace {

constexpr int PNG_SIZES[] = {16, 32, 48, 64, 128, 192, 256, 512};
constexpr int ICO_SIZES[] = {16, 32, 48, 64, 128, 256};

bool read_file(const std::string &path, std::string *out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::ostringstream s;
  s << f.rdbuf();
  *out = s.str();
  return true;
}

// Written beside the old file and renamed over it, so a failed run leaves the old one whole.
bool write_file(const std::string &path, const std::vector<uint8_t> &bytes) {
  const std::string part = path + ".part";
  {
    std::ofstream f(part, std::ios::binary);
    f.write(reinterpret_cast<const char *>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) return false;
  }
  return std::rename(part.c_str(), path.c_str()) == 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3 || (std::string(argv[1]) != "build" && std::string(argv[1]) != "check")) {
    std::fprintf(stderr, "usage: make_icons build|check <repo>\n");
    return 2;
  }
  const std::string mode = argv[1], root = argv[2];
  std::string icon_text, tiles_text, error;
  if (!read_file(root + "/assets/icon.txt", &icon_text) || !read_file(root + "/assets/tiles.txt", &tiles_text)) {
    std::fprintf(stderr, "make_icons: cannot read assets/icon.txt and assets/tiles.txt under %s\n", root.c_str());
    return 1;
  }
  std::vector<uint32_t> art;
  if (!art_build_icon(icon_text, tiles_text, &art, &error)) {
    std::fprintf(stderr, "make_icons: assets/icon.txt: %s\n", error.c_str());
    return 1;
  }
  std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
  for (int size : PNG_SIZES)
    files.push_back({"tumbler-" + std::to_string(size) + ".png",
                     icon_png(icon_enlarge(art, ART_ICON_SIZE, size / ART_ICON_SIZE))});
  std::vector<icon_picture> pictures;
  for (int size : ICO_SIZES) pictures.push_back(icon_enlarge(art, ART_ICON_SIZE, size / ART_ICON_SIZE));
  files.push_back({"tumbler.ico", icon_ico(pictures)});

  int faults = 0;
  for (const auto &[name, bytes] : files) {
    const std::string path = root + "/packaging/icons/" + name;
    if (mode == "build") {
      if (!write_file(path, bytes)) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", path.c_str());
        return 1;
      }
      std::printf("packaging/icons/%s: %zu bytes\n", name.c_str(), bytes.size());
    } else {
      std::string have;
      if (!read_file(path, &have) || have != std::string(bytes.begin(), bytes.end())) {
        std::fprintf(stderr, "make_icons: packaging/icons/%s differs from assets/icon.txt (tools/make_icons.sh)\n",
                     name.c_str());
        ++faults;
      }
    }
  }
  return faults ? 1 : 0;
}
