// What the options start before the game and end after it.
#include <cstdio>

#include "editor/editor.h"
#include "map/map.h"
#include "options/options.h"
#include "proof/proof.h"
#include "record/record.h"

static void opt_fail(opt_record* options) {
  options->action = OPT_ERROR;
  options->exit_status = OPT_EXIT_BAD_COMMAND_LINE;
}

void opt_start(opt_record* options, bool pace_playback) {
  if (options->action != OPT_RUN) return;
  char* message = options->message;
  const int32_t size = int32_t(sizeof options->message);
  // The levels first: a recording names the levels it was made with.
  if (options->levels_dir && !map_use_folder(options->levels_dir, message, size)) return opt_fail(options);
  // Each level's proof is checked and the result said on stderr; the game plays them either way.
  if (options->levels_dir) pf_check_folder(options->levels_dir);
  if (options->level_path && !map_use_file(options->level_path, message, size)) return opt_fail(options);
  rec_set_answer(options->answer);
  if (options->record_path && !rec_record_open(options->record_path, message, size)) return opt_fail(options);
  if (options->play_path && !rec_play_open(options->play_path, pace_playback, message, size)) return opt_fail(options);
  if (options->edit_path && !ed_open(options->edit_path, message, size)) return opt_fail(options);
  opt_set(options);
}

int32_t opt_finish(char* message, int32_t message_size) { return rec_close(message, message_size); }
