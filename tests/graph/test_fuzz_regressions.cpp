// Inputs the fuzzers once found troublesome (tests/fuzz/*/regressions), each replayed here.
#include <gtest/gtest.h>

#include "graph/g_load.h"
#include "image_files.h"
#include "os_tools/os_mem.h"

// 1066 x 15623 indexed pixels announced by a 1064-byte file: the decoder spent seconds
// filling and converting a 66 MB image that the stream could never reach. Above the image
// bound now: refused at once.
TEST(fuzz_regressions, pcx_huge_indexed_short_stream) {
  bytes file = read_fixture("tests/fuzz/pcx/regressions/huge_indexed_short_stream.pcx");
  ASSERT_EQ(file.size(), 1064u);
  g_image image = g_decode_pcx(file.data(), uint32_t(file.size()));
  EXPECT_EQ(image.pixels, nullptr);
  EXPECT_EQ(os_alloc_count(), 0);
}
