// The command line: options into one record, the help and version texts, the error line.
#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "options/options.h"

static const char OPT_HELP_TEXT[] =
    "Usage: tumbler [options]\n"
    "  --fullscreen    start in fullscreen without asking\n"
    "  --windowed      start in a window without asking\n"
    "  --scale N       open the window at N x 320 by N x 240 (N from 1 to 8; 3 without it)\n"
    "  --record FILE   write the session to FILE as it is played\n"
    "  --play FILE     play a recorded session back, then end\n"
    "  --levels DIR    read map0.txt ... map6.txt from DIR where present\n"
    "  --level FILE    play only the level in FILE (a shared level)\n"
    "  --edit FILE     make or change the level in FILE with the level editor\n"
    "  --help          show this text\n"
    "  --version       show the version\n"
    "Exit status: 0; 1 no display or window, a playback that differed from its recording,\n"
    "or a recording that could not be written; 2 a bad option, level file or recording;\n"
    "3 a recording cut short (no end line) played as recorded up to its last frame.\n";

static struct {
  opt_record current;
  bool set;
} opt_state;

static opt_record opt_defaults() {
  opt_record r;
  memset(&r, 0, sizeof r);
  r.action = OPT_RUN;
  r.answer = OPT_ASK;
  return r;
}

// The one line a bad command line gets; nothing is started.
static opt_record opt_error(const char* format, ...) {
  opt_record r = opt_defaults();
  r.action = OPT_ERROR;
  r.exit_status = OPT_EXIT_BAD_COMMAND_LINE;
  int32_t n = snprintf(r.message, sizeof r.message, "tumbler: ");
  va_list list;
  va_start(list, format);
  n += vsnprintf(r.message + n, sizeof r.message - size_t(n), format, list);
  va_end(list);
  if (n < int32_t(sizeof r.message) - 1) snprintf(r.message + n, sizeof r.message - size_t(n), "\n");
  return r;
}

// A whole number from 1 to 8: one digit, nothing else.
static bool opt_scale_value(const char* text, int32_t* out) {
  if (text[0] < '0' + OPT_SCALE_MIN || text[0] > '0' + OPT_SCALE_MAX || text[1] != 0) return false;
  *out = text[0] - '0';
  return true;
}

// The value of an option that names a file or folder: the next word, which must not be
// empty or look like another option.
static bool opt_path_value(const char* value) { return value && value[0] != 0 && strncmp(value, "--", 2) != 0; }

opt_record opt_parse(int32_t count, const char* const* args) {
  opt_record r = opt_defaults();
  for (int32_t i = 1; i < count; ++i) {
    const char* a = args[i] ? args[i] : "";
    if (strcmp(a, "--help") == 0 || strcmp(a, "--version") == 0) {
      opt_record shown = opt_defaults();  // shown at once, whatever else the line says
      if (a[2] == 'h') {
        shown.action = OPT_HELP;
        snprintf(shown.message, sizeof shown.message, "%s", OPT_HELP_TEXT);
      } else {
        shown.action = OPT_VERSION;
        snprintf(shown.message, sizeof shown.message, "Tumbler %s\n", OPT_GAME_VERSION);
      }
      return shown;
    }
  }
  for (int32_t i = 1; i < count; ++i) {
    const char* a = args[i] ? args[i] : "";
    const char* value = i + 1 < count ? args[i + 1] : nullptr;
    if (strcmp(a, "--fullscreen") == 0 || strcmp(a, "--windowed") == 0) {
      const int32_t answer = a[2] == 'f' ? OPT_FULLSCREEN : OPT_WINDOWED;
      if (r.answer != OPT_ASK && r.answer != answer)
        return opt_error("--fullscreen and --windowed cannot be used together");
      r.answer = answer;
      continue;
    }
    if (strcmp(a, "--scale") == 0) {
      if (r.scale != 0) return opt_error("--scale is given twice");
      if (!value) return opt_error("--scale needs a number from 1 to 8");
      if (!opt_scale_value(value, &r.scale)) return opt_error("--scale needs a number from 1 to 8, not \"%s\"", value);
      ++i;
      continue;
    }
    const char** path = strcmp(a, "--record") == 0  ? &r.record_path
                        : strcmp(a, "--play") == 0  ? &r.play_path
                        : strcmp(a, "--levels") == 0 ? &r.levels_dir
                        : strcmp(a, "--level") == 0  ? &r.level_path
                        : strcmp(a, "--edit") == 0   ? &r.edit_path
                                                     : nullptr;
    if (!path) return opt_error("unknown option \"%s\" (see --help)", a);
    const char* what = path == &r.levels_dir ? "a folder" : "a file name";
    if (*path) return opt_error("%s is given twice", a);
    if (!opt_path_value(value)) return opt_error("%s needs %s", a, what);
    *path = value;
    ++i;
  }
  if (r.record_path && r.play_path) return opt_error("--record and --play cannot be used together");
  if (r.levels_dir && r.level_path) return opt_error("--levels and --level cannot be used together");
  if (r.edit_path && (r.record_path || r.play_path))
    return opt_error("--edit cannot be used with %s", r.record_path ? "--record" : "--play");
  return r;
}

opt_record opt_too_long() { return opt_error("the command line is too long"); }

int32_t opt_split_command_line(const char* line, char* storage, int32_t storage_size, const char** words,
                               int32_t max_words) {
  if (max_words < 1 || storage_size < 1) return -1;
  words[0] = "tumbler";
  int32_t count = 1;
  int32_t used = 0;
  const char* p = line ? line : "";
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == 0) return count;
    if (count >= max_words) return -1;
    words[count++] = storage + used;
    bool quoted = false;
    while (*p != 0 && (quoted || (*p != ' ' && *p != '\t'))) {
      int32_t slashes = 0;
      while (p[slashes] == '\\') ++slashes;
      char put = 0;
      int32_t repeat = 0;
      if (slashes > 0 && p[slashes] == '"') {
        repeat = slashes / 2;  // the pairs become single backslashes
        p += slashes;
        if (slashes % 2 == 1) {
          put = '"';  // the odd one makes the quote literal
          ++p;
        }
      } else if (slashes > 0) {
        repeat = slashes;  // backslashes not before a quote are plain
        p += slashes;
      } else if (*p == '"') {
        if (quoted && p[1] == '"') {
          put = '"';
          p += 2;
          quoted = false;
        } else {
          quoted = !quoted;
          ++p;
        }
      } else {
        put = *p++;
      }
      for (int32_t k = 0; k < repeat; ++k) {
        if (used + 1 >= storage_size) return -1;
        storage[used++] = '\\';
      }
      if (put != 0) {
        if (used + 1 >= storage_size) return -1;
        storage[used++] = put;
      }
    }
    if (used >= storage_size) return -1;
    storage[used++] = 0;
  }
}

void opt_set(const opt_record* options) {
  opt_state.current = *options;
  opt_state.set = true;
}

const opt_record* opt_get() {
  if (!opt_state.set) {
    opt_state.current = opt_defaults();
    opt_state.set = true;
  }
  return &opt_state.current;
}

void opt_window_size(int32_t* width, int32_t* height) {
  const int32_t scale = opt_get()->scale;
  *width = scale > 0 ? scale * 320 : 960;
  *height = scale > 0 ? scale * 240 : 720;
}
