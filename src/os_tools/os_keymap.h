// The key map: 16 pairs {virtual-key code, game key code}, searched in order. Plain
// constant data shared by every back end and by os_key_event.
#pragma once
#include <cstdint>

// Sets *count to 32 (the number of 32-bit values) and returns the pairs.
const uint32_t* platform_get_key_map(int32_t* count);
