// libFuzzer harness: any bytes through the BMP decoder. The decoder must neither read past
// the input nor write past the image it made, and must give every block back.
#include <cstddef>
#include <cstdint>

#include "graph/g_load.h"
#include "os_tools/os_mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0 || size > 0xFFFFFFFFu) return 0;
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
