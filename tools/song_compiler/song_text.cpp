#include "song_text.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace songc {

namespace {

constexpr const char* NOTE_NAMES[12] = {"C-", "C#", "D-", "D#", "E-", "F-",
                                        "F#", "G-", "G#", "A-", "A#", "B-"};

struct command_name {
  const char* name;
  uint8_t byte;
};
constexpr command_name COMMAND_NAMES[] = {
    {"off", 0x00},  {"up", 0x01},   {"down", 0x02}, {"arp", 0x03},
    {"time", 0x04}, {"pat", 0x05},  {"det", 0x06},  {"vib", 0x07},
    {"stop", 0x08}, {"jump", 0x0B}, {"pos", 0x0D},  {"speed", 0x0F},
};

struct reader {
  std::string name;
  int line = 0;

  [[noreturn]] void fail(const std::string& message) const {
    throw std::runtime_error(name + ":" + std::to_string(line) + ": " + message);
  }

  long number(const std::string& token, int base, long low, long high, const char* what) const {
    if (token.empty()) fail(std::string("missing ") + what);
    size_t used = 0;
    long value = 0;
    try {
      value = std::stol(token, &used, base);
    } catch (const std::exception&) {
      fail(std::string("bad ") + what + " '" + token + "'");
    }
    if (used != token.size()) fail(std::string("bad ") + what + " '" + token + "'");
    if (value < low || value > high) {
      fail(std::string(what) + " " + token + " outside " + std::to_string(low) + ".." +
           std::to_string(high));
    }
    return value;
  }

  // "C-4" / "F#5" to a note byte.
  uint8_t note(const std::string& token) const {
    if (token.size() != 3) fail("bad note '" + token + "'");
    for (int semitone = 0; semitone < 12; ++semitone) {
      if (token.compare(0, 2, NOTE_NAMES[semitone]) == 0) {
        if (token[2] < '0' || token[2] > '9') fail("bad octave in '" + token + "'");
        return note_byte(token[2] - '0', semitone);
      }
    }
    fail("bad note '" + token + "'");
  }

  uint8_t command(const std::string& token) const {
    if (token.size() == 3 && token[0] == '$') {
      return static_cast<uint8_t>(number(token.substr(1), 16, 0, 255, "command byte"));
    }
    for (const command_name& c : COMMAND_NAMES) {
      if (token == c.name) return c.byte;
    }
    fail("unknown command '" + token + "'");
  }

  // Row list: "5", "0-63", "0-60/4", "1,9,17".
  std::vector<int> rows(const std::string& token) const {
    std::vector<int> out;
    std::stringstream items(token);
    std::string item;
    while (std::getline(items, item, ',')) {
      size_t dash = item.find('-');
      if (dash == std::string::npos) {
        out.push_back(static_cast<int>(number(item, 10, 0, ROWS - 1, "row")));
        continue;
      }
      std::string rest = item.substr(dash + 1);
      long step = 1;
      size_t slash = rest.find('/');
      if (slash != std::string::npos) {
        step = number(rest.substr(slash + 1), 10, 1, ROWS, "row step");
        rest = rest.substr(0, slash);
      }
      long first = number(item.substr(0, dash), 10, 0, ROWS - 1, "row");
      long last = number(rest, 10, 0, ROWS - 1, "row");
      if (last < first) fail("row range '" + item + "' runs backwards");
      for (long r = first; r <= last; r += step) out.push_back(static_cast<int>(r));
    }
    if (out.empty()) fail("no rows in '" + token + "'");
    return out;
  }

  cell row_cell(const std::vector<std::string>& tokens) const {
    cell c;
    if (tokens.size() > 6) fail("too many fields");
    auto absent = [](const std::string& t) {
      return t.find_first_not_of(".-") == std::string::npos;
    };
    for (size_t i = 1; i < tokens.size(); ++i) {
      const std::string& t = tokens[i];
      int field = static_cast<int>(i) - 1;
      if (absent(t)) continue;
      uint8_t value = 0;
      switch (field) {
        case F_NOTE: value = note(t); break;
        case F_INSTRUMENT: value = static_cast<uint8_t>(number(t, 10, 0, 7, "instrument")); break;
        case F_VOLUME: value = static_cast<uint8_t>(number(t, 16, 0, 15, "volume")); break;
        case F_COMMAND: value = command(t); break;
        default: value = static_cast<uint8_t>(number(t, 16, 0, 255, "parameter")); break;
      }
      c.flags = static_cast<uint8_t>(c.flags | (1u << field));
      c.field[field] = value;
    }
    return c;
  }
};

std::vector<std::string> split(const std::string& line) {
  std::vector<std::string> tokens;
  std::stringstream words(line);
  std::string word;
  while (words >> word) tokens.push_back(word);
  return tokens;
}

// A comment starts at a '#' that begins the line or follows a blank ("G#5" is a note).
std::string strip_comment(const std::string& raw) {
  for (size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '#' && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t')) return raw.substr(0, i);
  }
  return raw;
}

}  // namespace

std::string note_name(uint8_t note) {
  int semitone = note & 15;
  std::string out = semitone < 12 ? NOTE_NAMES[semitone] : "?" + std::to_string(semitone);
  return out + std::to_string(note >> 4);
}

song parse_song_text(const std::string& text, const std::string& name) {
  reader in;
  in.name = name;
  song s;
  bool have_order = false;
  int track = -1;
  std::stringstream lines(text);
  std::string raw;
  while (std::getline(lines, raw)) {
    ++in.line;
    std::string line = strip_comment(raw);
    std::vector<std::string> tokens = split(line);
    if (tokens.empty()) continue;
    const std::string& key = tokens[0];
    if (key == "order") {
      if (have_order) in.fail("second order list");
      if (tokens.size() < 2) in.fail("empty order list");
      if (tokens.size() - 1 > 65535) in.fail("order list too long");
      for (size_t i = 1; i < tokens.size(); ++i) {
        s.order.push_back(static_cast<uint8_t>(in.number(tokens[i], 10, 0, 254, "pattern number")));
      }
      have_order = true;
    } else if (key == "size") {
      if (tokens.size() != 2) in.fail("size takes one number");
      s.target_size = in.number(tokens[1], 10, 5, 10000000, "size");
    } else if (key == "pattern") {
      if (tokens.size() != 2) in.fail("pattern takes one number");
      long number = in.number(tokens[1], 10, 0, 254, "pattern number");
      if (number != static_cast<long>(s.patterns.size())) {
        in.fail("patterns must be numbered in turn; expected " + std::to_string(s.patterns.size()));
      }
      s.patterns.emplace_back();
      track = -1;
    } else if (key == "track") {
      if (s.patterns.empty()) in.fail("track before any pattern");
      if (tokens.size() != 2) in.fail("track takes one number");
      track = static_cast<int>(in.number(tokens[1], 10, 0, TRACKS - 1, "track"));
    } else if (key == "copy") {
      if (track < 0) in.fail("copy outside a track");
      if (tokens.size() < 3 || tokens.size() > 4) in.fail("copy takes pattern, track [, shift]");
      long from_pattern = in.number(tokens[1], 10, 0, static_cast<long>(s.patterns.size()) - 1,
                                    "pattern to copy");
      long from_track = in.number(tokens[2], 10, 0, TRACKS - 1, "track to copy");
      long shift = tokens.size() == 4 ? in.number(tokens[3], 10, -119, 119, "shift") : 0;
      pattern& to = s.patterns.back();
      const pattern& from = s.patterns[static_cast<size_t>(from_pattern)];
      for (int r = 0; r < ROWS; ++r) {
        cell c = from.rows[from_track][r];
        if ((c.flags & 1) && shift != 0) {
          int index = (c.field[F_NOTE] >> 4) * 12 + (c.field[F_NOTE] & 15) + static_cast<int>(shift);
          if (index < 0 || index >= 120) in.fail("shifted note leaves octaves 0..9");
          c.field[F_NOTE] = note_byte(index / 12, index % 12);
        }
        to.rows[track][r] = c;
      }
    } else {
      if (track < 0) in.fail("row outside a track: '" + key + "'");
      cell c = in.row_cell(tokens);
      for (int r : in.rows(key)) s.patterns.back().rows[track][r] = c;
    }
  }
  if (!have_order) in.fail("no order list");
  if (s.patterns.empty()) in.fail("no patterns");
  for (uint8_t entry : s.order) {
    if (entry >= s.patterns.size()) {
      in.fail("order names pattern " + std::to_string(entry) + " of " +
              std::to_string(s.patterns.size()));
    }
  }
  return s;
}

std::string format_song_text(const song& s) {
  std::string out = "order";
  for (uint8_t entry : s.order) out += " " + std::to_string(entry);
  out += "\n";
  if (s.target_size >= 0) out += "size " + std::to_string(s.target_size) + "\n";
  for (size_t p = 0; p < s.patterns.size(); ++p) {
    out += "pattern " + std::to_string(p) + "\n";
    for (int t = 0; t < TRACKS; ++t) {
      out += "track " + std::to_string(t) + "\n";
      for (int r = 0; r < ROWS; ++r) {
        const cell& c = s.patterns[p].rows[t][r];
        if (c.empty()) continue;
        char buffer[64];
        std::string line = std::to_string(r);
        line += " " + std::string((c.flags & 1) ? note_name(c.field[F_NOTE]) : "---");
        line += " " + ((c.flags & 2) ? std::to_string(c.field[F_INSTRUMENT]) : std::string("."));
        std::snprintf(buffer, sizeof buffer, "%X", c.field[F_VOLUME] & 0xFF);
        line += " " + ((c.flags & 4) ? std::string(buffer) : std::string("."));
        std::snprintf(buffer, sizeof buffer, "$%02X", c.field[F_COMMAND]);
        line += " " + ((c.flags & 8) ? std::string(buffer) : std::string("."));
        std::snprintf(buffer, sizeof buffer, "%02X", c.field[F_PARAMETER]);
        line += " " + ((c.flags & 16) ? std::string(buffer) : std::string(".."));
        out += line + "\n";
      }
    }
  }
  return out;
}

bool cell::operator==(const cell& other) const {
  if ((flags & 0x1F) != (other.flags & 0x1F)) return false;
  for (int k = 0; k < FIELDS; ++k) {
    if ((flags & (1u << k)) && field[k] != other.field[k]) return false;
  }
  return true;
}

}  // namespace songc
