// The tracked allocator: block sizes, headers, serials, the live count, bad frees, no memory.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "os_tools/os_mem.h"
#include "support/log_capture.h"

namespace {

// A heap that remembers the size of each underlying block and never gives memory back, so
// that a released block's header can still be read.
std::vector<uint64_t> g_sizes;
std::vector<void*> g_kept;
void* keeping_alloc(uint64_t bytes) {
  g_sizes.push_back(bytes);
  void* p = malloc(size_t(bytes));
  g_kept.push_back(p);
  return p;
}
void keeping_free(void*) {}

struct MemTest : ::testing::Test {
  void SetUp() override {
    g_sizes.clear();
    os_set_heap(keeping_alloc, keeping_free);
  }
  void TearDown() override {
    os_set_heap(nullptr, nullptr);
    for (void* p : g_kept) free(p);
    g_kept.clear();
  }
};

TEST_F(MemTest, UnderlyingSizeIsNextMultipleOf32AboveSizePlusHeader) {
  const uint32_t sizes[] = {0, 23, 24, 55, 56, 1000};
  const uint64_t want[] = {32, 32, 64, 64, 96, 1024};
  for (int i = 0; i < 6; ++i) {
    void* p = os_alloc(sizes[i]);
    EXPECT_EQ(g_sizes.back(), want[i]) << sizes[i];
    os_free(&p);
  }
}

TEST_F(MemTest, BlockIsZeroFilledWithMarkerAndSerial) {
  uint8_t serial = os_alloc_serial();
  uint8_t* p = static_cast<uint8_t*>(os_alloc(0));
  EXPECT_EQ(p[-8], 0xA5);
  EXPECT_EQ(p[-7], serial);
  for (int i = -6; i < 24; ++i) EXPECT_EQ(p[i], 0) << i;
  EXPECT_EQ(os_alloc_serial(), uint8_t(serial + 1));
  os_free(&p);
}

TEST_F(MemTest, SerialWrapsAfter256Blocks) {
  uint8_t first = os_alloc_serial();
  for (int i = 0; i < 256; ++i) {
    void* p = os_alloc(4);
    os_free(&p);
  }
  uint8_t* p = static_cast<uint8_t*>(os_alloc(4));
  EXPECT_EQ(p[-7], first);
  os_free(&p);
}

TEST_F(MemTest, FreeNullsVariableClearsMarkerAndCounts) {
  int32_t before = os_alloc_count();
  uint8_t* p = static_cast<uint8_t*>(os_alloc(10));
  uint8_t* header = p - 8;
  EXPECT_EQ(os_alloc_count(), before + 1);
  os_free(&p);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(os_alloc_count(), before);
  EXPECT_EQ(header[0], 0);
}

TEST_F(MemTest, SecondFreeIsReportedAndChangesNothing) {
  log_capture log;
  int32_t before = os_alloc_count();
  uint8_t* p = static_cast<uint8_t*>(os_alloc(10));
  uint8_t* again = p;
  os_free(&p);
  os_free(&again);  // the marker is 0 now: reported, not released twice
  EXPECT_EQ(again, nullptr);
  EXPECT_EQ(os_alloc_count(), before);
  EXPECT_TRUE(log.contains("assert:..\\..\\src\\os_tools "));
}

TEST_F(MemTest, FreeOfNullVariableIsReported) {
  log_capture log;
  void* p = nullptr;
  os_free(&p);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST_F(MemTest, AllocationIsLogged) {
  log_capture log;
  void* p = os_alloc(24);
  EXPECT_TRUE(log.contains(" 64 (")) << log.text;
  os_free(&p);
  EXPECT_TRUE(log.contains("os_free : 0x"));
}

void* refusing_alloc(uint64_t) { return nullptr; }

TEST(MemDeathTest, RefusedHeapEndsProgramWithMessage) {
  EXPECT_EXIT(
      {
        os_set_heap(refusing_alloc, nullptr);
        os_alloc(100);
      },
      ::testing::ExitedWithCode(1), "out of memory");
}

}  // namespace
