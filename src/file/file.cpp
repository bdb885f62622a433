// Lookup in the embedded file table: a linear scan by exact name, in table order.
#include "file/file.h"

#include "file/file_table.h"
#include "os_tools/os_log.h"
#include "os_tools/os_util.h"

file_handle file_open(const char* name) {
  if (!name) return file_handle{nullptr, 0};
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
