// proof: a level's proof that it can be won, and the check of it. A proof is the recording of
// a won test-play (the editor keeps it beside the level as FILE with the extension .proof,
// see record/rec_format.h); it names the level by the checksum of its bytes. Checking plays
// it again through the game's own loop and rules, silently (no window, no sound device, no
// drawing of the level: frames are not compared), from the level's start to the win, far
// faster than playing. tools/check_levels and `tumbler --levels DIR` at start use it.
// Main thread; the check runs the whole game once and leaves every module as it found it,
// so it must not run while the game does.
#pragma once
#include <cstdint>

enum : int32_t {
  PF_WON = 0,     // the proof wins the level
  PF_NO_PROOF,    // there is no proof beside the level
  PF_FAILS,       // the proof does not win it: another level's, a bad file, or the play goes wrong
};

struct pf_result {
  int32_t outcome;
  uint32_t frame;   // the tick of the win, or where the proof failed (0 before any tick)
  float spare;      // PF_WON: seconds the player had left when the last diamond was taken
                    // (until the end of the path would end the level); -1 with no time limit
  char text[192];   // one line, no line end: "won by its proof, 14.2 s to spare", "no proof",
                    // "the proof fails at frame 812: the level was lost", ...
};

// 64-bit FNV-1a of a level's bytes as the game reads them: what a proof names.
uint64_t pf_level_checksum(const uint8_t* level, uint32_t size);

// Checks the proof at proof_path against the level bytes (as the game reads them).
pf_result pf_check(const uint8_t* level, uint32_t size, const char* proof_path);
// The same for a level file: its bytes as the game reads them (the line ends at its end
// dropped) and the proof beside it. A level file that cannot be read fails.
pf_result pf_check_file(const char* level_path);
// The check at the start of `tumbler --levels DIR`: one line on stderr for each of the
// game's level files present in the folder, as "tumbler: DIR/map0.txt: won by its proof,
// ...". Says nothing else and changes nothing: the game plays levels without a proof too.
void pf_check_folder(const char* folder);

// --- the silent game, for the game's hooks ------------------------------------------------
// True while a check runs: game_init then calls pf_start instead of its own set-up.
bool pf_active();
// game_init of a check: an offscreen display, no sound device, the level started as the proof
// names it.
void pf_start();
