// Lookup by exact name, and the handle's life.
#include <gtest/gtest.h>

#include "file/file.h"
#include "support/log_capture.h"

namespace {

TEST(FileLookup, ExactNameFindsTheFile) {
  file_handle h = file_open("did_it.sqt");
  ASSERT_NE(h.data, nullptr);
  EXPECT_EQ(h.size, 105u);
  EXPECT_EQ(h.data[0], 'S');
  EXPECT_EQ(h.data[1], 'Q');
  file_handle again = file_open("did_it.sqt");
  EXPECT_EQ(again.data, h.data);  // a view of the same constant bytes, never a copy
  EXPECT_EQ(again.size, h.size);
}

TEST(FileLookup, NearMissesFindNothing) {
  log_capture log;
  const char* misses[] = {"DID_IT.SQT", "Did_it.sqt", "did_it", "did_it.sqt ", "did_it.sqtx",
                          "id_it.sqt",  "data/did_it.sqt", "",  "map0.TXT",   "map0"};
  for (const char* name : misses) {
    file_handle h = file_open(name);
    EXPECT_EQ(h.data, nullptr) << name;
    EXPECT_EQ(h.size, 0u) << name;
  }
  file_handle none = file_open(nullptr);
  EXPECT_EQ(none.data, nullptr);
  EXPECT_EQ(log.text, "");  // a missing name is the caller's business
}

TEST(FileLookup, CloseEmptiesTheHandle) {
  log_capture log;
  file_handle h = file_open("map0.txt");
  ASSERT_NE(h.data, nullptr);
  file_close(&h);
  EXPECT_EQ(h.data, nullptr);
  EXPECT_EQ(h.size, 0u);
  EXPECT_EQ(log.text, "");
  // Closing it again is a precondition failure: reported, and the handle stays empty.
  file_close(&h);
  EXPECT_TRUE(log.contains("assert:..\\..\\src\\file "));
  EXPECT_EQ(h.data, nullptr);
  EXPECT_EQ(h.size, 0u);
  // The file itself is still there for the next caller.
  EXPECT_EQ(file_open("map0.txt").size, 156u);
}

}  // namespace
