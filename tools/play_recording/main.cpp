// Plays a recording (tumbler --record FILE) without a window and says whether every frame
// came out as recorded, and where the game ended.
//   play_recording FILE [--checksums]
// Exit status: 0 every frame as recorded, 1 a frame differed, 2 not a recording.
#include <cstdio>
#include <cstring>
#include <string>

#include "game/game.h"
#include "platform_headless/headless_recording.h"

static const char* state_name(int32_t state) {
  const char* name = game_state_name(state);
  return name ? name : "?";
}

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && strcmp(argv[2], "--checksums") != 0)) {
    fprintf(stderr, "usage: play_recording FILE [--checksums]\n");
    return 2;
  }
  headless_playback played;
  if (!headless_play_recording(argv[1], &played)) {
    fputs(played.message.c_str(), stderr);
    return 2;
  }
  if (argc == 3)
    for (uint64_t c : played.checksums) printf("%016llx\n", static_cast<unsigned long long>(c));
  fputs(played.message.c_str(), played.status == 0 ? stdout : stderr);
  printf("final: state %s, level %d, diamonds %d, %u passes, %d blocks left\n", state_name(played.final_state),
         int(played.final_level), int(played.final_diamonds), unsigned(played.passes), int(played.leaks));
  return played.status == 0 && played.leaks == 0 ? 0 : 1;
}
