// Run-length encoding with an exact output size.
//
// Each stored scan line of each plane is cut into stretches of one repeated byte. A stretch of
// length L can be written in many ways: as runs (a header byte 0xC0 + n, 1 <= n <= 63, then the
// byte) and, when the byte is below 0xC0, also as plain bytes. Its smallest form uses full runs
// of 63 (a lone plain byte for a remainder of one); its largest writes every byte as a run of
// one, 2 * L bytes. For a byte below 0xC0 every size in between is reachable by trading plain
// bytes against runs; a byte of 0xC0 or more always costs two bytes per run, so only even sizes
// are. The encoder starts from the smallest form and hands out the extra bytes stretch by
// stretch, even amounts to the high stretches first, the rest to the low ones.
#include "pcx_writer.h"

#include <algorithm>

namespace {

constexpr int PCXW_HEADER_SIZE = 128;
constexpr int PCXW_PALETTE_SIZE = 769;  // marker byte 12 and 256 RGB entries
constexpr int PCXW_MAX_RUN = 63;
constexpr int PCXW_RUN_FLAG = 0xC0;

struct stretch {
  uint8_t value;
  size_t length;
  size_t min_cost;
  size_t max_cost;
  size_t cost;  // chosen
};

size_t stretch_min_cost(uint8_t v, size_t len) {
  size_t full = len / PCXW_MAX_RUN, rest = len % PCXW_MAX_RUN;
  size_t cost = 2 * full;
  if (rest == 1 && v < PCXW_RUN_FLAG) cost += 1;
  else if (rest > 0) cost += 2;
  return cost;
}

uint8_t stored_byte(const pcxw_image &img, int row, int plane, int column) {
  if (column >= img.width) return 0;
  size_t pixel = static_cast<size_t>(row) * img.width + column;
  return img.pixels[pixel * img.planes + plane];
}

std::vector<stretch> cut_stretches(const pcxw_image &img) {
  std::vector<stretch> out;
  for (int y = 0; y < img.height; ++y) {
    for (int p = 0; p < img.planes; ++p) {
      int x = 0;
      while (x < img.bytes_per_line) {
        uint8_t v = stored_byte(img, y, p, x);
        int end = x + 1;
        while (end < img.bytes_per_line && stored_byte(img, y, p, end) == v) ++end;
        size_t len = static_cast<size_t>(end - x);
        size_t lo = stretch_min_cost(v, len);
        out.push_back({v, len, lo, 2 * len, lo});
        x = end;
      }
    }
  }
  return out;
}

size_t frame_size(const pcxw_image &img) {
  return PCXW_HEADER_SIZE + (img.planes == 1 ? PCXW_PALETTE_SIZE : 0);
}

void put16(std::vector<uint8_t> &b, size_t at, int v) {
  b[at] = static_cast<uint8_t>(v & 0xFF);
  b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

void write_header(const pcxw_image &img, std::vector<uint8_t> &out) {
  out.assign(PCXW_HEADER_SIZE, 0);
  out[0] = 10;  // manufacturer
  out[1] = 5;   // version
  out[2] = 1;   // run-length encoding
  out[3] = 8;   // bits per pixel and plane
  put16(out, 8, img.width - 1);
  put16(out, 10, img.height - 1);
  put16(out, 12, 72);  // resolution, informative only
  put16(out, 14, 72);
  out[65] = static_cast<uint8_t>(img.planes);
  put16(out, 66, img.bytes_per_line);
  put16(out, 68, 1);  // palette type: colour
}

// Writes `len` copies of v in `runs` runs of nearly equal length.
void emit_runs(uint8_t v, size_t len, size_t runs, std::vector<uint8_t> &out) {
  for (size_t i = 0; i < runs; ++i) {
    size_t n = len / runs + (i < len % runs ? 1 : 0);
    out.push_back(static_cast<uint8_t>(PCXW_RUN_FLAG + n));
    out.push_back(v);
  }
}

void emit_stretch(const stretch &s, std::vector<uint8_t> &out) {
  if (s.value >= PCXW_RUN_FLAG) {
    emit_runs(s.value, s.length, s.cost / 2, out);
    return;
  }
  // Choose m plain bytes and k runs over the other length - m bytes with 2k + m = cost.
  for (size_t m = 0; m <= s.length && m <= s.cost; ++m) {
    if ((s.cost - m) % 2 != 0) continue;
    size_t k = (s.cost - m) / 2, covered = s.length - m;
    size_t k_min = (covered + PCXW_MAX_RUN - 1) / PCXW_MAX_RUN;
    if (k < k_min || k > covered) continue;
    emit_runs(s.value, covered, k, out);
    out.insert(out.end(), m, s.value);
    return;
  }
}

}  // namespace

bool pcxw_check(const pcxw_image &img, std::string *error) {
  auto fail = [&](const char *why) {
    if (error) *error = why;
    return false;
  };
  if (img.planes != 1 && img.planes != 3) return fail("planes must be 1 or 3");
  if (img.width < 1 || img.height < 1 || img.width > 65536 || img.height > 65536)
    return fail("width and height must be 1..65536");
  if (img.bytes_per_line < img.width || img.bytes_per_line > 65535)
    return fail("bytes per line must be at least the width and fit 16 bits");
  size_t want = static_cast<size_t>(img.width) * img.height * img.planes;
  if (img.pixels.size() != want) return fail("pixel count does not match the size");
  if (img.planes == 1 && img.palette.size() != 768) return fail("palette must hold 768 bytes");
  return true;
}

pcxw_range pcxw_size_range(const pcxw_image &img) {
  pcxw_range r;
  if (!pcxw_check(img, nullptr)) return r;
  r.min_size = r.max_size = frame_size(img);
  for (const stretch &s : cut_stretches(img)) {
    r.min_size += s.min_cost;
    r.max_size += s.max_cost;
  }
  return r;
}

bool pcxw_encode(const pcxw_image &img, size_t target_size, std::vector<uint8_t> *out,
                 std::string *error) {
  if (!pcxw_check(img, error)) return false;
  std::vector<stretch> parts = cut_stretches(img);
  size_t min_size = frame_size(img), max_size = frame_size(img);
  for (const stretch &s : parts) {
    min_size += s.min_cost;
    max_size += s.max_cost;
  }
  if (target_size < min_size || target_size > max_size) {
    if (error)
      *error = "target size " + std::to_string(target_size) + " outside the reachable range " +
               std::to_string(min_size) + ".." + std::to_string(max_size);
    return false;
  }
  size_t extra = target_size - min_size;
  for (stretch &s : parts) {
    if (s.value < PCXW_RUN_FLAG) continue;
    size_t add = std::min(s.max_cost - s.min_cost, extra & ~static_cast<size_t>(1));
    s.cost += add;
    extra -= add;
  }
  for (stretch &s : parts) {
    if (s.value >= PCXW_RUN_FLAG) continue;
    size_t add = std::min(s.max_cost - s.min_cost, extra);
    s.cost += add;
    extra -= add;
  }
  if (extra != 0) {
    if (error)
      *error = "target size " + std::to_string(target_size) +
               " needs an odd number of extra bytes but every stretch is a run byte";
    return false;
  }
  write_header(img, *out);
  for (const stretch &s : parts) emit_stretch(s, *out);
  if (img.planes == 1) {
    out->push_back(12);
    out->insert(out->end(), img.palette.begin(), img.palette.end());
  }
  if (out->size() != target_size) {  // cannot happen unless the cost model is wrong
    if (error) *error = "internal: wrote " + std::to_string(out->size()) + " bytes";
    return false;
  }
  return true;
}

bool pcxw_encode_min(const pcxw_image &img, std::vector<uint8_t> *out, std::string *error) {
  if (!pcxw_check(img, error)) return false;
  return pcxw_encode(img, pcxw_size_range(img).min_size, out, error);
}
