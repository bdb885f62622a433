// The frame as the presenter stacks the layers, composed in software: for checksums of what
// the game showed (recordings and replays compare them), with no GPU. Main thread.
#pragma once
#include <cstdint>

// Layer 0 opaque, the layers above blended by their alpha as the card blends them.
// out: 320 x 240 pixels 0xAABBGGRR with alpha 255.
void g_compose_frame(uint32_t* out);

// 64-bit FNV-1a of the composed frame's red, green and blue bytes.
uint64_t g_frame_checksum();
