// Level codes (levelcode.h): the level model, the range coder and base64url.
#include "levelcode/levelcode.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr char LC_ALPHABET[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";
constexpr uint8_t LC_METHOD_STORED = 0;
constexpr uint8_t LC_METHOD_MODEL = 1;
constexpr int32_t LC_HEADER_MIN = 1 + 1 + 4;  // method, a one-byte size, the checksum

// --- the level model ---------------------------------------------------------------------
// A byte's neighbours fall into a few classes: the level's own characters each have one,
// every other byte shares class 0, and a missing neighbour has its own.
enum : int32_t {
  LC_CLASSES = 16,
  LC_CLASS_NONE = 13,
  LC_PROB_BITS = 11,
  LC_PROB_ONE = 1 << LC_PROB_BITS,
  LC_MOVE_BITS = 3,  // fast learning: a level is a few hundred bytes
};

constexpr uint8_t lc_class_of(int32_t c) {
  switch (c) {
    case ' ': return 1;
    case 'W': return 2;
    case 'X': return 3;
    case '#': return 4;
    case 'D': return 5;
    case 'E': return 6;
    case 'H': return 7;
    case 'S': return 8;
    case '\r': return 9;
    case '\n': return 10;
    case '0': case '1': case '2': case '3': case '4': return 11;
    case '.': return 12;
    default: return c < 0 ? LC_CLASS_NONE : 0;
  }
}

struct lc_model {
  uint16_t above[LC_CLASSES][LC_CLASSES];  // "the same as the byte above", by the classes of before and above
  uint16_t left[LC_CLASSES];               // "the same as the byte before", by its class
  uint16_t literal[256];                   // the byte's bits, one tree for all
};

// Where the byte at i stands: the byte before it on its line and the byte above it (-1
// where there is none). Lines end after each CR LF.
struct lc_cursor {
  int32_t line_start;       // first byte of the current line
  int32_t prev_line_start;  // first byte of the line before, -1 on the first line
};

struct lc_state_record {
  lc_model model;
  uint8_t payload[LC_PAYLOAD_MAX];
  uint8_t body[LC_PAYLOAD_MAX];  // the modelled stream while it is being made
} lc;

void lc_model_reset() {
  uint16_t* p = &lc.model.above[0][0];
  const int32_t count = int32_t(sizeof lc.model / sizeof(uint16_t));
  for (int32_t i = 0; i < count; ++i) p[i] = LC_PROB_ONE / 2;
}

// The neighbours of byte i of text (the bytes before i are known to both sides).
void lc_neighbours(const uint8_t* text, int32_t i, const lc_cursor& at, int32_t* left, int32_t* above) {
  *left = i > at.line_start ? text[i - 1] : -1;
  *above = -1;
  if (at.prev_line_start >= 0) {
    const int32_t k = at.prev_line_start + (i - at.line_start);
    if (k < at.line_start) *above = text[k];
  }
}

// After byte i has been placed: a CR LF that ends at i starts a new line.
void lc_advance(const uint8_t* text, int32_t i, lc_cursor* at) {
  if (text[i] == '\n' && i > at->line_start && text[i - 1] == '\r') {
    at->prev_line_start = at->line_start;
    at->line_start = i + 1;
  }
}

// --- the range coder ---------------------------------------------------------------------

struct lc_encoder {
  uint64_t low;
  uint32_t range;
  uint8_t cache;
  uint64_t cache_size;
  bool first;       // the coder's first byte is always 0 and is left out
  int32_t written;
  bool full;        // more bytes than the body holds: the stored method wins anyway
};

void lc_put(lc_encoder* e, uint8_t byte) {
  if (e->first) {
    e->first = false;
    return;
  }
  if (e->written >= int32_t(sizeof lc.body)) {
    e->full = true;
    return;
  }
  lc.body[e->written++] = byte;
}

void lc_shift_low(lc_encoder* e) {
  if (uint32_t(e->low) < 0xFF000000u || (e->low >> 32) != 0) {
    const uint8_t carry = uint8_t(e->low >> 32);
    uint8_t temp = e->cache;
    do {
      lc_put(e, uint8_t(temp + carry));
      temp = 0xFF;
    } while (--e->cache_size != 0);
    e->cache = uint8_t(e->low >> 24);
  }
  e->cache_size++;
  e->low = (e->low & 0x00FFFFFFu) << 8;
}

void lc_encode_bit(lc_encoder* e, uint16_t* prob, int32_t bit) {
  const uint32_t bound = (e->range >> LC_PROB_BITS) * *prob;
  if (bit == 0) {
    e->range = bound;
    *prob = uint16_t(*prob + ((LC_PROB_ONE - *prob) >> LC_MOVE_BITS));
  } else {
    e->low += bound;
    e->range -= bound;
    *prob = uint16_t(*prob - (*prob >> LC_MOVE_BITS));
  }
  while (e->range < (1u << 24)) {
    e->range <<= 8;
    lc_shift_low(e);
  }
}

struct lc_decoder {
  const uint8_t* data;
  int32_t size;
  int32_t next;
  uint32_t range;
  uint32_t code;
  bool overrun;  // the stream was read past its end: the code is cut short
};

uint8_t lc_take(lc_decoder* d) {
  if (d->next >= d->size) {
    d->overrun = true;
    return 0;
  }
  return d->data[d->next++];
}

void lc_decoder_begin(lc_decoder* d, const uint8_t* data, int32_t size) {
  d->data = data;
  d->size = size;
  d->next = 0;
  d->range = 0xFFFFFFFFu;
  d->code = 0;
  d->overrun = false;
  for (int32_t i = 0; i < 4; ++i) d->code = (d->code << 8) | lc_take(d);
}

int32_t lc_decode_bit(lc_decoder* d, uint16_t* prob) {
  const uint32_t bound = (d->range >> LC_PROB_BITS) * *prob;
  int32_t bit;
  if (d->code < bound) {
    d->range = bound;
    *prob = uint16_t(*prob + ((LC_PROB_ONE - *prob) >> LC_MOVE_BITS));
    bit = 0;
  } else {
    d->code -= bound;
    d->range -= bound;
    *prob = uint16_t(*prob - (*prob >> LC_MOVE_BITS));
    bit = 1;
  }
  while (d->range < (1u << 24)) {
    d->range <<= 8;
    d->code = (d->code << 8) | lc_take(d);
  }
  return bit;
}

// --- modelled bodies -----------------------------------------------------------------------

// The modelled stream of the level into lc.body; its length, or -1 when it would not fit.
int32_t lc_model_encode(const uint8_t* text, int32_t size) {
  lc_model_reset();
  lc_encoder e{0, 0xFFFFFFFFu, 0, 1, true, 0, false};
  lc_cursor at{0, -1};
  for (int32_t i = 0; i < size && !e.full; ++i) {
    int32_t left, above;
    lc_neighbours(text, i, at, &left, &above);
    const int32_t c = text[i];
    bool done = false;
    if (above >= 0) {
      done = c == above;
      lc_encode_bit(&e, &lc.model.above[lc_class_of(left)][lc_class_of(above)], done ? 1 : 0);
    }
    // A byte that is not the one above cannot be the one before when the two are equal.
    if (!done && left >= 0 && left != above) {
      const bool same_left = c == left;
      lc_encode_bit(&e, &lc.model.left[lc_class_of(left)], same_left ? 1 : 0);
      done = same_left;
    }
    if (!done) {
      uint16_t* tree = lc.model.literal;
      int32_t node = 1;
      for (int32_t b = 7; b >= 0; --b) {
        const int32_t bit = (c >> b) & 1;
        lc_encode_bit(&e, &tree[node], bit);
        node = (node << 1) | bit;
      }
    }
    lc_advance(text, i, &at);
  }
  for (int32_t k = 0; k < 5; ++k) lc_shift_low(&e);
  return e.full ? -1 : e.written;
}

// Decodes `size` bytes of a modelled stream into out. False when the stream is not exactly
// as long as the bytes need (cut short, or bytes left over).
bool lc_model_decode(const uint8_t* stream, int32_t stream_size, uint8_t* out, int32_t size, bool* cut) {
  lc_model_reset();
  lc_decoder d;
  lc_decoder_begin(&d, stream, stream_size);
  lc_cursor at{0, -1};
  for (int32_t i = 0; i < size && !d.overrun; ++i) {
    int32_t left, above;
    lc_neighbours(out, i, at, &left, &above);
    int32_t c = -1;
    if (above >= 0 && lc_decode_bit(&d, &lc.model.above[lc_class_of(left)][lc_class_of(above)]) == 1) c = above;
    if (c < 0 && left >= 0 && left != above && lc_decode_bit(&d, &lc.model.left[lc_class_of(left)]) == 1) c = left;
    if (c < 0) {
      uint16_t* tree = lc.model.literal;
      int32_t node = 1;
      for (int32_t b = 0; b < 8; ++b) node = (node << 1) | lc_decode_bit(&d, &tree[node]);
      c = node & 0xFF;
    }
    out[i] = uint8_t(c);
    lc_advance(out, i, &at);
  }
  *cut = d.overrun;
  return !d.overrun && d.next == d.size;
}

// --- base64url -----------------------------------------------------------------------------

int32_t lc_digit(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '-') return 62;
  if (c == '_') return 63;
  return -1;
}

void lc_say(char* message, int32_t size, const char* text) {
  if (message && size > 0) snprintf(message, size_t(size), "%s", text);
}

}  // namespace

uint32_t lc_checksum(const uint8_t* data, uint32_t size) {
  uint32_t h = 2166136261u;
  for (uint32_t i = 0; i < size; ++i) {
    h ^= data[i];
    h *= 16777619u;
  }
  return h;
}

int32_t lc_encode(const uint8_t* level, uint32_t size, char* out, int32_t out_size) {
  if (size > uint32_t(LC_LEVEL_MAX) || !out || out_size < 2 || (size > 0 && !level)) return 0;
  int32_t n = 0;
  uint8_t* p = lc.payload;
  const int32_t body = size > 0 ? lc_model_encode(level, int32_t(size)) : -1;
  const bool modelled = body >= 0 && uint32_t(body) < size;
  p[n++] = modelled ? LC_METHOD_MODEL : LC_METHOD_STORED;
  uint32_t rest = size;
  do {
    p[n++] = uint8_t((rest & 0x7F) | (rest > 0x7F ? 0x80 : 0));
    rest >>= 7;
  } while (rest != 0);
  const uint32_t sum = lc_checksum(level, size);
  for (int32_t k = 0; k < 4; ++k) p[n++] = uint8_t(sum >> (8 * k));
  if (modelled) {
    memcpy(p + n, lc.body, size_t(body));
    n += body;
  } else if (size > 0) {
    memcpy(p + n, level, size);
    n += int32_t(size);
  }

  const int32_t length = 1 + (n * 4 + 2) / 3;
  if (length + 1 > out_size) return 0;
  int32_t w = 0;
  out[w++] = char('0' + LC_VERSION);
  for (int32_t i = 0; i < n; i += 3) {
    const uint32_t a = p[i], b = i + 1 < n ? p[i + 1] : 0, c = i + 2 < n ? p[i + 2] : 0;
    const uint32_t v = (a << 16) | (b << 8) | c;
    out[w++] = LC_ALPHABET[(v >> 18) & 63];
    out[w++] = LC_ALPHABET[(v >> 12) & 63];
    if (i + 1 < n) out[w++] = LC_ALPHABET[(v >> 6) & 63];
    if (i + 2 < n) out[w++] = LC_ALPHABET[v & 63];
  }
  out[w] = 0;
  return w;
}

bool lc_decode(const char* text, int32_t length, uint8_t* level, uint32_t* size, char* message,
               int32_t message_size) {
  if (size) *size = 0;
  if (!text || length < 0) length = 0;
  // The code itself: after the last "level=", up to an "&" or the blanks at the end.
  int32_t begin = 0;
  for (int32_t i = 0; i + 6 <= length; ++i)
    if (memcmp(text + i, "level=", 6) == 0) begin = i + 6;
  int32_t end = begin;
  while (end < length && text[end] != '&') ++end;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t' || text[end - 1] == '\r' ||
                         text[end - 1] == '\n'))
    --end;
  if (end == begin) {
    lc_say(message, message_size, "the level code is empty");
    return false;
  }
  const char version = text[begin];
  if (version < '0' || version > '9') {
    lc_say(message, message_size, "this is not a Tumbler level code");
    return false;
  }
  if (version != '0' + LC_VERSION) {
    if (message && message_size > 0)
      snprintf(message, size_t(message_size), "this level code is of version %c, which this game does not know",
               version);
    return false;
  }

  // base64url back into the payload.
  const int32_t chars = end - begin - 1;
  if (int64_t(chars) * 3 / 4 > int64_t(LC_PAYLOAD_MAX)) {
    lc_say(message, message_size, "the level code is too long: its level would be larger than 64 KB");
    return false;
  }
  int32_t n = 0;
  uint32_t bits = 0;
  int32_t held = 0;
  for (int32_t i = 0; i < chars; ++i) {
    const int32_t d = lc_digit(text[begin + 1 + i]);
    if (d < 0) {
      if (message && message_size > 0)
        snprintf(message, size_t(message_size),
                 "the level code is damaged: character %d is not one a level code uses", int(i + 2));
      return false;
    }
    bits = (bits << 6) | uint32_t(d);
    held += 6;
    if (held >= 8) {
      held -= 8;
      lc.payload[n++] = uint8_t(bits >> held);
    }
  }
  if (chars % 4 == 1 || n < LC_HEADER_MIN) {
    lc_say(message, message_size, "the level code is cut short");
    return false;
  }
  // Bits left over after the last whole byte are 0 in a code the game made.
  const bool clean_end = (bits & ((1u << held) - 1)) == 0;

  const uint8_t* p = lc.payload;
  int32_t at = 0;
  const uint8_t method = p[at++];
  if (method != LC_METHOD_STORED && method != LC_METHOD_MODEL) {
    lc_say(message, message_size, "the level code is damaged: it names no way of storing a level");
    return false;
  }
  uint32_t count = 0;
  for (int32_t shift = 0;; shift += 7) {
    if (at >= n || shift > 14) {
      lc_say(message, message_size, "the level code is damaged: its level's size is unreadable");
      return false;
    }
    const uint8_t b = p[at++];
    count |= uint32_t(b & 0x7F) << shift;
    if (!(b & 0x80)) break;
  }
  if (count > uint32_t(LC_LEVEL_MAX)) {
    lc_say(message, message_size, "the level code is damaged: its level would be larger than 64 KB");
    return false;
  }
  if (at + 4 > n) {
    lc_say(message, message_size, "the level code is cut short");
    return false;
  }
  uint32_t sum = 0;
  for (int32_t k = 0; k < 4; ++k) sum |= uint32_t(p[at++]) << (8 * k);

  const int32_t body = n - at;
  if (method == LC_METHOD_STORED) {
    if (uint32_t(body) != count) {
      lc_say(message, message_size,
             uint32_t(body) < count ? "the level code is cut short" : "the level code is damaged: it is too long");
      return false;
    }
    if (count > 0) memcpy(level, p + at, count);
  } else {
    bool cut = false;
    if (count == 0 || !lc_model_decode(p + at, body, level, int32_t(count), &cut)) {
      lc_say(message, message_size, cut ? "the level code is cut short" : "the level code is damaged");
      return false;
    }
  }
  if (lc_checksum(level, count) != sum) {
    lc_say(message, message_size, "the level code is damaged: its checksum does not match");
    return false;
  }
  if (!clean_end) {
    lc_say(message, message_size, "the level code is damaged: its last character is not one the game writes");
    return false;
  }
  if (size) *size = count;
  return true;
}
