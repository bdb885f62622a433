// The blocks queued on an SDL audio device, oldest first. SDL keeps one byte queue and tells
// only how much of it is still waiting; this record turns that into the per-block
// completions that the wave-out protocol expects.
#pragma once
#include <cstdint>

#include "platform.h"

enum : int32_t { SDL_FIFO_CAPACITY = PLATFORM_WAVE_HEADERS };

struct sdl_block_fifo {
  int32_t header[SDL_FIFO_CAPACITY];  // header slot of each queued block, oldest at `first`
  uint64_t end[SDL_FIFO_CAPACITY];    // bytes pushed up to and including that block
  int32_t first;
  int32_t count;
  uint64_t pushed;  // bytes queued since the last clear
};

// Empties the record (also after the device's queue was cleared).
void sdl_fifo_clear(sdl_block_fifo* fifo);

// Records a block of `bytes` queued under `header`. False (and nothing recorded) when the
// record is full.
bool sdl_fifo_push(sdl_block_fifo* fifo, int32_t header, uint32_t bytes);

// With `still_queued` bytes not yet taken by the device: removes and returns the header of
// the oldest block the device has taken whole, or -1 when that block is still (partly)
// waiting or nothing is queued. A count larger than what was pushed means nothing was taken.
int32_t sdl_fifo_pop_finished(sdl_block_fifo* fifo, uint32_t still_queued);
