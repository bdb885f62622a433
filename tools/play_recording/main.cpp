// Plays a recording (tumbler --record FILE) without a window and says whether every frame
// came out as recorded, and where the game ended.
//   play_recording [--levels DIR] FILE [--checksums]
// --levels DIR: the level folder the recording was made with (as tumbler --levels DIR).
// Exit status: 0 every frame as recorded, 1 a frame differed, 2 not a recording (or a bad
// command line or level folder), 3 a recording cut short, played as recorded to its end.
#include <cstdio>
#include <cstring>
#include <string>

#include "game/game.h"
#include "map/map.h"
#include "platform_headless/headless_recording.h"
#include "record/record.h"

static const char* state_name(int32_t state) {
  const char* name = game_state_name(state);
  return name ? name : "?";
}

int main(int argc, char** argv) {
  const char* file = nullptr;
  const char* levels = nullptr;
  bool checksums = false;
  bool usage = false;
  for (int i = 1; i < argc && !usage; ++i) {
    if (strcmp(argv[i], "--checksums") == 0 && !checksums) {
      checksums = true;
    } else if (strcmp(argv[i], "--levels") == 0 && !levels && i + 1 < argc) {
      levels = argv[++i];
    } else if (strncmp(argv[i], "--", 2) != 0 && !file) {
      file = argv[i];
    } else {
      usage = true;
    }
  }
  if (usage || !file) {
    fprintf(stderr, "usage: play_recording [--levels DIR] FILE [--checksums]\n");
    return 2;
  }
  char message[1024];
  if (levels && !map_use_folder(levels, message, int32_t(sizeof message))) {
    fputs(message, stderr);
    return 2;
  }
  headless_playback played;
  if (!headless_play_recording(file, &played)) {
    fputs(played.message.c_str(), stderr);
    return 2;
  }
  if (checksums)
    for (uint64_t c : played.checksums) printf("%016llx\n", static_cast<unsigned long long>(c));
  fputs(played.message.c_str(), played.status == 0 ? stdout : stderr);
  printf("final: state %s, level %d, diamonds %d, %u passes, %d blocks left\n", state_name(played.final_state),
         int(played.final_level), int(played.final_diamonds), unsigned(played.passes), int(played.leaks));
  if (played.leaks != 0) return 1;
  return played.status == 0 || played.status == REC_EXIT_CUT ? played.status : 1;
}
