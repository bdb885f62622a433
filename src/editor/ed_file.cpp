// The editor's files (ed_file.h).
#include "editor/ed_file.h"

#include <cstdio>
#include <cstring>

#include "platform.h"

int32_t ed_read_file(const char* path, uint8_t* buffer, int32_t max, int32_t* size) {
  *size = 0;
  FILE* f = fopen(path, "rb");
  if (!f) return ED_READ_MISSING;
  const size_t n = fread(buffer, 1, size_t(max), f);
  const bool failed = ferror(f) != 0;  // a folder opens, but does not read
  const bool more = !failed && n == size_t(max) && getc(f) != EOF;
  fclose(f);
  if (failed) return ED_READ_FAILED;
  if (more) return ED_READ_TOO_LARGE;
  *size = int32_t(n);
  return ED_READ_DONE;
}

bool ed_write_file(const char* path, const uint8_t* bytes, int32_t size) {
  char temporary[1100];
  if (snprintf(temporary, sizeof temporary, "%s.new", path) >= int(sizeof temporary)) return false;
  FILE* f = fopen(temporary, "wb");
  if (!f) return false;
  bool written = size == 0 || fwrite(bytes, 1, size_t(size), f) == size_t(size);
  written = fflush(f) == 0 && written;
  written = fclose(f) == 0 && written;
  if (!written || !platform_replace_file(temporary, path)) {
    remove(temporary);
    return false;
  }
  return true;
}

void ed_remove_file(const char* path) { remove(path); }

bool ed_sibling(const char* path, const char* ext, char* out, int32_t out_size) {
  const size_t length = strlen(path);
  size_t name = 0;  // where the last name starts
  for (size_t i = 0; i < length; ++i)
    if (path[i] == '/' || path[i] == '\\') name = i + 1;
  size_t stem = length;
  for (size_t i = length; i > name; --i)
    if (path[i - 1] == '.') {
      stem = i - 1;
      break;
    }
  if (stem == name) stem = length;  // ".hidden" is a name, not an extension
  const int n = snprintf(out, size_t(out_size), "%.*s%s", int(stem), path, ext);
  return n >= 0 && n < out_size;
}
