// file: the embedded file store. Every data file of the game is compiled into a constant
// table of named files; file_open hands out a read-only view of one. Safe from any thread.
#pragma once
#include <cstdint>

// A view of an embedded file: owns nothing; the bytes live for the whole run and are not
// NUL-terminated. {null, 0} is the empty handle.
struct file_handle {
  const uint8_t* data;
  uint32_t size;
};

// The file whose name matches exactly (case-sensitive): an override first, then the table;
// the empty handle when there is none.
file_handle file_open(const char* name);

// Makes file_open hand out `data` for `name` in place of the embedded file (levels read from
// a folder). The name and the bytes must stay valid and unchanged for the rest of the run;
// an override of the same name replaces the earlier one. False when the override table is
// full (FILE_OVERRIDE_COUNT names).
enum : int32_t { FILE_OVERRIDE_COUNT = 16 };
bool file_override(const char* name, const uint8_t* data, uint32_t size);
// Test seam: forgets every override.
void file_clear_overrides();
// Empties the handle (asserts that it was not empty). Frees nothing.
void file_close(file_handle* handle);

// The table itself, in search order (for tests and tools).
struct file_entry {
  const char* name;
  uint32_t size;
  const uint8_t* data;
};
int32_t file_count();
const file_entry* file_entry_at(int32_t index);  // null outside 0 .. file_count() - 1
