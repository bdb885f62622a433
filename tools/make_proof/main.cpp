// make_proof: a level's proof made from a replay that wins it (the replays of tests/replays),
// just as the editor keeps one from a won test-play: the play from the level's start to the
// win, recorded, beside the level file.
//   make_proof REPLAY LEVEL_FILE      writes the proof NAME.proof beside LEVEL_FILE
// The replay plays the game's own levels: LEVEL_FILE must hold the bytes of the level it wins.
// The proof is checked before the tool says it is made.
// Exit status: 0 made and checked; 1 the replay does not win that level; 2 a bad command
// line or file.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "file/file.h"
#include "game/game.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_harness.h"
#include "proof/proof.h"
#include "record/record.h"

static uint32_t recorded_clock() { return rec_clock(headless_time_ms); }

struct maker {
  std::string level;  // the file's bytes as the game reads them
  std::string proof;
  bool begun = false;
  bool won = false;
  std::string error;
};

// After every pass: the proof begins in the tick that sets the level up for the next one, and
// ends once it is won.
static void on_pass(uint32_t, void* user) {
  maker* m = static_cast<maker*>(user);
  if (!m->error.empty() || m->won) return;
  if (!m->begun && game.game_state == GS_LOAD_LEVEL) {
    const file_handle f = file_open(GAME_LEVELS[game.level_index % GAME_LEVEL_COUNT].map);
    if (f.size != m->level.size() || memcmp(f.data, m->level.data(), f.size) != 0) return;  // another level
    char message[REC_MESSAGE_SIZE] = "";
    const uint8_t* bytes = reinterpret_cast<const uint8_t*>(m->level.data());
    if (!rec_proof_begin(m->proof.c_str(), pf_level_checksum(bytes, uint32_t(m->level.size())), game.level_index,
                         message, int32_t(sizeof message)))
      m->error = message;
    m->begun = true;
  } else if (m->begun && (game.game_state == GS_NEXT_LEVEL || game.game_state == GS_WON)) {
    rec_proof_won();
    m->won = true;
  } else if (m->begun && game.game_state == GS_GAME_OVER) {
    m->error = "the replay loses the level";
  }
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: make_proof REPLAY LEVEL_FILE\n");
    return 2;
  }
  headless_replay replay;
  std::string error;
  if (!headless_replay_load(argv[1], &replay, &error)) {
    fprintf(stderr, "make_proof: %s\n", error.c_str());
    return 2;
  }
  maker m;
  std::ifstream in(argv[2], std::ios::binary);
  if (!in) {
    fprintf(stderr, "make_proof: cannot read %s\n", argv[2]);
    return 2;
  }
  m.level.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  while (!m.level.empty() && (m.level.back() == '\r' || m.level.back() == '\n')) m.level.pop_back();
  m.proof = std::filesystem::path(argv[2]).replace_extension(".proof").string();

  headless_set_clock_source(recorded_clock);
  headless_options options;
  options.on_pass = on_pass;
  options.user = &m;
  headless_result result;
  headless_play(replay, options, &result);
  rec_proof_drop();  // a proof still being kept when the replay ended was not won
  if (m.error.empty() && !m.begun) m.error = "the replay never plays that level";
  if (m.error.empty() && !m.won) m.error = "the replay does not win the level";
  if (!m.error.empty()) {
    fprintf(stderr, "make_proof: %s: %s\n", argv[2], m.error.c_str());
    return 1;
  }
  const pf_result check = pf_check_file(argv[2]);
  printf("%s: %s\n", m.proof.c_str(), check.text);
  return check.outcome == PF_WON ? 0 : 1;
}
