// libFuzzer harness: any bytes through the BMP decoder. The decoder must neither read past
// the input nor write past the image it made, and must give every block back.
#include <cstddef>
#include <cstdint>

#include "graph/g_load.h"
#include "os_tools/os_mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 0xFFFFFFFFu) return 0;
  // Pictures above 64K pixels cost a large zero-filled block per run and teach the fuzzer
  // nothing new (the size bound has its own tests): skip them to keep the runs fast.
  if (size >= 26) {
    const int32_t w = int32_t(data[18] | (uint32_t(data[19]) << 8) | (uint32_t(data[20]) << 16) | (uint32_t(data[21]) << 24));
    const uint32_t h = data[22] | (uint32_t(data[23]) << 8) | (uint32_t(data[24]) << 16);
    if (w > 0 && int64_t(w) * h > 65536) return 0;
  }
  g_image image = g_decode_bmp(data, uint32_t(size));
  if (image.pixels) {
    // Touch every pixel so a size that disagrees with the block shows up under ASan.
    uint32_t sum = 0;
    for (int64_t i = 0; i < int64_t(image.width) * image.height; ++i) sum += image.pixels[i];
    (void)sum;
    g_free_image(&image);
  }
  if (os_alloc_count() != 0) __builtin_trap();
  return 0;
}
