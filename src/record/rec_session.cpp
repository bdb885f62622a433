// Recording and playing sessions: the hooks between the back ends and the core (record.h).
#include <cstdio>
#include <cstring>

#include "file/file.h"
#include "graph/g_compose.h"
#include "map/map.h"
#include "options/options.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_util.h"
#include "platform.h"
#include "record/rec_format.h"
#include "record/record.h"

// A live reading may run this far behind the recording's before playback waits less and
// lets the recorded gap go by faster (a paused recording never stalls the playback long).
static constexpr uint32_t REC_PACE_MAX_WAIT_MS = 1000;

static struct rec_state {
  int32_t mode;
  FILE* file;
  char path[REC_MESSAGE_SIZE];
  int32_t given_answer = -1;  // from the command line, -1 none
  int32_t file_answer = -1;   // from the recording being played, -1 none
  uint32_t last_tick;    // os_tick_count at the last rec_pass
  uint32_t frames;       // frame checksums written or compared
  // recording
  bool run_open;
  uint32_t run_time;
  uint32_t run_count;
  bool mouse_written;
  rec_item mouse;
  // playing
  rec_reader reader;
  rec_item next;         // the item after the current reading run
  bool next_loaded;
  uint32_t run_left;     // readings left of the current t line
  uint32_t last_time;
  uint32_t over_time;    // readings handed out after the recording ran out
  bool used_up;
  bool mouse_known;      // a recorded mouse sample to apply
  bool pace;
  uint32_t pace_shift;   // how far the playback has skipped ahead of real time
  bool differs;
  char first_difference[160];
} rec;

void rec_restart() {
  if (rec.file) fclose(rec.file);
  rec = rec_state{};
}

int32_t rec_mode() { return rec.mode; }

// 64-bit FNV-1a over the level files as file_open gives them.
uint64_t rec_levels_checksum() {
  uint64_t h = OS_FNV1A_START;
  for (const char* name : MAP_LEVEL_FILES) {
    file_handle f = file_open(name);
    for (uint32_t i = 0; i < f.size; ++i) h = os_fnv1a(h, f.data[i]);
    h = os_fnv1a(h, 0xFF);  // files end apart: "ab" + "" differs from "a" + "b"
    if (f.data) file_close(&f);
  }
  return h;
}

// --- recording -----------------------------------------------------------------------------

static void rec_write(const rec_item& item) {
  char line[REC_LINE_MAX + 2];
  const int32_t n = rec_format_item(&item, line, int32_t(sizeof line));
  fwrite(line, 1, size_t(n), rec.file);
}

static void rec_flush_run() {
  if (!rec.run_open) return;
  rec_item item{};
  item.kind = REC_ITEM_TIME;
  item.time = rec.run_time;
  item.count = rec.run_count;
  rec_write(item);
  rec.run_open = false;
}

// Any other item closes the run of equal readings before it.
static void rec_write_event(const rec_item& item) {
  rec_flush_run();
  rec_write(item);
}

bool rec_record_open(const char* path, char* message, int32_t message_size) {
  const int32_t answer = rec.given_answer;
  rec_restart();
  rec.given_answer = answer;
  rec.file = fopen(path, "wb");
  if (!rec.file) {
    snprintf(message, size_t(message_size), "tumbler: cannot write the recording %s\n", path);
    return false;
  }
  snprintf(rec.path, sizeof rec.path, "%s", path);
  fprintf(rec.file, "tumbler-recording %d\ngame %s\nlevels %016llx\n", int(REC_FORMAT_VERSION), OPT_GAME_VERSION,
          static_cast<unsigned long long>(rec_levels_checksum()));
  rec.mode = REC_RECORD;
  return true;
}

// --- reading a recording -------------------------------------------------------------------

// One line of at most REC_LINE_MAX + 1 characters into buf (a longer line is cut there, so
// the reader calls it too long); false at the end of the file.
static bool rec_read_line(FILE* file, char* buf, int32_t* length) {
  int32_t n = 0;
  int c = 0;
  while ((c = getc(file)) != EOF && c != '\n')
    if (n <= REC_LINE_MAX + 1) buf[n++] = char(c == 0 ? 1 : c);  // a NUL is no text either
  *length = n;
  return c != EOF || n > 0;
}

// The next body item of the file being played; an end item once it runs out.
static void rec_load_next() {
  char buf[REC_LINE_MAX + 2];
  int32_t length = 0;
  while (rec_read_line(rec.file, buf, &length)) {
    rec_item item;
    if (!rec_reader_line(&rec.reader, buf, length, &item)) break;
    if (item.kind == 0 || item.kind == REC_ITEM_ANSWER) continue;  // the answer was taken at open
    rec.next = item;
    rec.next_loaded = true;
    return;
  }
  memset(&rec.next, 0, sizeof rec.next);
  rec.next.kind = REC_ITEM_END;
  rec.next_loaded = true;
}

static const rec_item& rec_peek() {
  if (!rec.next_loaded) rec_load_next();
  return rec.next;
}

static void rec_take() { rec.next_loaded = false; }

bool rec_play_open(const char* path, bool pace, char* message, int32_t message_size) {
  const int32_t answer = rec.given_answer;
  rec_restart();
  rec.given_answer = answer;
  FILE* file = fopen(path, "rb");
  if (!file) {
    snprintf(message, size_t(message_size), "tumbler: cannot read the recording %s\n", path);
    return false;
  }
  // The whole file is checked before the game starts, so a bad one never starts it.
  rec_reader reader;
  rec_reader_begin(&reader);
  char buf[REC_LINE_MAX + 2];
  int32_t length = 0;
  int32_t file_answer = -1;
  bool good = true;
  while (good && rec_read_line(file, buf, &length)) {
    rec_item item;
    good = rec_reader_line(&reader, buf, length, &item);
    if (good && item.kind == REC_ITEM_ANSWER) file_answer = item.a;
    if (good && item.kind == REC_ITEM_END) break;
  }
  if (good && rec_read_line(file, buf, &length)) {
    rec_item item;
    good = rec_reader_line(&reader, buf, length, &item);  // anything after the end line
  }
  if (good) good = rec_reader_finish(&reader);
  if (!good) {
    fclose(file);
    snprintf(message, size_t(message_size), "tumbler: %s is not a good recording: %s\n", path, reader.error);
    return false;
  }
  if (reader.levels != rec_levels_checksum()) {
    fclose(file);
    snprintf(message, size_t(message_size),
             "tumbler: %s was recorded with other levels (start with the same --levels folder)\n", path);
    return false;
  }
  rewind(file);
  rec.file = file;
  snprintf(rec.path, sizeof rec.path, "%s", path);
  rec_reader_begin(&rec.reader);
  snprintf(rec.reader.game, sizeof rec.reader.game, "%s", reader.game);
  rec.file_answer = file_answer;
  rec.pace = pace;
  rec.mode = REC_PLAY;
  return true;
}

// The first place where the playback left the recording.
static void rec_differs(const char* what) {
  if (rec.differs) return;
  rec.differs = true;
  snprintf(rec.first_difference, sizeof rec.first_difference, "%s at frame %u", what, unsigned(rec.frames));
}

// --- closing -------------------------------------------------------------------------------

int32_t rec_close(char* message, int32_t message_size) {
  message[0] = 0;
  int32_t status = 0;
  if (rec.mode == REC_RECORD && rec.file) {
    rec_flush_run();
    rec_item end{};
    end.kind = REC_ITEM_END;
    end.count = rec.frames;
    rec_write(end);
    const bool written = ferror(rec.file) == 0;
    if (fclose(rec.file) != 0 || !written) {
      snprintf(message, size_t(message_size), "tumbler: the recording %s could not be written\n", rec.path);
      status = 1;
    }
    rec.file = nullptr;
  } else if (rec.mode == REC_PLAY) {
    if (rec.differs) {
      snprintf(message, size_t(message_size), "tumbler: playback of %s differs from the recording: %s%s%s%s\n",
               rec.path, rec.first_difference,
               strcmp(rec.reader.game, OPT_GAME_VERSION) != 0 ? " (recorded by Tumbler " : "",
               strcmp(rec.reader.game, OPT_GAME_VERSION) != 0 ? rec.reader.game : "",
               strcmp(rec.reader.game, OPT_GAME_VERSION) != 0 ? ")" : "");
      status = 1;
    } else {
      snprintf(message, size_t(message_size), "tumbler: played %s: %u frames, all as recorded\n", rec.path,
               unsigned(rec.frames));
    }
  }
  const int32_t answer = rec.given_answer;
  rec_restart();
  rec.given_answer = answer;
  return status;
}

// --- the answer ----------------------------------------------------------------------------

void rec_set_answer(int32_t answer) { rec.given_answer = answer < 0 ? -1 : (answer ? 1 : 0); }

int32_t rec_given_answer() {
  if (rec.given_answer >= 0) return rec.given_answer;
  return rec.mode == REC_PLAY ? rec.file_answer : -1;
}

void rec_note_answer(bool fullscreen) {
  if (rec.mode != REC_RECORD) return;
  rec_item item{};
  item.kind = REC_ITEM_ANSWER;
  item.a = fullscreen ? 1 : 0;
  rec_write_event(item);
}

// --- the hooks -----------------------------------------------------------------------------

// Playing: the next reading of the recording; once it has run out, the clock goes on by a
// millisecond per reading so that the game, asked to stop by rec_pass, does. (Not asked
// here: a stop inside the first pass, while the game starts, would skip its shutdown.)
static uint32_t rec_play_clock() {
  while (rec.run_left == 0 && !rec.used_up) {
    const rec_item& item = rec_peek();
    if (item.kind == REC_ITEM_TIME) {
      rec.run_left = item.count;
      rec.last_time = item.time;
      rec_take();
    } else if (item.kind == REC_ITEM_END) {
      rec.used_up = true;  // the game is asked to stop after this pass (rec_pass)
      rec_differs("the recording ran out");
    } else {
      rec_differs("the game read the clock where the recording has an event");
      rec_take();
    }
  }
  if (rec.used_up) return rec.last_time + ++rec.over_time;
  rec.run_left--;
  return rec.last_time;
}

// Real-time playback: waits until the real clock reaches the reading, but never long.
static void rec_pace(uint32_t reading, uint32_t (*live)()) {
  const uint32_t target = reading - rec.pace_shift;
  uint32_t now = live();
  if (int32_t(target - now) > int32_t(REC_PACE_MAX_WAIT_MS)) {
    rec.pace_shift += target - now - REC_PACE_MAX_WAIT_MS;
  }
  while (int32_t((reading - rec.pace_shift) - now) > 0) {
    platform_sleep_ms(1);
    now = live();
  }
}

uint32_t rec_clock(uint32_t (*live)()) {
  if (rec.mode == REC_PLAY) {
    const uint32_t reading = rec_play_clock();
    if (rec.pace && !rec.used_up) rec_pace(reading, live);
    return reading;
  }
  const uint32_t now = live();
  if (rec.mode == REC_RECORD) {
    if (rec.run_open && rec.run_time == now && rec.run_count < uint32_t(REC_RUN_MAX)) {
      rec.run_count++;
    } else {
      rec_flush_run();
      rec.run_open = true;
      rec.run_time = now;
      rec.run_count = 1;
    }
  }
  return now;
}

void rec_key(uint32_t vk, int32_t down) {
  if (rec.mode == REC_PLAY) {
    if (vk == OS_KEY_ESCAPE && down) os_running = 0;  // the viewer may stop the playback
    return;
  }
  if (rec.mode == REC_RECORD) {
    rec_item item{};
    item.kind = REC_ITEM_KEY;
    item.a = int32_t(vk & 0xFF);
    item.x = down ? 1 : 0;
    if (item.a != 0) rec_write_event(item);
  }
  os_key_event(vk, down);
}

void rec_quit() {
  if (rec.mode == REC_RECORD) {
    rec_item item{};
    item.kind = REC_ITEM_QUIT;
    rec_write_event(item);
  }
  os_running = 0;
}

void rec_release_input() {
  if (rec.mode == REC_PLAY) return;
  if (rec.mode == REC_RECORD) {
    // A held game code, read as a virtual-key code, translates to itself, so its key-up
    // line lets go of the same counter when played.
    for (uint32_t code = 1; code < 256; ++code) {
      if (os_get_key(code) == 0) continue;
      rec_item item{};
      item.kind = REC_ITEM_KEY;
      item.a = int32_t(code);
      rec_write_event(item);
    }
  }
  os_release_input();
}

static int32_t rec_clamp_mouse(int32_t v) {
  return v < -REC_MOUSE_LIMIT ? -REC_MOUSE_LIMIT : v > REC_MOUSE_LIMIT ? REC_MOUSE_LIMIT : v;
}

void rec_mouse(int32_t level, int32_t x, int32_t y) {
  os_mouse* mouse = os_get_mouse();
  if (rec.mode == REC_PLAY) {
    if (!rec.mouse_known) return;
    os_mouse_button(rec.mouse.a);
    mouse->x[0] = rec.mouse.x;
    mouse->y[0] = rec.mouse.y;
    return;
  }
  os_mouse_button(level ? 1 : 0);
  os_set_mouse_pos(0, x);
  os_set_mouse_pos(1, y);
  if (rec.mode != REC_RECORD) return;
  mouse->x[0] = rec_clamp_mouse(mouse->x[0]);
  mouse->y[0] = rec_clamp_mouse(mouse->y[0]);
  const int32_t held = level ? 1 : 0;
  if (rec.mouse_written && rec.mouse.a == held && rec.mouse.x == mouse->x[0] && rec.mouse.y == mouse->y[0]) return;
  rec.mouse.kind = REC_ITEM_MOUSE;
  rec.mouse.a = held;
  rec.mouse.x = mouse->x[0];
  rec.mouse.y = mouse->y[0];
  rec.mouse_written = true;
  rec_write_event(rec.mouse);
}

// Playing: the items the pump delivered in this pass of the recording.
static void rec_play_pass(bool ticked) {
  bool framed = false;
  if (rec.run_left == 0 && !rec.used_up) {
    for (;;) {
      const rec_item& item = rec_peek();
      if (item.kind == REC_ITEM_TIME || item.kind == REC_ITEM_END) break;
      const rec_item taken = item;
      rec_take();
      if (taken.kind == REC_ITEM_FRAME) {
        if (!ticked || framed) {
          rec_differs("the recording has a frame where the game did not tick");
          continue;
        }
        framed = true;
        rec.frames++;
        if (taken.hash != g_frame_checksum()) rec_differs("the frame differs");
      } else if (taken.kind == REC_ITEM_KEY) {
        os_key_event(uint32_t(taken.a), taken.x);
      } else if (taken.kind == REC_ITEM_QUIT) {
        os_running = 0;
      } else if (taken.kind == REC_ITEM_MOUSE) {
        rec.mouse = taken;
        rec.mouse_known = true;
      }
    }
  }
  if (ticked && !framed) {
    rec.frames++;
    rec_differs("the game ticked where the recording did not");
  }
}

void rec_pass() {
  const uint32_t ticks = os_tick_count();
  const bool ticked = ticks != rec.last_tick;
  rec.last_tick = ticks;
  if (rec.mode == REC_PLAY) {
    rec_play_pass(ticked);
    if (rec.used_up) os_quit();
  } else if (rec.mode == REC_RECORD && ticked) {
    rec_item item{};
    item.kind = REC_ITEM_FRAME;
    item.hash = g_frame_checksum();
    rec.frames++;
    rec_write_event(item);
  }
}
