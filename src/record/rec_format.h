// The recording file, version 1: plain text, one item per line, each line ending in "\n"
// (a "\r" before it is allowed), words separated by one space.
//
//   tumbler-recording 1        format version
//   game 1.2.0                 the game's version that made it (named when a playback differs)
//   levels 0123456789abcdef    64-bit FNV-1a of map0.txt .. map6.txt as the game read them
//   proof 0123456789abcdef N   only in a level's proof (FILE.proof beside a level file, kept by
//                  the editor from a won test-play): play starts at a level, not at the title,
//                  at the level whose bytes (as the game reads the file) have this 64-bit
//                  FNV-1a, played as level N (0..6: its song, its number on the status line).
//                  The proof's first t line is the reading of the pass in which play began,
//                  handed to every reading of that pass (the game's start); the events after
//                  it are the keys held and the pointer as play began. A proof is checked
//                  (proof/proof.h) by playing it silently, without its frames compared: no
//                  title and no screen mask are drawn then.
//   then, in the order the game read them:
//   t MS [N]       a clock reading (ms since start), read N times in a row (N defaults to 1,
//                  at most 1000000); readings never go back, and two t lines in a row differ
//   answer yes|no  the start question's answer (once, before any k, m, q or f)
//   k VK 1|0       a key went down / up (virtual-key code 0..255)
//   m B X Y        the mouse sample changed: button level 0/1, position in framebuffer
//                  pixels (-100000..100000)
//   q              the window was closed
//   f HASH         checksum of the frame the tick left (16 lower-case hex digits)
//   end N          the last line: N, the number of f lines
//
// Each pass of the main loop reads the clock first, so the items between two t lines are
// what the pump delivered in that pass: the frame's checksum, then the events, then the
// mouse. Lines are at most 63 characters; a file is at most REC_FILE_MAX bytes.
//
// The end line may carry trailing spaces, and only blank lines (empty or spaces) may follow
// it, as when a file is pasted into a bug report and copied back. A file that ends without
// its end line was cut short (the game was killed or crashed; the recorder writes out at
// least every 100 ms of play): its last line is dropped when it has no "\n" (unless it is
// the right end line), every other line must be good, and it plays up to its last frame
// line. The most readings of one millisecond in a row is 1000000: the heaviest pass of the
// game (its start, which draws the screen mask with 76,800 random numbers) reads the clock
// about 78,000 times, and an idle pass costs well over a nanosecond.
#pragma once
#include <cstdint>

enum : uint8_t {
  REC_ITEM_TIME = 1,
  REC_ITEM_ANSWER,
  REC_ITEM_KEY,
  REC_ITEM_MOUSE,
  REC_ITEM_QUIT,
  REC_ITEM_FRAME,
  REC_ITEM_END,
};

enum : int32_t {
  REC_FORMAT_VERSION = 1,
  REC_LINE_MAX = 63,
  REC_RUN_MAX = 1000000,     // readings of one millisecond in a row
  REC_FILE_MAX = 256 * 1024 * 1024,  // bytes of a recording
  REC_MOUSE_LIMIT = 100000,  // framebuffer pixels either way
};

struct rec_item {
  uint8_t kind;
  uint32_t time;    // t: the reading
  uint32_t count;   // t: how often; end: the number of frames
  int32_t a;        // k: the key; m: the level; answer: 1 yes
  int32_t x;        // k: down; m: x
  int32_t y;        // m: y
  uint64_t hash;    // f; levels (header)
};

// Checks a recording line by line, in order, as it is read. Header lines fill the header
// fields; body lines come out as items.
struct rec_reader {
  int32_t line;       // lines taken so far
  int32_t stage;      // 0..2 header lines, 3 body, 4 after the end line
  uint64_t levels;    // from the header
  char game[32];      // the game version from the header
  bool answered;
  bool events_seen;   // a k, m, q or f line came
  bool timed;          // a t line came
  bool last_was_time;
  uint32_t last_time;
  uint32_t last_count;
  uint32_t frames;
  bool cut;           // rec_reader_finish: the file ended in the body, without its end line
  bool proof;         // the proof line came: a level's proof
  uint64_t proof_level;
  int32_t proof_index;
  char error[128];    // the first problem, with its line number
};

void rec_reader_begin(rec_reader* reader);
// One line without its "\n". True with *out filled for a body item (out->kind 0 for a
// header line); false with reader->error set for a bad line.
bool rec_reader_line(rec_reader* reader, const char* text, int32_t length, rec_item* out);
// At the end of the file: true when the end line came, or when the file was cut short after
// the start question's answer (reader->cut); false with reader->error set otherwise.
bool rec_reader_finish(rec_reader* reader);

// The next line of data[0, size) from *pos: its text without the "\n" and whether the "\n"
// was there; *pos moves past it. False at the end of the data.
bool rec_next_line(const char* data, uint32_t size, uint32_t* pos, const char** text, int32_t* length,
                   bool* ended);

// What checking a whole file found.
struct rec_check {
  int32_t answer;     // the start answer: 1 yes, 0 no
  uint32_t playable;  // bytes of the file to play: all, or for a cut file up to the end of its
                      // last frame line (of its answer line when it has none)
  uint32_t frames;    // f lines in the file
  bool cut;           // no end line
};
// Checks a whole recording held in memory with a fresh reader. False with reader->error set
// for a file that is not a recording that can be played.
bool rec_check_all(rec_reader* reader, const char* data, uint32_t size, rec_check* out);

// Writes the line of a body item (with its "\n") into out; returns its length.
int32_t rec_format_item(const rec_item* item, char* out, int32_t size);
