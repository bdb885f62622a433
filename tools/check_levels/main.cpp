// check_levels: plays the proof of every level file in a folder without a window and says,
// level by level, whether its proof wins it (and with how much time to spare), whether it has
// no proof, or where its proof fails.
//   check_levels DIR
// Each level file is DIR/NAME.txt (one with a proof beside it, or one that holds a start
// cell), its proof DIR/NAME.proof (tumbler --edit makes both).
// Exit status: 0 every proof there wins its level (levels without one are only listed);
// 1 a proof fails; 2 DIR is not a folder of levels or the command line is wrong.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform_headless/headless_clock.h"
#include "proof/proof.h"
#include "record/record.h"

// The game reads the clock through the recording hooks, as every back end has it, so that
// the proof's readings reach it.
static uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: check_levels DIR\n");
    return 2;
  }
  namespace fs = std::filesystem;
  std::error_code ec;
  if (!fs::is_directory(argv[1], ec)) {
    fprintf(stderr, "check_levels: %s is not a folder\n", argv[1]);
    return 2;
  }
  // The levels: every NAME.txt with a proof beside it, and every other one that holds a
  // start cell (so that a folder's other text files, such as a manifest, are let be).
  std::vector<fs::path> levels, proofs;
  for (const auto& entry : fs::directory_iterator(argv[1], ec)) {
    if (!entry.is_regular_file()) continue;
    const fs::path& path = entry.path();
    if (path.extension() == ".proof") proofs.push_back(path);
    if (path.extension() != ".txt") continue;
    std::ifstream in(path, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (fs::exists(fs::path(path).replace_extension(".proof")) || text.find('S') != std::string::npos)
      levels.push_back(path);
  }
  if (levels.empty()) {
    fprintf(stderr, "check_levels: %s holds no level file (NAME.txt)\n", argv[1]);
    return 2;
  }
  std::sort(levels.begin(), levels.end());
  headless_set_clock_source(recorded_clock);
  bool failed = false;
  for (const fs::path& level : levels) {
    const pf_result r = pf_check_file(level.string().c_str());
    printf("%s: %s\n", level.filename().string().c_str(), r.text);
    failed |= r.outcome == PF_FAILS;
  }
  std::sort(proofs.begin(), proofs.end());
  for (const fs::path& proof : proofs)
    if (!fs::exists(fs::path(proof).replace_extension(".txt")))
      printf("%s: a proof without its level\n", proof.filename().string().c_str());
  return failed ? 1 : 0;
}
