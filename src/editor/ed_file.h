// The editor's files: the level, its draft and its proof, read whole and written safely.
#pragma once
#include <cstdint>

enum : int32_t { ED_READ_MISSING = -1, ED_READ_FAILED = 0, ED_READ_DONE = 1, ED_READ_TOO_LARGE = 2 };

// Reads the whole file at path into buffer (at most max bytes). ED_READ_MISSING when it is
// not there, ED_READ_TOO_LARGE when it holds more than max, ED_READ_FAILED when it cannot be
// read (a folder, no permission), else ED_READ_DONE with *size set.
int32_t ed_read_file(const char* path, uint8_t* buffer, int32_t max, int32_t* size);

// Writes the bytes to a new file beside path and then puts it in path's place, so that path
// holds either its old bytes or all of the new ones. False (path untouched, the new file
// gone again) when either step fails.
bool ed_write_file(const char* path, const uint8_t* bytes, int32_t size);

// Removes the file at path if it is there.
void ed_remove_file(const char* path);

// path with its extension (the part from the last '.' of its last name) replaced by ext
// (".proof"), or ext added when it has none. False when out is too small.
bool ed_sibling(const char* path, const char* ext, char* out, int32_t out_size);
