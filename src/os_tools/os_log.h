// os_log: the program's one log sink, and the assertion that logs and carries on.
// Owned by os_tools; every module reports through it. The shipped game discards every
// message without formatting it. A debug build (CMake option TUMBLER_LOG_STDERR) prints to
// stderr, and tests install a capture sink to check the exact texts.
#pragma once
#include <cstdint>

// printf-style message to the log. Does nothing unless a sink is installed or the build
// sends the log to stderr.
void os_log(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Test seam: every formatted message goes to sink (null removes it). Main thread only.
typedef void (*os_log_sink)(const char* text);
void os_log_set_sink(os_log_sink sink);

// Reports a failed check as "assert:%s %d\n" with the module's source path in the form
// "..\..\src\<module>" and the line. Never stops the program.
void os_assert_fail(const char* file, int line);

#define OS_ASSERT(cond) ((cond) ? (void)0 : os_assert_fail(__FILE__, __LINE__))
