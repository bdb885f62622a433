// The start question as an SDL message box with Yes and No: Return answers yes, Escape no,
// as the Windows box does. A box that cannot be shown counts as no. An answer given on the
// command line, or by the recording being played, is taken without showing the box.
#include <SDL.h>

#include "os_tools/os_log.h"
#include "platform.h"
#include "record/record.h"

static bool sdl_ask(const char* text, const char* caption) {
  enum { ANSWER_NO = 0, ANSWER_YES = 1 };
  const SDL_MessageBoxButtonData buttons[] = {
      {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_NO, "No"},
      {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, ANSWER_YES, "Yes"},
  };
  SDL_MessageBoxData box{};
  box.flags = SDL_MESSAGEBOX_INFORMATION;
  box.window = nullptr;
  box.title = caption;
  box.message = text;
  box.numbuttons = 2;
  box.buttons = buttons;
  // SDL's X11 box now and then fails to come up on a display server that has only just
  // started; it is tried a few times before the question counts as answered No.
  constexpr int SDL_QUESTION_TRIES = 3;
  for (int attempt = 0; attempt < SDL_QUESTION_TRIES; ++attempt) {
    int answer = ANSWER_NO;
    if (SDL_ShowMessageBox(&box, &answer) == 0) return answer == ANSWER_YES;
    os_log("SDL question: %s\n", SDL_GetError());
    SDL_Delay(200);
  }
  return false;
}

bool platform_ask_yes_no(const char* text, const char* caption) {
  const int32_t given = rec_given_answer();
  const bool answer = given >= 0 ? given == 1 : sdl_ask(text, caption);
  rec_note_answer(answer);
  return answer;
}
