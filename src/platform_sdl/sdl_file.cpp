// Files on Linux: rename replaces the old file in one step.
#include <cstdio>

#include "platform.h"

bool platform_replace_file(const char* from, const char* to) { return rename(from, to) == 0; }
