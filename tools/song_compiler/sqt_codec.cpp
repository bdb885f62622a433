#include "sqt_codec.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace songc {

namespace {

constexpr int SLOTS = TRACKS * ROWS;  // rows of one pattern in file order
constexpr uint8_t RUN = 0x80;

const cell& slot_cell(const pattern& p, int slot) { return p.rows[slot / ROWS][slot % ROWS]; }

long entry_size(const cell& c) { return 1 + std::popcount(static_cast<unsigned>(c.flags & 0x1F)); }

// A gap: empty rows [first, first + length) of one pattern, never including the last row.
struct gap {
  int first;
  int length;
  long low() const { return length == 1 ? 1 : 2; }
  long high() const { return length; }
};

std::vector<gap> pattern_gaps(const pattern& p) {
  std::vector<gap> gaps;
  int slot = 0;
  while (slot < SLOTS - 1) {
    if (!slot_cell(p, slot).empty()) {
      ++slot;
      continue;
    }
    int first = slot;
    while (slot < SLOTS - 1 && slot_cell(p, slot).empty()) ++slot;
    gaps.push_back({first, slot - first});
  }
  return gaps;
}

// Bytes that do not depend on the choice of runs: header, order list, filled rows, last row.
long fixed_size(const song& s) {
  long size = 4 + static_cast<long>(s.order.size());
  for (const pattern& p : s.patterns) {
    for (int slot = 0; slot < SLOTS; ++slot) {
      const cell& c = slot_cell(p, slot);
      if (!c.empty() || slot == SLOTS - 1) size += entry_size(c);
    }
  }
  return size;
}

void check_song(const song& s) {
  if (s.order.empty()) throw std::runtime_error("song has no order list");
  if (s.order.size() > 65535) throw std::runtime_error("order list longer than 65535");
  if (s.patterns.empty() || s.patterns.size() > 255) {
    throw std::runtime_error("a song holds 1 to 255 patterns");
  }
}

}  // namespace

size_range sqt_size_range(const song& s) {
  size_range range{fixed_size(s), fixed_size(s)};
  for (const pattern& p : s.patterns) {
    for (const gap& g : pattern_gaps(p)) {
      range.smallest += g.low();
      range.largest += g.high();
    }
  }
  return range;
}

std::vector<uint8_t> sqt_write(const song& s) {
  check_song(s);
  size_range range = sqt_size_range(s);
  long extra = 0;  // bytes to spend on widening gaps beyond their smallest form
  if (s.target_size >= 0) {
    if (s.target_size < range.smallest || s.target_size > range.largest) {
      throw std::runtime_error("size " + std::to_string(s.target_size) + " cannot be met: this song takes " +
                               std::to_string(range.smallest) + " to " + std::to_string(range.largest) +
                               " bytes");
    }
    extra = s.target_size - range.smallest;
  }

  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(range.largest));
  out.push_back('S');
  out.push_back('Q');
  out.push_back(static_cast<uint8_t>(s.order.size() >> 8));
  out.push_back(static_cast<uint8_t>(s.order.size() & 0xFF));
  for (uint8_t entry : s.order) out.push_back(entry);
  for (const pattern& p : s.patterns) {
    std::vector<gap> gaps = pattern_gaps(p);
    size_t next_gap = 0;
    int slot = 0;
    while (slot < SLOTS) {
      if (next_gap < gaps.size() && gaps[next_gap].first == slot) {
        const gap& g = gaps[next_gap++];
        long cost = g.low() + std::min(extra, g.high() - g.low());
        extra -= cost - g.low();
        if (cost == g.length) {
          out.insert(out.end(), static_cast<size_t>(g.length), 0);
        } else {
          int explicit_rows = static_cast<int>(cost - 2);
          int run_rows = g.length - explicit_rows;  // 3..255: fits the run byte
          out.push_back(RUN);
          out.push_back(static_cast<uint8_t>(run_rows));
          out.insert(out.end(), static_cast<size_t>(explicit_rows), 0);
        }
        slot += g.length;
        continue;
      }
      const cell& c = slot_cell(p, slot);
      out.push_back(static_cast<uint8_t>(c.flags & 0x1F));
      for (int k = 0; k < FIELDS; ++k) {
        if (c.flags & (1u << k)) out.push_back(c.field[k]);
      }
      ++slot;
    }
  }
  if (s.target_size >= 0 && static_cast<long>(out.size()) != s.target_size) {
    throw std::runtime_error("internal: wrote " + std::to_string(out.size()) + " bytes");
  }
  return out;
}

song sqt_read(const std::vector<uint8_t>& bytes, size_t* consumed) {
  song s;
  *consumed = 0;
  if (bytes.size() < 4 || bytes[0] != 'S' || bytes[1] != 'Q') return s;
  size_t length = static_cast<size_t>(bytes[2]) * 256 + bytes[3];
  if (length == 0 || 4 + length > bytes.size()) return s;
  s.order.assign(bytes.begin() + 4, bytes.begin() + 4 + static_cast<long>(length));
  size_t at = 4 + length;
  *consumed = at;
  while (at < bytes.size() && s.patterns.size() < 255) {
    pattern p;
    int pending = 0;
    bool complete = true;
    for (int slot = 0; slot < SLOTS && complete; ++slot) {
      if (pending > 0) {
        --pending;
        continue;
      }
      if (at >= bytes.size()) {
        complete = false;
        break;
      }
      uint8_t entry = bytes[at++];
      if (entry == RUN) {
        if (at >= bytes.size()) {
          complete = false;
          break;
        }
        pending = static_cast<uint8_t>(bytes[at++] - 1);
        continue;
      }
      cell& c = p.rows[slot / ROWS][slot % ROWS];
      c.flags = entry;
      for (int k = 0; k < FIELDS; ++k) {
        if (!(entry & (1u << k))) continue;
        if (at >= bytes.size()) {
          complete = false;
          break;
        }
        c.field[k] = bytes[at++];
      }
    }
    if (!complete) break;
    s.patterns.push_back(p);
    *consumed = at;
  }
  return s;
}

}  // namespace songc
