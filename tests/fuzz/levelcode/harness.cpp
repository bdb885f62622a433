// Level codes from the fuzzer. An input that starts with "C" is a code: reading it must
// end with the bytes or with one line, never a crash or a read past the data, and bytes it
// gives must come back from their own code. Any other input is a level file: its code must
// give back exactly its bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "levelcode/levelcode.h"

static uint8_t level[LC_LEVEL_MAX];
static uint8_t again[LC_LEVEL_MAX];
static char code[LC_CODE_MAX];

static void round_trip(const uint8_t* bytes, uint32_t size) {
  const int32_t length = lc_encode(bytes, size, code, int32_t(sizeof code));
  if (length <= 0 || length >= LC_CODE_MAX || code[length] != 0) abort();
  uint32_t got = 0;
  char message[LC_MESSAGE_SIZE];
  if (!lc_decode(code, length, again, &got, message, int32_t(sizeof message))) abort();
  if (got != size || memcmp(again, bytes, size) != 0) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0 && data[0] == 'C') {
    if (size - 1 > size_t(LC_CODE_MAX)) return 0;
    uint32_t got = 0;
    char message[LC_MESSAGE_SIZE];
    memset(message, 0, sizeof message);
    if (!lc_decode(reinterpret_cast<const char*>(data + 1), int32_t(size - 1), level, &got, message,
                   int32_t(sizeof message))) {
      const size_t n = strlen(message);
      if (n == 0 || n >= sizeof message - 1 || strchr(message, '\n') != nullptr) abort();
      return 0;
    }
    if (got > uint32_t(LC_LEVEL_MAX)) abort();
    static uint8_t copy[LC_LEVEL_MAX];
    memcpy(copy, level, got);
    round_trip(copy, got);
    return 0;
  }
  if (size > size_t(LC_LEVEL_MAX)) return 0;
  round_trip(data, uint32_t(size));
  return 0;
}
