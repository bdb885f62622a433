// Levels' proofs: the seven levels are won by the proofs beside them, a proof that does not
// win its level says where it goes wrong, and a check leaves the game as it found it.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include <unistd.h>

#include "game/game.h"
#include "os_tools/os_mem.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "proof/proof.h"
#include "record/record.h"

namespace {

namespace fs = std::filesystem;

uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

std::string read_file(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void write_file(const fs::path& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

fs::path data(const std::string& name) { return fs::path(TUMBLER_SOURCE_DIR) / "data" / name; }

class proof : public ::testing::Test {
 protected:
  fs::path dir;
  void SetUp() override {
    headless_set_clock_source(recorded_clock);
    dir = fs::path(testing::TempDir()) / ("tumbler_proof_" + std::to_string(getpid()) + "_" + std::to_string(rand()));
    fs::create_directories(dir);
  }
  void TearDown() override {
    headless_set_clock_source(nullptr);
    rec_restart();
    fs::remove_all(dir);
  }
  // A level and its proof, the proof's lines passed through `edit`.
  pf_result check(const std::string& level, const std::string& proof_text) {
    write_file(dir / "level.txt", level);
    write_file(dir / "level.proof", proof_text);
    return pf_check_file((dir / "level.txt").string().c_str());
  }
};

TEST_F(proof, TheGamesLevelsAreWonByTheProofsBesideThem) {
  for (int32_t i = 0; i < 7; ++i) {
    const std::string name = "map" + std::to_string(i) + ".txt";
    const int32_t blocks = os_alloc_count();
    const pf_result r = pf_check_file(data(name).string().c_str());
    EXPECT_EQ(r.outcome, PF_WON) << name << ": " << r.text;
    EXPECT_GT(r.spare, 0.0f) << name;
    EXPECT_EQ(std::string(r.text).rfind("won by its proof, ", 0), 0u) << r.text;
    EXPECT_EQ(os_alloc_count(), blocks) << name << ": the check gave back every block";
  }
}

TEST_F(proof, AProofThatDoesNotWinItsLevelSaysWhere) {
  const std::string level = read_file(data("map0.txt"));
  const std::string good = read_file(data("map0.proof"));
  ASSERT_FALSE(good.empty());
  // The proof without its key lines, and cut off in the middle (a file ended without its
  // end line plays to its last frame).
  std::string no_keys, cut;
  std::istringstream lines(good);
  int32_t count = 0, frames = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    frames += line.rfind("f ", 0) == 0;
    if (line.rfind("k ", 0) != 0 && line.rfind("end ", 0) != 0) no_keys += line + "\n";
    if (count < 40) cut += line + "\n";
  }
  no_keys += "end " + std::to_string(frames) + "\n";
  std::string changed = level;
  changed[level.find('D')] = 'X';
  const struct {
    const char* name;
    std::string level, proof;
    int32_t outcome;
    const char* says;
  } cases[] = {
      {"the level as won", level, good, PF_WON, "won by its proof"},
      {"a level changed since", changed, good, PF_FAILS, "won on other level bytes"},
      {"no keys pressed", level, no_keys, PF_FAILS, "its play leaves the recording (the game ticked where"},
      {"cut short", level, cut, PF_FAILS, "its recording ends before the level is won"},
      {"a recording of a session, no proof", level, read_file(fs::path(TUMBLER_SOURCE_DIR) / "tests/fuzz/recording/corpus/short_level.rec"),
       PF_FAILS, "not a level's proof"},
      {"not a recording", level, "hello\n", PF_FAILS, "the proof fails: "},
  };
  for (const auto& c : cases) {
    const pf_result r = check(c.level, c.proof);
    EXPECT_EQ(r.outcome, c.outcome) << c.name << ": " << r.text;
    EXPECT_NE(std::string(r.text).find(c.says), std::string::npos) << c.name << ": " << r.text;
    EXPECT_EQ(std::string(r.text).find('\n'), std::string::npos) << c.name;
  }
  fs::remove(dir / "level.proof");
  EXPECT_EQ(pf_check_file((dir / "level.txt").string().c_str()).outcome, PF_NO_PROOF);
  EXPECT_STREQ(pf_check_file((dir / "level.txt").string().c_str()).text, "no proof");
}

// A proof of a play that is lost: recorded from the level's start as the editor records a
// test-play, but kept although the enemy got the player.
TEST_F(proof, ALostPlayFailsAtTheFrameOfTheLoss) {
  headless_replay replay;
  std::string error;
  ASSERT_TRUE(headless_replay_load(std::string(TUMBLER_SOURCE_DIR) + "/tests/replays/level0_lose_enemy.txt", &replay,
                                   &error))
      << error;
  struct keeper {
    std::string path;
    uint64_t level;
    bool begun = false, kept = false;
  } k{(dir / "level.proof").string(), 0};
  const std::string level = read_file(data("map0.txt"));
  k.level = pf_level_checksum(reinterpret_cast<const uint8_t*>(level.data()), uint32_t(level.size()));
  headless_options options;
  options.user = &k;
  options.on_pass = [](uint32_t, void* user) {
    keeper* k = static_cast<keeper*>(user);
    char message[REC_MESSAGE_SIZE];
    if (!k->begun && game.game_state == GS_LOAD_LEVEL)
      k->begun = rec_proof_begin(k->path.c_str(), k->level, 0, message, int32_t(sizeof message));
    if (k->begun && !k->kept && game.game_state == GS_GAME_OVER && game.end_timer > 1.0f) {
      rec_proof_won();
      k->kept = true;
    }
  };
  headless_result result;
  headless_play(replay, options, &result);
  ASSERT_TRUE(k.kept);
  write_file(dir / "level.txt", level);
  const pf_result r = pf_check_file((dir / "level.txt").string().c_str());
  EXPECT_EQ(r.outcome, PF_FAILS) << r.text;
  EXPECT_NE(std::string(r.text).find(": the level was lost"), std::string::npos) << r.text;
  EXPECT_GT(r.frame, 10u);
}

TEST_F(proof, TheCheckLeavesTheGameAsItFoundIt) {
  headless_replay replay;
  std::string error;
  ASSERT_TRUE(headless_replay_load(std::string(TUMBLER_SOURCE_DIR) + "/tests/replays/level0_win.txt", &replay, &error));
  headless_options options;
  options.checksums = true;
  headless_result before, after;
  headless_play(replay, options, &before);
  pf_check_file(data("map3.txt").string().c_str());
  headless_play(replay, options, &after);
  EXPECT_TRUE(after.ok) << after.failures_text();
  EXPECT_EQ(after.checksums, before.checksums);
}

}  // namespace
