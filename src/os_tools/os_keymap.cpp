// The key map, plain constant data: every back end reports its keys as Windows virtual-key
// codes and os_key_event translates them with this one table.
#include "os_tools/os_keymap.h"

static constexpr uint32_t OS_KEY_MAP[32] = {
    0x25, 1,    // left
    0x27, 2,    // right
    0x26, 3,    // up
    0x28, 4,    // down
    0x2E, 5,    // delete
    0x70, 255,  // F1 .. F9 count down from 255
    0x71, 254,  //
    0x72, 253,  //
    0x73, 252,  //
    0x74, 251,  //
    0x75, 250,  //
    0x76, 249,  //
    0x77, 248,  //
    0x78, 247,  //
    0x11, 246,  // control
    0x10, 245,  // shift
};

const uint32_t* platform_get_key_map(int32_t* count) {
  if (count) *count = 32;
  return OS_KEY_MAP;
}
