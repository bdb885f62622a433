// The log sink: nothing in the shipped game, stderr in a debug build, a capture seam for tests.
#include "os_tools/os_log.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

static struct {
  os_log_sink sink;
} os_log_state;

void os_log_set_sink(os_log_sink sink) { os_log_state.sink = sink; }

void os_log(const char* format, ...) {
#if !defined(TUMBLER_LOG_STDERR)
  if (!os_log_state.sink) return;  // the shipped game neither formats nor prints
#endif
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);  // a long message is cut, never overrun
  va_end(args);
  if (os_log_state.sink) {
    os_log_state.sink(text);
    return;
  }
  fputs(text, stderr);
}

// "src/graph/g_blit.cpp" -> "..\..\src\graph": the module is the folder under src.
void os_assert_fail(const char* file, int line) {
  const char* at = nullptr;
  for (const char* p = file; *p; ++p)
    if ((p[0] == '/' || p[0] == '\\') && strncmp(p + 1, "src", 3) == 0 && (p[4] == '/' || p[4] == '\\'))
      at = p + 5;
  char path[96] = "..\\..\\src\\";
  size_t n = strlen(path);
  const char* from = at ? at : file;
  while (*from && *from != '/' && *from != '\\' && n + 1 < sizeof path) path[n++] = *from++;
  path[n] = 0;
  os_log("assert:%s %d\n", path, line);
}
