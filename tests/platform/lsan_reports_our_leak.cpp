// Loses one block of its own on a thread SDL made (as the audio thread is made) after SDL's
// video has come up, then ends: LeakSanitizer must report it ("Direct leak of 4242 byte(s)")
// with the suppressions in force, though SDL's own frames stand in its stack.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdlib>

static void* volatile lost;

static int lose_a_block(void*) {
  lost = malloc(4242);
  lost = nullptr;
  return 0;
}

int main(int, char**) {
  if (SDL_Init(SDL_INIT_VIDEO) == 0) SDL_Quit();
  SDL_Thread* thread = SDL_CreateThread(lose_a_block, "leak", nullptr);
  if (thread) {
    SDL_WaitThread(thread, nullptr);
  } else {
    lose_a_block(nullptr);
  }
  return 0;
}
