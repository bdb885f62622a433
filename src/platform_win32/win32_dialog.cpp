// The start question as a Windows message box with Yes and No and no owner window.
#include <windows.h>

#include "platform.h"

bool platform_ask_yes_no(const char* text, const char* caption) {
  return MessageBoxA(nullptr, text, caption, MB_YESNO) == IDYES;
}
