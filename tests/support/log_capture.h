// Captures what os_log prints while a test runs: install in SetUp, read `text`.
#pragma once
#include <string>

#include "os_tools/os_log.h"

struct log_capture {
  static inline std::string text;
  static void sink(const char* line) { text += line; }
  log_capture() {
    text.clear();
    os_log_set_sink(&log_capture::sink);
  }
  ~log_capture() { os_log_set_sink(nullptr); }
  bool contains(const std::string& s) const { return text.find(s) != std::string::npos; }
};
