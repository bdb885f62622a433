// The constant table of embedded files, generated from data/ at build time
// (cmake/embed_files.cmake) in the order of data/manifest.txt.
#pragma once
#include "file/file.h"

extern const file_entry file_table[];  // file_table_count records, then an empty one
extern const int32_t file_table_count;
