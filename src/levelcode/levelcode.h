// levelcode: a level file's exact bytes as a short code of URL-safe characters, for a link
// ("...#level=CODE") or a message, and the code back to the same bytes. The editor's Share,
// the browser page, tools/level_code and the game's own link start use it; any thread, but
// one call at a time (the coder's tables are the module's one state record).
//
// CODE = one version character ("1"), then the payload in base64url without padding:
//   method      1 byte: 0 the level's bytes as they are, 1 coded by the level model
//   size        the level's length in bytes, 7 bits per byte, low bits first (at most 3 bytes)
//   checksum    32-bit FNV-1a of the level's bytes, 4 bytes, low byte first
//   body        the bytes as they are, or an adaptive binary range coder's stream: each byte
//               is told as "the same as the byte above it" (same column, line before),
//               "the same as the byte before it", or spelt out bit by bit, each choice with
//               its own learnt odds by what the neighbours are (one set of odds for every
//               spelt-out byte). Rows of a level mostly repeat the ones above, so the game's
//               levels take 60 to 170 characters and a busy 30 x 21-cell level about 200.
// A code that is damaged, cut short, or not one of this game's never decodes to wrong
// bytes: the checksum and the exact length of the stream both have to agree.
#pragma once
#include <cstdint>

enum : int32_t {
  LC_VERSION = 1,
  LC_LEVEL_MAX = 64 * 1024,  // the largest level file the game reads
  LC_PAYLOAD_MAX = 1 + 3 + 4 + LC_LEVEL_MAX,
  // version character, base64 of the largest payload, the terminating NUL
  LC_CODE_MAX = 1 + (LC_PAYLOAD_MAX * 4 + 2) / 3 + 1,
  LC_MESSAGE_SIZE = 128,
};

// Writes the code of the `size` bytes at `level` into `out` (NUL-terminated). Returns the
// code's length, or 0 when size is over LC_LEVEL_MAX or out_size is too small for it
// (LC_CODE_MAX is always enough).
int32_t lc_encode(const uint8_t* level, uint32_t size, char* out, int32_t out_size);

// Reads a code: the bare code, or any text ending in "level=CODE" (a whole link); blanks and
// line ends after it are ignored, so is an "&..." after it. On success fills level[0 ..
// *size - 1] (level holds LC_LEVEL_MAX bytes) and returns true. Otherwise returns false
// with one line (no line end) in message saying what is wrong with the code.
bool lc_decode(const char* text, int32_t length, uint8_t* level, uint32_t* size, char* message,
               int32_t message_size);

// 32-bit FNV-1a, the code's checksum.
uint32_t lc_checksum(const uint8_t* data, uint32_t size);
