// Loading an embedded image by name; the extension picks the decoder.
#include "file/file.h"
#include "graph/g_load.h"
#include "os_tools/os_log.h"
#include "os_tools/os_util.h"

g_image g_load_image(const char* name) {
  g_image image = {0, 0, nullptr};
  OS_ASSERT(name != nullptr);
  if (!name) return image;
  // Case-sensitive: ".Pcx" is not a PCX name.
  const bool pcx = os_str_suffix(name, ".pcx") != nullptr || os_str_suffix(name, ".PCX") != nullptr;
  file_handle file = file_open(name);
  OS_ASSERT(file.data != nullptr);
  if (!file.data) return image;
  image = pcx ? g_decode_pcx(file.data, file.size) : g_decode_bmp(file.data, file.size);
  file_close(&file);
  return image;
}
