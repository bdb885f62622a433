// The recording file's lines: the checking reader and the writer (format in rec_format.h).
#include "record/rec_format.h"

#include <cstdio>
#include <cstring>

// The words of a line: at most six, split at single spaces.
struct rec_words {
  int32_t count;
  const char* start[6];
  int32_t length[6];
};

static bool rec_split(const char* text, int32_t length, rec_words* w) {
  w->count = 0;
  int32_t i = 0;
  while (i < length) {
    if (w->count == 6) return false;
    const int32_t begin = i;
    while (i < length && text[i] != ' ') ++i;
    if (i == begin) return false;  // an empty word: a space too many
    w->start[w->count] = text + begin;
    w->length[w->count] = i - begin;
    w->count++;
    if (i < length) {
      ++i;
      if (i == length) return false;  // a space at the end
    }
  }
  return w->count > 0;
}

static bool rec_is(const rec_words& w, int32_t k, const char* word) {
  return int32_t(strlen(word)) == w.length[k] && memcmp(w.start[k], word, size_t(w.length[k])) == 0;
}

// A decimal number within [low, high]; digits only, with a leading '-' where low < 0.
static bool rec_number(const rec_words& w, int32_t k, int64_t low, int64_t high, int64_t* out) {
  const char* s = w.start[k];
  int32_t n = w.length[k];
  bool negative = false;
  if (n > 0 && s[0] == '-' && low < 0) {
    negative = true;
    ++s;
    --n;
  }
  if (n < 1 || n > 10) return false;
  int64_t v = 0;
  for (int32_t i = 0; i < n; ++i) {
    if (s[i] < '0' || s[i] > '9') return false;
    v = v * 10 + (s[i] - '0');
  }
  if (negative) v = -v;
  if (v < low || v > high) return false;
  *out = v;
  return true;
}

static bool rec_hex(const rec_words& w, int32_t k, uint64_t* out) {
  if (w.length[k] != 16) return false;
  uint64_t v = 0;
  for (int32_t i = 0; i < 16; ++i) {
    const char c = w.start[k][i];
    const int32_t d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (d < 0) return false;
    v = (v << 4) | uint64_t(d);
  }
  *out = v;
  return true;
}

static bool rec_fail(rec_reader* r, const char* why) {
  snprintf(r->error, sizeof r->error, "line %d: %s", int(r->line), why);
  return false;
}

void rec_reader_begin(rec_reader* reader) { memset(reader, 0, sizeof *reader); }

// The three header lines.
static bool rec_header_line(rec_reader* r, const rec_words& w) {
  int64_t n = 0;
  if (r->stage == 0) {
    if (w.count != 2 || !rec_is(w, 0, "tumbler-recording")) return rec_fail(r, "not a Tumbler recording");
    if (!rec_number(w, 1, 0, 1000000, &n) || n != REC_FORMAT_VERSION) return rec_fail(r, "a recording format this game does not know");
  } else if (r->stage == 1) {
    if (w.count != 2 || !rec_is(w, 0, "game") || w.length[1] >= int32_t(sizeof r->game)) return rec_fail(r, "no game version");
    memcpy(r->game, w.start[1], size_t(w.length[1]));
    r->game[w.length[1]] = 0;
  } else {
    if (w.count != 2 || !rec_is(w, 0, "levels") || !rec_hex(w, 1, &r->levels)) return rec_fail(r, "no levels checksum");
  }
  r->stage++;
  return true;
}

bool rec_reader_line(rec_reader* r, const char* text, int32_t length, rec_item* out) {
  memset(out, 0, sizeof *out);
  r->line++;
  if (r->error[0]) return false;
  if (length > 0 && text[length - 1] == '\r') --length;
  if (length > REC_LINE_MAX) return rec_fail(r, "line too long");
  for (int32_t i = 0; i < length; ++i)
    if (text[i] < ' ' || text[i] > '~') return rec_fail(r, "not a text line");
  // After the end line (and at the end of it) spaces are let be: a pasted file gains them.
  if (r->stage >= 3 && (r->stage == 4 || (length > 4 && memcmp(text, "end ", 4) == 0)))
    while (length > 0 && text[length - 1] == ' ') --length;
  if (r->stage == 4) return length == 0 ? true : rec_fail(r, "lines after the end");
  rec_words w;
  if (!rec_split(text, length, &w)) return rec_fail(r, "not a line of a recording");
  if (r->stage < 3) return rec_header_line(r, w);

  int64_t a = 0, b = 0, c = 0;
  if (rec_is(w, 0, "proof")) {
    if (r->proof || r->timed || r->answered || r->events_seen) return rec_fail(r, "the proof line belongs right after the header");
    if (w.count != 3 || !rec_hex(w, 1, &r->proof_level) || !rec_number(w, 2, 0, 6, &a)) return rec_fail(r, "bad proof line");
    r->proof = true;
    r->proof_index = int32_t(a);
    return true;  // a header line: out->kind stays 0
  }
  const bool was_time = r->last_was_time;
  r->last_was_time = false;
  if (rec_is(w, 0, "t")) {
    if (w.count < 2 || w.count > 3 || !rec_number(w, 1, 0, 0xFFFFFFFFll, &a)) return rec_fail(r, "bad clock reading");
    b = 1;
    if (w.count == 3 && !rec_number(w, 2, 1, REC_RUN_MAX, &b)) return rec_fail(r, "bad repeat count");
    if (r->timed && uint32_t(a) < r->last_time) return rec_fail(r, "the clock goes back");
    // Equal readings make one line, and no machine reads one millisecond more often.
    if (was_time && uint32_t(a) == r->last_time) return rec_fail(r, "the same reading twice");
    out->kind = REC_ITEM_TIME;
    out->time = uint32_t(a);
    out->count = uint32_t(b);
    r->last_time = uint32_t(a);
    r->last_count = uint32_t(b);
    r->last_was_time = true;
    r->timed = true;
    return true;
  }
  if (rec_is(w, 0, "answer")) {
    if (w.count != 2 || !(rec_is(w, 1, "yes") || rec_is(w, 1, "no"))) return rec_fail(r, "bad answer");
    if (r->answered) return rec_fail(r, "a second answer");
    if (r->events_seen) return rec_fail(r, "the answer comes after the game started");
    r->answered = true;
    out->kind = REC_ITEM_ANSWER;
    out->a = rec_is(w, 1, "yes") ? 1 : 0;
    return true;
  }
  if (rec_is(w, 0, "end")) {
    if (w.count != 2 || !rec_number(w, 1, 0, 0xFFFFFFFFll, &a)) return rec_fail(r, "bad end line");
    if (uint32_t(a) != r->frames) return rec_fail(r, "the end line counts other frames");
    if (!r->answered) return rec_fail(r, "no answer to the start question");
    r->stage = 4;
    out->kind = REC_ITEM_END;
    out->count = uint32_t(a);
    return true;
  }
  r->events_seen = true;
  if (rec_is(w, 0, "k")) {
    if (w.count != 3 || !rec_number(w, 1, 0, 255, &a) || !rec_number(w, 2, 0, 1, &b)) return rec_fail(r, "bad key event");
    out->kind = REC_ITEM_KEY;
    out->a = int32_t(a);
    out->x = int32_t(b);
  } else if (rec_is(w, 0, "m")) {
    if (w.count != 4 || !rec_number(w, 1, 0, 1, &a) || !rec_number(w, 2, -REC_MOUSE_LIMIT, REC_MOUSE_LIMIT, &b) ||
        !rec_number(w, 3, -REC_MOUSE_LIMIT, REC_MOUSE_LIMIT, &c))
      return rec_fail(r, "bad mouse sample");
    out->kind = REC_ITEM_MOUSE;
    out->a = int32_t(a);
    out->x = int32_t(b);
    out->y = int32_t(c);
  } else if (rec_is(w, 0, "q")) {
    if (w.count != 1) return rec_fail(r, "bad quit line");
    out->kind = REC_ITEM_QUIT;
  } else if (rec_is(w, 0, "f")) {
    if (w.count != 2 || !rec_hex(w, 1, &out->hash)) return rec_fail(r, "bad frame checksum");
    out->kind = REC_ITEM_FRAME;
    r->frames++;
  } else {
    return rec_fail(r, "unknown line");
  }
  return true;
}

bool rec_reader_finish(rec_reader* r) {
  if (r->error[0]) return false;
  r->cut = r->stage == 3;
  if (r->stage == 4 || (r->cut && r->answered)) return true;
  r->line++;
  return rec_fail(r, r->stage < 3 ? "the file ends inside the header" : "the file ends before the start question's answer");
}

bool rec_next_line(const char* data, uint32_t size, uint32_t* pos, const char** text, int32_t* length,
                   bool* ended) {
  const uint32_t start = *pos;
  if (start >= size) return false;
  const void* newline = memchr(data + start, '\n', size - start);
  const uint32_t stop = newline ? uint32_t(static_cast<const char*>(newline) - data) : size;
  *text = data + start;
  *length = int32_t(stop - start);
  *ended = newline != nullptr;
  *pos = newline ? stop + 1 : size;
  return true;
}

bool rec_check_all(rec_reader* reader, const char* data, uint32_t size, rec_check* out) {
  memset(out, 0, sizeof *out);
  out->answer = -1;
  rec_reader_begin(reader);
  uint32_t pos = 0;
  uint32_t last_frame_end = 0;
  uint32_t answer_end = 0;
  const char* text = nullptr;
  int32_t length = 0;
  bool ended = false;
  while (rec_next_line(data, size, &pos, &text, &length, &ended)) {
    rec_item item;
    if (!ended && reader->stage == 3) {
      // A last line without its "\n" was cut in the middle, unless it is the end line.
      rec_reader trial = *reader;
      if (rec_reader_line(&trial, text, length, &item) && item.kind == REC_ITEM_END) *reader = trial;
      break;
    }
    if (!rec_reader_line(reader, text, length, &item)) return false;
    if (item.kind == REC_ITEM_FRAME) last_frame_end = pos;
    if (item.kind == REC_ITEM_ANSWER) {
      out->answer = item.a;
      answer_end = pos;
    }
  }
  if (!rec_reader_finish(reader)) return false;
  out->cut = reader->cut;
  out->frames = reader->frames;
  out->playable = !out->cut ? size : last_frame_end > 0 ? last_frame_end : answer_end;
  return true;
}

int32_t rec_format_item(const rec_item* item, char* out, int32_t size) {
  int32_t n = 0;
  switch (item->kind) {
    case REC_ITEM_TIME:
      n = item->count > 1 ? snprintf(out, size_t(size), "t %u %u\n", unsigned(item->time), unsigned(item->count))
                          : snprintf(out, size_t(size), "t %u\n", unsigned(item->time));
      break;
    case REC_ITEM_ANSWER: n = snprintf(out, size_t(size), "answer %s\n", item->a ? "yes" : "no"); break;
    case REC_ITEM_KEY: n = snprintf(out, size_t(size), "k %d %d\n", int(item->a), int(item->x)); break;
    case REC_ITEM_MOUSE:
      n = snprintf(out, size_t(size), "m %d %d %d\n", int(item->a), int(item->x), int(item->y));
      break;
    case REC_ITEM_QUIT: n = snprintf(out, size_t(size), "q\n"); break;
    case REC_ITEM_FRAME:
      n = snprintf(out, size_t(size), "f %016llx\n", static_cast<unsigned long long>(item->hash));
      break;
    case REC_ITEM_END: n = snprintf(out, size_t(size), "end %u\n", unsigned(item->count)); break;
    default: n = 0; break;
  }
  return n < 0 ? 0 : n;
}
