// Files on Windows: rename() refuses to replace a file that is there, so the new file takes
// the old one's place with MoveFileEx, written through to the disk before it returns.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include "platform.h"

bool platform_replace_file(const char* from, const char* to) {
  return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}
