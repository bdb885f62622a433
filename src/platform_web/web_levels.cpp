// Level codes for the page (site/tumbler_level.js): the level of a link's #level=CODE
// written into the in-memory file system for --level or --edit, and the editor's saved
// level as the code of a Share link. Called by the page between frames (ccall).
#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "editor/ed_file.h"
#include "levelcode/levelcode.h"

namespace {

uint8_t web_level[LC_LEVEL_MAX];
char web_code[LC_CODE_MAX];
char web_message[LC_MESSAGE_SIZE];

}  // namespace

// Decodes the code (or a whole link ending in "level=CODE") into the file at path, written
// safely. "" when done, else the one line saying what is wrong (the file is then untouched).
extern "C" EMSCRIPTEN_KEEPALIVE const char* web_level_from_code(const char* text, const char* path) {
  uint32_t size = 0;
  web_message[0] = 0;
  if (!lc_decode(text, int32_t(strlen(text)), web_level, &size, web_message, int32_t(sizeof web_message)))
    return web_message;
  if (!ed_write_file(path, web_level, int32_t(size))) snprintf(web_message, sizeof web_message, "it cannot be stored");
  return web_message;
}

// The code of the level file at path, or "" when it is not there or cannot be coded.
extern "C" EMSCRIPTEN_KEEPALIVE const char* web_level_code(const char* path) {
  int32_t size = 0;
  web_code[0] = 0;
  if (ed_read_file(path, web_level, LC_LEVEL_MAX, &size) != ED_READ_DONE) return web_code;
  lc_encode(web_level, uint32_t(size), web_code, int32_t(sizeof web_code));
  return web_code;
}
