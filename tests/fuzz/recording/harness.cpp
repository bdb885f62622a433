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

// The levels line names the levels the recording was made with; the seeds' lines would go
// stale whenever a level changes, so an input's 16 digits there become the levels of now.
static std::string with_current_levels(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const size_t at = text.find("\nlevels ");
  if (at != std::string::npos && text.find('\n') < at && at + 8 + 16 <= text.size()) {
    char digits[17];
    snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(rec_levels_checksum()));
    text.replace(at + 8, 16, digits);
  }
  return text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = "/tmp/tumbler_fuzz_recording_" + std::to_string(getpid()) + ".rec";
  const std::string text = with_current_levels(data, size);
  FILE* f = fopen(path.c_str(), "wb");
  if (!f) abort();
  fwrite(text.data(), 1, text.size(), f);
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
