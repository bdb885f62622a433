// What the headless platform supplies to the main loop's pass: no system events (scripted
// keys reach the game through rec_key before the pass, as a real back end's would have been
// taken after the pass before), no pads, and a scripted pointer. Tests and tools only.
#pragma once
#include <cstdint>

// The pointer the next passes read: button held, position in window-client pixels.
void headless_set_pointer(bool down, int32_t x, int32_t y);
