// The Linux entry: the command line is read first (help, version or a bad option are printed
// and nothing starts); then the game runs until its loop ends. Exit code 0, 2 for a bad
// command line, 1 when a recording could not be written or a playback differed, 3 for a
// recording cut short that played as recorded to its last frame.
#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <cstdio>

#include "options/options.h"
#include "platform.h"
#include "platform_sdl/sdl_window.h"

int main(int argc, char** argv) {
  opt_record options = opt_parse(argc, argv);
  opt_start(&options, true);
  if (options.action != OPT_RUN) {
    fputs(options.message, options.action == OPT_ERROR ? stderr : stdout);
    return options.exit_status;
  }
  SDL_SetMainReady();
  platform_main();
  sdl_pad_stop();
  sdl_window_teardown();
  char message[OPT_MESSAGE_SIZE];
  const int32_t status = opt_finish(message, int32_t(sizeof message));
  fputs(message, status != 0 ? stderr : stdout);
  return status;
}
