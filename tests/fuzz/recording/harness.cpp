// A recording from the fuzzer: reading it must end with a yes or no and one line, never a
// crash, a hang or a read past the data; a good one is played through the game and must
// give back every block it took.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "os_tools/os_mem.h"
#include "platform_headless/headless_recording.h"
#include "record/record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/tumbler_fuzz_recording_" + std::to_string(getpid()) + ".rec";
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) abort();
  fwrite(data, 1, size, f);
  fclose(f);
  char message[REC_MESSAGE_SIZE];
  memset(message, 0, sizeof message);
  rec_restart();
  if (!rec_play_open(path.c_str(), false, message, int32_t(sizeof message))) {
    const size_t n = strlen(message);
    if (n == 0 || message[n - 1] != '\n' || strchr(message, '\n') != message + n - 1) abort();
    if (rec_mode() != REC_OFF) abort();
    return 0;
  }
  rec_restart();
  headless_playback played;
  if (!headless_play_recording(path, &played) || played.leaks != 0) abort();
  return 0;
}
