// Tracked memory: every heap block of the core comes from os_alloc and goes back through
// os_free, so the live-block count at shutdown is a real leak check. Main thread only.
#pragma once
#include <cstdint>

// A zero-filled block of at least size bytes, stamped with marker 0xA5 and a serial in an
// 8-byte header. Never returns null: when the heap refuses, the program reports it on stderr
// and ends at once.
void* os_alloc(uint32_t size);

// Releases the block *address points at and sets *address to null. A block that is not live
// (released already, or not from os_alloc) is reported and left alone.
void os_free_ptr(void** address);
template <typename T>
inline void os_free(T** address) {
  os_free_ptr(reinterpret_cast<void**>(address));
}

int32_t os_alloc_count();   // number of live blocks
uint8_t os_alloc_serial();  // serial the next block gets

// The leak check at shutdown, made by every back end's platform_close_window once the game
// has released everything: logs "memory leak : %d blocks\n" and an assertion when tracked
// blocks are still live.
void os_report_leaks();

// Test seam: replaces the underlying heap (nulls restore malloc and free).
typedef void* (*os_heap_alloc_fn)(uint64_t bytes);
typedef void (*os_heap_free_fn)(void* block);
void os_set_heap(os_heap_alloc_fn alloc, os_heap_free_fn release);
