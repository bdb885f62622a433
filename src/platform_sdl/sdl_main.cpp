// The Linux entry: no arguments are read; the game runs until its loop ends, exit code 0.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include "platform.h"
#include "platform_sdl/sdl_window.h"

int main(int, char**) {
  SDL_SetMainReady();
  platform_main();
  sdl_window_teardown();
  return 0;
}
