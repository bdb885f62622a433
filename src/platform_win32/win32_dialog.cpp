// The start question as a Windows message box with Yes and No and no owner window. An
// answer given on the command line, or by the recording being played, is taken without
// showing the box.
#include <windows.h>

#include "platform.h"
#include "record/record.h"

bool platform_ask_yes_no(const char* text, const char* caption) {
  const int32_t given = rec_given_answer();
  const bool answer = given >= 0 ? given == 1 : MessageBoxA(nullptr, text, caption, MB_YESNO) == IDYES;
  rec_note_answer(answer);
  return answer;
}
