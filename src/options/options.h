// options: the command line. Every back end hands its argument list over (main: argc/argv;
// WinMain: its command line split by opt_split_command_line) and gets back one record: what
// to start with, or a text to show (help, version, a bad command line) and the exit status.
// The texts are made here so that every platform says the same; a back end only prints them
// or shows them in a message box. No option at all gives exactly the game without options.
#pragma once
#include <cstdint>

// The game's version, shown by --version and written into recordings: the project's version
// in CMakeLists.txt.
extern const char OPT_GAME_VERSION[];

enum : int32_t {
  OPT_RUN = 0,      // start the game
  OPT_HELP = 1,     // show the help text, exit 0
  OPT_VERSION = 2,  // show the version, exit 0
  OPT_ERROR = 3,    // show the error line, exit 2, start nothing
};

// The start question's answer: asked (no option), or given by --windowed / --fullscreen.
enum : int32_t { OPT_ASK = -1, OPT_WINDOWED = 0, OPT_FULLSCREEN = 1 };

enum : int32_t {
  OPT_SCALE_MIN = 1,
  OPT_SCALE_MAX = 8,
  OPT_EXIT_BAD_COMMAND_LINE = 2,
  OPT_MESSAGE_SIZE = 1024,
  OPT_MAX_ARGS = 64,
};

struct opt_record {
  int32_t action;       // OPT_RUN, OPT_HELP, OPT_VERSION or OPT_ERROR
  int32_t exit_status;  // 0, or 2 for a bad command line
  int32_t answer;       // OPT_ASK, OPT_WINDOWED or OPT_FULLSCREEN
  int32_t scale;        // 0: the default 960 x 720 window; 1..8: scale x 320 by scale x 240
  const char* record_path;  // --record FILE, else null (points into the argument list)
  const char* play_path;    // --play FILE
  const char* levels_dir;   // --levels DIR
  const char* level_path;   // --level FILE: that one level is the game
  const char* edit_path;    // --edit FILE: the level editor instead of the game
  char message[OPT_MESSAGE_SIZE];  // help, version or the error line, ending in a newline
};

// Reads the arguments after the program name (args[0] is the program and is skipped).
opt_record opt_parse(int32_t count, const char* const* args);

// Splits a Windows command line (WinMain's, without the program name) by the Windows rules:
// blanks separate, double quotes group, 2n backslashes before a quote give n and the quote
// groups, 2n+1 give n and a literal quote, "" inside quotes gives a quote and ends the group.
// The words go into `storage` (NUL-terminated, one after another) and their starts into
// words[1..]; words[0] is set to "tumbler". Returns the word count including words[0], or
// -1 when storage or the word table is too small.
int32_t opt_split_command_line(const char* line, char* storage, int32_t storage_size, const char** words,
                               int32_t max_words);
// What a command line too long to split gets: an error record like opt_parse's.
opt_record opt_too_long();

// The options the game was started with (set by the entry, read by platform_main and the
// record module); all defaults until opt_set is called.
void opt_set(const opt_record* options);
const opt_record* opt_get();

// The window size to ask for: 960 x 720, or scale x 320 by scale x 240.
void opt_window_size(int32_t* width, int32_t* height);

// Starts what the options ask for, before the game: the levels folder or the one level, then recording or
// playback (real-time when pace_playback), the start answer. On a failure the record turns
// into OPT_ERROR with one line and exit status 2, and nothing is left started. Keeps the
// options for opt_get.
void opt_start(opt_record* options, bool pace_playback);

// After the game: ends recording or playback. Returns the exit status (0; 1 when the
// recording could not be written or a playback differed; 3 when a recording cut short was
// played to its last frame) and a line for the player ("" when there is nothing to say).
int32_t opt_finish(char* message, int32_t message_size);
