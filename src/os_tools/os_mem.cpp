// The tracked allocator: an 8-byte header (marker, serial) in front of a zero-filled block.
#include "os_tools/os_mem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "os_tools/os_log.h"

static constexpr uint8_t OS_BLOCK_LIVE = 0xA5;
static constexpr uint32_t OS_BLOCK_HEADER = 8;

static struct {
  int32_t count;
  uint8_t serial;
  os_heap_alloc_fn heap_alloc;
  os_heap_free_fn heap_free;
} os_mem;

int32_t os_alloc_count() { return os_mem.count; }
uint8_t os_alloc_serial() { return os_mem.serial; }

void os_report_leaks() {
  const int32_t live = os_mem.count;
  if (live <= 0) return;
  os_log("memory leak : %d blocks\n", live);
  OS_ASSERT(live == 0);
}
void os_set_heap(os_heap_alloc_fn alloc, os_heap_free_fn release) {
  os_mem.heap_alloc = alloc;
  os_mem.heap_free = release;
}

void* os_alloc(uint32_t size) {
  OS_ASSERT(os_mem.count >= 0);
  os_mem.count++;
  // The smallest multiple of 32 strictly above size + 8; done in 64 bits so that no request
  // can wrap round to a small block.
  uint64_t bytes = ((uint64_t(size) + OS_BLOCK_HEADER) & ~uint64_t(31)) + 32;
  uint8_t* block = nullptr;
  if (bytes <= SIZE_MAX) block = static_cast<uint8_t*>(os_mem.heap_alloc ? os_mem.heap_alloc(bytes) : malloc(size_t(bytes)));
  if (!block) {
    fprintf(stderr, "Tumbler: out of memory (%llu bytes requested)\n", (unsigned long long)bytes);
    fflush(stderr);
    _Exit(1);
  }
  memset(block, 0, size_t(bytes));
  os_log("os_alloc: 0x%X %d (%d)\n", unsigned(uintptr_t(block)), int(bytes), os_mem.serial);
  block[0] = OS_BLOCK_LIVE;
  block[1] = os_mem.serial++;
  return block + OS_BLOCK_HEADER;
}

void os_free_ptr(void** address) {
  OS_ASSERT(address != nullptr);
  if (!address) return;
  OS_ASSERT(*address != nullptr);
  if (!*address) return;
  uint8_t* block = static_cast<uint8_t*>(*address) - OS_BLOCK_HEADER;
  os_log("os_free : 0x%X (%d)\n", unsigned(uintptr_t(block)), block[1]);
  OS_ASSERT(block[0] == OS_BLOCK_LIVE);
  if (block[0] != OS_BLOCK_LIVE) {  // released already or foreign: never free twice
    *address = nullptr;
    return;
  }
  block[0] = 0;
  if (os_mem.heap_free)
    os_mem.heap_free(block);
  else
    free(block);
  os_mem.count--;
  OS_ASSERT(os_mem.count >= 0);
  *address = nullptr;
}
