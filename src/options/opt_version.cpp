// The game's version, given by the build from the project's version (CMakeLists.txt).
#include "options/options.h"

const char OPT_GAME_VERSION[] = TUMBLER_VERSION;
