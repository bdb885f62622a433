// Per-block completions from SDL's byte queue.
#include "audio_sdl/sdl_block_fifo.h"

void sdl_fifo_clear(sdl_block_fifo* fifo) { *fifo = sdl_block_fifo{}; }

bool sdl_fifo_push(sdl_block_fifo* fifo, int32_t header, uint32_t bytes) {
  if (fifo->count >= SDL_FIFO_CAPACITY) return false;
  const int32_t at = (fifo->first + fifo->count) % SDL_FIFO_CAPACITY;
  fifo->pushed += bytes;
  fifo->header[at] = header;
  fifo->end[at] = fifo->pushed;
  fifo->count += 1;
  return true;
}

int32_t sdl_fifo_pop_finished(sdl_block_fifo* fifo, uint32_t still_queued) {
  if (fifo->count == 0) return -1;
  const uint64_t taken = still_queued >= fifo->pushed ? 0 : fifo->pushed - still_queued;
  if (taken < fifo->end[fifo->first]) return -1;
  const int32_t header = fifo->header[fifo->first];
  fifo->first = (fifo->first + 1) % SDL_FIFO_CAPACITY;
  fifo->count -= 1;
  return header;
}
