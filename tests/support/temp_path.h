// A scratch file name of this test process's own: two test runs at once (a sanitizer build
// beside the plain one, say) must not write each other's files.
#pragma once
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

inline std::string temp_path(const std::string& name) {
  return testing::TempDir() + "tumbler_" + std::to_string(getpid()) + "_" + name;
}
