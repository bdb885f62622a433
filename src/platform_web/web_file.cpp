// Files in the browser live in emscripten's in-memory file system, whose rename replaces
// the old file as POSIX says.
#include <cstdio>

#include "platform.h"

bool platform_replace_file(const char* from, const char* to) { return rename(from, to) == 0; }
