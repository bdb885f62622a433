// Recording and playing sessions: the hooks between the back ends and the core (record.h).
#include <cerrno>
#include <cstdio>
#include <cstdlib>
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

// A pass of paced playback waits at most this long for the real clock to reach its
// readings; a longer recorded gap goes by faster, so a pause in the recording never stalls
// the playback, and the pump sees Escape, the close or a signal well within half a second.
static constexpr uint32_t REC_PACE_MAX_WAIT_MS = 100;
// Recording writes the file out whenever this much of the recorded clock has gone by since
// it last did, so a crash or a kill loses at most about this much play.
static constexpr uint32_t REC_FLUSH_MS = 100;

// The recording's bytes (the header held back until the game has started, the file being
// played) live on the C heap, not in tracked memory: they outlast the game, whose leak check
// runs at its shutdown, before the recording is closed.
struct rec_bytes {
  char* data;
  uint32_t size;
  uint32_t capacity;
};

static bool rec_bytes_add(rec_bytes* b, const char* text, uint32_t n) {
  if (b->size + n > b->capacity) {
    uint32_t capacity = b->capacity ? b->capacity : 4096;
    while (capacity < b->size + n) capacity *= 2;
    char* grown = static_cast<char*>(realloc(b->data, capacity));
    if (!grown) return false;
    b->data = grown;
    b->capacity = capacity;
  }
  memcpy(b->data + b->size, text, n);
  b->size += n;
  return true;
}

static void rec_bytes_free(rec_bytes* b) {
  free(b->data);
  *b = rec_bytes{};
}

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
  rec_bytes held;        // what was recorded before the game had started (no file yet)
  bool started;          // the file has been made
  bool write_failed;
  uint32_t last_reading;
  uint32_t flushed_at;   // the reading at the last write-out
  // playing
  rec_bytes bytes;       // the whole file
  uint32_t playable;     // bytes of it to play
  uint32_t at;           // the next line's place
  bool cut;              // no end line: plays up to its last frame
  uint32_t file_frames;
  rec_reader reader;
  rec_item next;         // the item after the current reading run
  bool next_loaded;
  uint32_t run_left;     // readings left of the current t line
  uint32_t last_time;
  uint32_t over_time;    // readings handed out after the recording ran out or was stopped
  bool used_up;
  bool stopped;          // the viewer ended the playback
  bool mouse_known;      // a recorded mouse sample to apply
  bool pace;
  uint32_t pace_shift;   // how far the playback has skipped ahead of real time
  uint32_t pace_waited;  // ms waited in this pass
  bool differs;
  char first_difference[160];
  // a level's proof
  bool proof;            // recording or playing a proof
  bool proof_ending;     // won: the proof ends with this pass
  char proof_path[REC_MESSAGE_SIZE];  // where it goes once won (rec.path is the new file)
  bool start_pass;       // playing a proof: still in the pass in which play began
  bool start_taken;      // its one reading has been taken
  bool pass_pending;     // the next clock reading is the first of a pass
  uint32_t pass_reading; // the first reading of the current pass (a proof starts with it)
} rec;

// Back to off, keeping what outlives a session: the command line's answer and the pass's
// first reading.
static void rec_reset_session() {
  const int32_t answer = rec.given_answer;
  const bool pending = rec.pass_pending;
  const uint32_t reading = rec.pass_reading;
  rec_restart();
  rec.given_answer = answer;
  rec.pass_pending = pending;
  rec.pass_reading = reading;
}

void rec_restart() {
  if (rec.file) fclose(rec.file);
  rec_bytes_free(&rec.held);
  rec_bytes_free(&rec.bytes);
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
  if (rec.file) {
    if (fwrite(line, 1, size_t(n), rec.file) != size_t(n)) rec.write_failed = true;
  } else if (!rec.started && !rec_bytes_add(&rec.held, line, uint32_t(n))) {
    rec.write_failed = true;
  }
}

// The game has started: the file is made (or replaced) now, with what was held back.
static void rec_start_file() {
  rec.started = true;
  rec.file = fopen(rec.path, "wb");
  if (!rec.file) {
    rec.write_failed = true;
  } else if (rec.held.size > 0 && fwrite(rec.held.data, 1, rec.held.size, rec.file) != rec.held.size) {
    rec.write_failed = true;
  }
  rec_bytes_free(&rec.held);
  if (rec.file && fflush(rec.file) != 0) rec.write_failed = true;
  rec.flushed_at = rec.last_reading;
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

// Whether the file at path could be written, without changing it: an existing file is
// opened for update (not truncated), a new one is made and taken away again.
static bool rec_can_write(const char* path) {
  FILE* f = fopen(path, "r+b");
  if (f) {
    fclose(f);
    return true;
  }
  if (errno != ENOENT) return false;
  f = fopen(path, "wb");
  if (!f) return false;
  fclose(f);
  remove(path);
  return true;
}

bool rec_record_open(const char* path, char* message, int32_t message_size) {
  const int32_t answer = rec.given_answer;
  rec_restart();
  rec.given_answer = answer;
  if (!rec_can_write(path)) {
    snprintf(message, size_t(message_size), "tumbler: cannot write the recording %s\n", path);
    return false;
  }
  snprintf(rec.path, sizeof rec.path, "%s", path);
  char header[96];
  const int32_t n = snprintf(header, sizeof header, "tumbler-recording %d\ngame %s\nlevels %016llx\n",
                             int(REC_FORMAT_VERSION), OPT_GAME_VERSION,
                             static_cast<unsigned long long>(rec_levels_checksum()));
  if (!rec_bytes_add(&rec.held, header, uint32_t(n))) rec.write_failed = true;
  rec.mode = REC_RECORD;
  return true;
}

// --- reading a recording -------------------------------------------------------------------

// The next body item of the file being played; an end item once it runs out.
static void rec_load_next() {
  const char* text = nullptr;
  int32_t length = 0;
  bool ended = false;
  while (rec_next_line(rec.bytes.data, rec.playable, &rec.at, &text, &length, &ended)) {
    rec_item item;
    if (!rec_reader_line(&rec.reader, text, length, &item)) break;
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

// The whole file into memory, at most REC_FILE_MAX bytes; pipes too. False, with one line
// in message, when it cannot be read or is too large.
static bool rec_read_file(const char* path, rec_bytes* out, char* message, int32_t message_size) {
  FILE* file = fopen(path, "rb");
  const char* why = nullptr;
  if (file) {
    // A file that says its size is measured first; a pipe is read up to the bound.
    if (fseek(file, 0, SEEK_END) == 0) {
      if (ftell(file) > long(REC_FILE_MAX)) why = "is larger than a recording may be (256 MB)";
      rewind(file);
    }
    clearerr(file);
    char chunk[16384];
    size_t n = 0;
    while (!why && (n = fread(chunk, 1, sizeof chunk, file)) > 0) {
      if (out->size + n > uint32_t(REC_FILE_MAX))
        why = "is larger than a recording may be (256 MB)";
      else if (!rec_bytes_add(out, chunk, uint32_t(n)))
        why = "is too large to hold in memory";
    }
    if (!why && ferror(file)) why = "could not be read to its end";
    fclose(file);
  }
  if (file && !why) return true;
  rec_bytes_free(out);
  if (!file)
    snprintf(message, size_t(message_size), "tumbler: cannot read the recording %s\n", path);
  else
    snprintf(message, size_t(message_size), "tumbler: the recording %s %s\n", path, why);
  return false;
}

bool rec_play_open(const char* path, bool pace, char* message, int32_t message_size) {
  const int32_t answer = rec.given_answer;
  rec_restart();
  rec.given_answer = answer;
  rec_bytes bytes{};
  if (!rec_read_file(path, &bytes, message, message_size)) return false;
  // The whole file is checked before the game starts, so a bad one never starts it.
  rec_reader reader;
  rec_check check;
  if (!rec_check_all(&reader, bytes.data, bytes.size, &check)) {
    rec_bytes_free(&bytes);
    snprintf(message, size_t(message_size), "tumbler: %s is not a good recording: %s\n", path, reader.error);
    return false;
  }
  if (reader.proof) {
    rec_bytes_free(&bytes);
    snprintf(message, size_t(message_size), "tumbler: %s is a level's proof; check it with check_levels\n", path);
    return false;
  }
  if (reader.levels != rec_levels_checksum()) {
    rec_bytes_free(&bytes);
    snprintf(message, size_t(message_size),
             "tumbler: %s was recorded with other levels (start with the same --levels folder)\n", path);
    return false;
  }
  rec.bytes = bytes;
  rec.playable = check.playable;
  rec.cut = check.cut;
  rec.file_frames = check.frames;
  snprintf(rec.path, sizeof rec.path, "%s", path);
  rec_reader_begin(&rec.reader);
  snprintf(rec.reader.game, sizeof rec.reader.game, "%s", reader.game);
  rec.file_answer = check.answer;
  rec.pace = pace;
  rec.mode = REC_PLAY;
  return true;
}

// The first place where the playback left the recording.
static void rec_differs(const char* what) {
  if (rec.differs || rec.stopped || (rec.cut && rec.used_up)) return;  // nothing to compare there
  rec.differs = true;
  snprintf(rec.first_difference, sizeof rec.first_difference, "%s at frame %u", what, unsigned(rec.frames));
}

// --- closing -------------------------------------------------------------------------------

int32_t rec_close(char* message, int32_t message_size) {
  message[0] = 0;
  int32_t status = 0;
  if (rec.mode == REC_RECORD && rec.started) {
    rec_flush_run();
    rec_item end{};
    end.kind = REC_ITEM_END;
    end.count = rec.frames;
    rec_write(end);
    if (!rec.file || fclose(rec.file) != 0 || rec.write_failed) {
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
      status = REC_EXIT_DIFFERS;
    } else if (rec.cut && !rec.stopped) {
      snprintf(message, size_t(message_size),
               "tumbler: %s ends after frame %u without its end line: played %u frames as recorded\n", rec.path,
               unsigned(rec.file_frames), unsigned(rec.frames));
      status = REC_EXIT_CUT;
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

// Playing: the next reading of the recording; once it has run out, or the viewer stopped
// the playback, the clock goes on by a millisecond per reading so that the game, asked to
// stop, ticks and does. (Not asked here: a stop inside the first pass, while the game
// starts, would skip its shutdown.)
static uint32_t rec_play_clock() {
  // A proof's first reading stands for every reading of the pass in which play began.
  if (rec.start_pass && rec.start_taken) return rec.last_time;
  rec.start_taken = rec.start_pass;
  while (rec.run_left == 0 && !rec.used_up && !rec.stopped) {
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
  if (rec.used_up || rec.stopped) return rec.last_time + ++rec.over_time;
  rec.run_left--;
  return rec.last_time;
}

// Real-time playback: waits until the real clock reaches the reading, but never long in
// one pass.
static void rec_pace(uint32_t reading, uint32_t (*live)()) {
  const uint32_t target = reading - rec.pace_shift;
  const uint32_t allowed = rec.pace_waited < REC_PACE_MAX_WAIT_MS ? REC_PACE_MAX_WAIT_MS - rec.pace_waited : 0;
  const uint32_t start = live();
  if (int32_t(target - start) > int32_t(allowed)) rec.pace_shift += target - start - allowed;
  uint32_t now = start;
  while (int32_t((reading - rec.pace_shift) - now) > 0) {
    platform_sleep_ms(1);
    now = live();
  }
  rec.pace_waited += now - start;
}

bool rec_play_due(uint32_t (*live)()) {
  if (rec.mode != REC_PLAY || rec.used_up || rec.stopped) return false;
  uint32_t reading = rec.last_time;
  if (rec.run_left == 0) {
    const rec_item& item = rec_peek();
    if (item.kind == REC_ITEM_END) return false;
    if (item.kind == REC_ITEM_TIME) reading = item.time;
  }
  const uint32_t now = live();
  const uint32_t target = reading - rec.pace_shift;
  if (int32_t(target - now) > int32_t(REC_PACE_MAX_WAIT_MS)) rec.pace_shift += target - now - REC_PACE_MAX_WAIT_MS;
  return int32_t((reading - rec.pace_shift) - now) <= 0;
}

// The viewer ends the playback (Escape, the window's close, a signal): from now on the
// clock moves on by itself and the recording is no longer followed.
static void rec_stop_playback() {
  rec.stopped = true;
  os_running = 0;
}

uint32_t rec_clock(uint32_t (*live)()) {
  if (rec.mode == REC_PLAY) {
    const uint32_t reading = rec_play_clock();
    if (rec.pace && !rec.used_up && !rec.stopped) rec_pace(reading, live);
    return reading;
  }
  const uint32_t now = live();
  if (rec.pass_pending) {
    rec.pass_pending = false;
    rec.pass_reading = now;
  }
  if (rec.mode == REC_RECORD) {
    rec.last_reading = now;
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
    if (vk == OS_KEY_ESCAPE && down) rec_stop_playback();
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
  if (rec.mode == REC_PLAY) return rec_stop_playback();
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
        if (!rec.proof && taken.hash != g_frame_checksum()) rec_differs("the frame differs");
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
  if (ticked && !framed && !rec.used_up) {
    rec.frames++;
    rec_differs("the game ticked where the recording did not");
  }
}

// A won proof ends: the end line, then the new file takes the old proof's place.
static void rec_proof_finish() {
  rec_flush_run();
  rec_item end{};
  end.kind = REC_ITEM_END;
  end.count = rec.frames;
  rec_write(end);
  bool kept = rec.file && !rec.write_failed;
  if (rec.file && fclose(rec.file) != 0) kept = false;
  rec.file = nullptr;
  if (!kept || !platform_replace_file(rec.path, rec.proof_path)) remove(rec.path);
  rec_reset_session();
}

void rec_pass() {
  const uint32_t ticks = os_tick_count();
  const bool ticked = ticks != rec.last_tick;
  rec.last_tick = ticks;
  rec.pass_pending = true;
  if (rec.mode == REC_PLAY) {
    rec.pace_waited = 0;
    if (!rec.stopped) rec_play_pass(ticked);
    rec.start_pass = false;
    if (rec.used_up) os_quit();
  } else if (rec.mode == REC_RECORD) {
    if (!rec.started) rec_start_file();  // the first pass: the game has started
    if (ticked) {
      rec_item item{};
      item.kind = REC_ITEM_FRAME;
      item.hash = g_frame_checksum();
      rec.frames++;
      rec_write_event(item);
      // The file ends on a whole frame each time it is written out.
      if (rec.file && rec.last_reading - rec.flushed_at >= REC_FLUSH_MS) {
        if (fflush(rec.file) != 0) rec.write_failed = true;
        rec.flushed_at = rec.last_reading;
      }
    }
    if (rec.proof && rec.proof_ending) rec_proof_finish();
  }
}

// --- levels' proofs --------------------------------------------------------------------------

bool rec_proof_begin(const char* path, uint64_t level, uint8_t index, char* message, int32_t message_size) {
  if (rec.mode != REC_OFF) {
    snprintf(message, size_t(message_size), "tumbler: no proof is kept while a session is recorded or played\n");
    return false;
  }
  rec_reset_session();
  if (snprintf(rec.proof_path, sizeof rec.proof_path, "%s", path) >= int(sizeof rec.proof_path) ||
      snprintf(rec.path, sizeof rec.path, "%s.new", path) >= int(sizeof rec.path) || !rec_can_write(rec.path)) {
    snprintf(message, size_t(message_size), "tumbler: cannot write the proof %s\n", path);
    rec_reset_session();
    return false;
  }
  char header[160];
  const int32_t n = snprintf(header, sizeof header, "tumbler-recording %d\ngame %s\nlevels %016llx\nproof %016llx %u\nanswer no\n",
                             int(REC_FORMAT_VERSION), OPT_GAME_VERSION,
                             static_cast<unsigned long long>(rec_levels_checksum()),
                             static_cast<unsigned long long>(level), unsigned(index % MAP_LEVEL_COUNT));
  if (!rec_bytes_add(&rec.held, header, uint32_t(n))) rec.write_failed = true;
  rec.proof = true;
  rec.mode = REC_RECORD;
  rec.last_tick = os_tick_count();  // this pass's frame is not the proof's
  rec.last_reading = rec.pass_reading;
  // The pass in which play began: its reading, the keys held and the pointer as they are.
  rec.run_open = true;
  rec.run_time = rec.pass_reading;
  rec.run_count = 1;
  for (uint32_t code = 1; code < 256; ++code) {
    if (os_get_key(code) == 0) continue;
    rec_item item{};
    item.kind = REC_ITEM_KEY;
    item.a = int32_t(code);
    item.x = 1;
    rec_write_event(item);
  }
  const os_mouse* mouse = os_get_mouse();
  rec.mouse = rec_item{};
  rec.mouse.kind = REC_ITEM_MOUSE;
  rec.mouse.a = mouse->button[0] != 0 ? 1 : 0;
  rec.mouse.x = rec_clamp_mouse(mouse->x[0]);
  rec.mouse.y = rec_clamp_mouse(mouse->y[0]);
  rec.mouse_written = true;
  rec_write_event(rec.mouse);
  return true;
}

void rec_proof_won() {
  if (rec.proof && rec.mode == REC_RECORD) rec.proof_ending = true;
}

void rec_proof_drop() {
  if (!rec.proof || rec.mode != REC_RECORD) return;
  if (rec.file) fclose(rec.file);
  rec.file = nullptr;
  if (rec.started) remove(rec.path);
  rec_reset_session();
}

// Reads and checks a proof; false with a line (no line end) in message when it is none.
static bool rec_proof_load(const char* path, rec_bytes* bytes, rec_reader* reader, rec_check* check, char* message,
                           int32_t message_size) {
  char said[REC_MESSAGE_SIZE];
  if (!rec_read_file(path, bytes, said, int32_t(sizeof said))) {
    snprintf(message, size_t(message_size), "it cannot be read");
    return false;
  }
  if (!rec_check_all(reader, bytes->data, bytes->size, check)) {
    snprintf(message, size_t(message_size), "it is not a good recording (%s)", reader->error);
  } else if (!reader->proof) {
    snprintf(message, size_t(message_size), "it is not a level's proof but a recording of a session");
  } else {
    return true;
  }
  rec_bytes_free(bytes);
  return false;
}

bool rec_proof_read(const char* path, uint64_t* level, uint8_t* index) {
  rec_bytes bytes{};
  rec_reader reader;
  rec_check check;
  char message[REC_MESSAGE_SIZE];
  if (!rec_proof_load(path, &bytes, &reader, &check, message, int32_t(sizeof message))) return false;
  rec_bytes_free(&bytes);
  *level = reader.proof_level;
  *index = uint8_t(reader.proof_index);
  return true;
}

int32_t rec_proof_play_open(const char* path, uint64_t* level, uint8_t* index, char* message, int32_t message_size) {
  FILE* f = fopen(path, "rb");
  if (!f) return REC_PROOF_MISSING;
  fclose(f);
  rec_reset_session();
  rec_bytes bytes{};
  rec_reader reader;
  rec_check check;
  if (!rec_proof_load(path, &bytes, &reader, &check, message, message_size)) return REC_PROOF_BAD;
  rec.bytes = bytes;
  rec.playable = check.playable;
  rec.cut = check.cut;
  rec.file_frames = check.frames;
  snprintf(rec.path, sizeof rec.path, "%s", path);
  rec_reader_begin(&rec.reader);
  snprintf(rec.reader.game, sizeof rec.reader.game, "%s", reader.game);
  rec.file_answer = check.answer;
  rec.proof = true;
  rec.start_pass = true;
  rec.mode = REC_PLAY;
  *level = reader.proof_level;
  *index = uint8_t(reader.proof_index);
  return REC_PROOF_OPEN;
}

bool rec_play_matches(char* why, int32_t why_size) {
  if (!rec.differs) return true;
  snprintf(why, size_t(why_size), "%s", rec.first_difference);
  return false;
}
