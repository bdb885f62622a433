// level_code: a level file as the short code of a link (#level=CODE), and a code back to
// the very same bytes, so that levels can be passed on as text and made into --levels
// folders.
//   level_code FILE                  prints the code of the level file FILE
//   level_code --decode CODE FILE    writes the level of CODE to FILE (CODE may be a whole
//                                    link; "-" reads it from the standard input)
// Exit status: 0 done; 2 a bad code, a file that cannot be read or is over 64 KB, or a bad
// command line (one line on stderr); 1 the file could not be written.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

#include "levelcode/levelcode.h"

static int usage() {
  fprintf(stderr, "usage: level_code FILE | level_code --decode CODE FILE\n");
  return 2;
}

static int encode(const char* path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    fprintf(stderr, "level_code: cannot read %s\n", path);
    return 2;
  }
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (bytes.size() > size_t(LC_LEVEL_MAX)) {
    fprintf(stderr, "level_code: %s is larger than 64 KB, which no level is\n", path);
    return 2;
  }
  static char code[LC_CODE_MAX];
  if (lc_encode(bytes.data(), uint32_t(bytes.size()), code, int32_t(sizeof code)) <= 0) {
    fprintf(stderr, "level_code: %s cannot be made into a code\n", path);
    return 2;
  }
  printf("%s\n", code);
  return 0;
}

// The level goes into a new file beside FILE, which then takes FILE's place: FILE is either
// the old level or the whole new one, never half written.
static int decode(const std::string& code, const char* path) {
  static uint8_t level[LC_LEVEL_MAX];
  uint32_t size = 0;
  char message[LC_MESSAGE_SIZE];
  if (!lc_decode(code.data(), int32_t(code.size()), level, &size, message, int32_t(sizeof message))) {
    fprintf(stderr, "level_code: %s\n", message);
    return 2;
  }
  const std::string temporary = std::string(path) + ".new-" + std::to_string(getpid());
  FILE* f = fopen(temporary.c_str(), "wb");
  bool written = f && fwrite(level, 1, size, f) == size;
  if (f) written = fclose(f) == 0 && written;
  std::error_code ec;
  if (written) std::filesystem::rename(temporary, path, ec);
  if (!written || ec) {
    std::filesystem::remove(temporary, ec);
    fprintf(stderr, "level_code: cannot write %s\n", path);
    return 1;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc == 2 && argv[1][0] != '-') return encode(argv[1]);
  if (argc == 4 && strcmp(argv[1], "--decode") == 0) {
    std::string code = argv[2];
    if (code == "-") code.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
    return decode(code, argv[3]);
  }
  return usage();
}
