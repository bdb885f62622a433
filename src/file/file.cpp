// Lookup in the embedded file table: a linear scan by exact name, in table order, after the
// few overrides that levels from a folder put in front of it.
#include "file/file.h"

#include "file/file_table.h"
#include "os_tools/os_log.h"
#include "os_tools/os_util.h"

static struct {
  file_entry overrides[FILE_OVERRIDE_COUNT];
  int32_t override_count;
} file_state;

file_handle file_open(const char* name) {
  if (!name) return file_handle{nullptr, 0};
  for (int32_t k = 0; k < file_state.override_count; ++k) {
    const file_entry& e = file_state.overrides[k];
    if (os_streq(e.name, name)) return file_handle{e.data, e.size};
  }
  for (int32_t k = 0; k < file_table_count; ++k)
    if (os_streq(file_table[k].name, name)) return file_handle{file_table[k].data, file_table[k].size};
  return file_handle{nullptr, 0};
}

void file_close(file_handle* handle) {
  OS_ASSERT(handle != nullptr);
  if (!handle) return;
  OS_ASSERT(handle->data != nullptr);
  handle->data = nullptr;
  handle->size = 0;
}

int32_t file_count() { return file_table_count; }

const file_entry* file_entry_at(int32_t index) {
  if (index < 0 || index >= file_table_count) return nullptr;
  return &file_table[index];
}

bool file_override(const char* name, const uint8_t* data, uint32_t size) {
  OS_ASSERT(name != nullptr);
  if (!name) return false;
  int32_t k = 0;
  while (k < file_state.override_count && !os_streq(file_state.overrides[k].name, name)) ++k;
  if (k == FILE_OVERRIDE_COUNT) return false;
  file_state.overrides[k] = file_entry{name, size, data};
  if (k == file_state.override_count) file_state.override_count++;
  return true;
}

void file_clear_overrides() { file_state.override_count = 0; }
