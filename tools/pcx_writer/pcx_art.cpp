#include "pcx_art.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <vector>

namespace {

struct line_reader {
  std::vector<std::string> lines;
  size_t at = 0;
  int number() const { return static_cast<int>(at); }  // 1-based number of the last line read
  bool next(std::string *line, bool skip_blank) {
    while (at < lines.size()) {
      const std::string &l = lines[at++];
      if (!l.empty() && l[0] == ';') continue;
      if (skip_blank && l.find_first_not_of(" \t") == std::string::npos) continue;
      *line = l;
      return true;
    }
    return false;
  }
};

line_reader read_lines(const std::string &text) {
  line_reader r;
  std::string cur;
  for (char c : text) {
    if (c == '\n') {
      r.lines.push_back(cur);
      cur.clear();
    } else if (c != '\r') {
      cur += c;
    }
  }
  if (!cur.empty()) r.lines.push_back(cur);
  return r;
}

bool fail(std::string *error, const line_reader &r, const std::string &why) {
  if (error) *error = "line " + std::to_string(r.number()) + ": " + why;
  return false;
}

// Palette lines: "colour <char> <index> <r> <g> <b>". Fills the 768-byte palette and the
// character -> index legend.
bool parse_colour(const std::string &line, std::vector<uint8_t> *palette,
                  std::map<char, int> *legend, std::string *why) {
  std::istringstream in(line);
  std::string word, ch;
  int index = -1, r = -1, g = -1, b = -1;
  in >> word >> ch >> index >> r >> g >> b;
  if (!in || ch.size() != 1 || index < 0 || index > 255 || r < 0 || r > 255 || g < 0 ||
      g > 255 || b < 0 || b > 255) {
    *why = "expected: colour <char> <index 0..255> <r> <g> <b>";
    return false;
  }
  if (legend->count(ch[0])) {
    *why = std::string("colour character given twice: ") + ch;
    return false;
  }
  (*legend)[ch[0]] = index;
  (*palette)[index * 3 + 0] = static_cast<uint8_t>(r);
  (*palette)[index * 3 + 1] = static_cast<uint8_t>(g);
  (*palette)[index * 3 + 2] = static_cast<uint8_t>(b);
  return true;
}

bool starts_with(const std::string &s, const char *prefix) { return s.rfind(prefix, 0) == 0; }

}  // namespace

bool art_build_tiles(const std::string &text, pcxw_image *out, std::string *error) {
  line_reader r = read_lines(text);
  pcxw_image img;
  img.width = ART_TILE_SIZE * ART_TILE_COUNT;
  img.height = ART_TILE_SIZE;
  img.planes = 1;
  img.bytes_per_line = img.width;
  img.pixels.assign(static_cast<size_t>(img.width) * img.height, 0);
  img.palette.assign(768, 0);
  std::map<char, int> legend;
  std::vector<bool> seen(ART_TILE_COUNT, false);
  std::string line, why;
  while (r.next(&line, true)) {
    if (starts_with(line, "colour ")) {
      if (!parse_colour(line, &img.palette, &legend, &why)) return fail(error, r, why);
      continue;
    }
    if (!starts_with(line, "tile ")) return fail(error, r, "expected colour or tile");
    int n = -1;
    std::istringstream(line.substr(5)) >> n;
    if (n < 0 || n >= ART_TILE_COUNT || seen[n]) return fail(error, r, "bad or repeated tile number");
    seen[n] = true;
    for (int y = 0; y < ART_TILE_SIZE; ++y) {
      if (!r.next(&line, false) || static_cast<int>(line.size()) != ART_TILE_SIZE)
        return fail(error, r, "a tile row must hold 16 characters");
      for (int x = 0; x < ART_TILE_SIZE; ++x) {
        auto it = legend.find(line[x]);
        if (it == legend.end()) return fail(error, r, std::string("unknown colour ") + line[x]);
        img.pixels[static_cast<size_t>(y) * img.width + n * ART_TILE_SIZE + x] =
            static_cast<uint8_t>(it->second);
      }
    }
  }
  for (int n = 0; n < ART_TILE_COUNT; ++n)
    if (!seen[n]) {
      if (error) *error = "tile " + std::to_string(n) + " missing";
      return false;
    }
  *out = img;
  return true;
}

void art_font_cell(int code, int *x, int *y) {
  int i = code - ART_FONT_FIRST;
  *x = (i % ART_FONT_PER_ROW) * ART_FONT_CELL_W;
  *y = (i / ART_FONT_PER_ROW) * ART_FONT_CELL_H;
}

bool art_build_font(const std::string &text, pcxw_image *out, std::string *error) {
  line_reader r = read_lines(text);
  pcxw_image img;
  img.width = img.height = img.bytes_per_line = ART_FONT_SHEET;
  img.planes = 3;
  img.pixels.assign(static_cast<size_t>(ART_FONT_SHEET) * ART_FONT_SHEET * 3, 0);
  std::vector<bool> seen(256, false);
  std::string line;
  while (r.next(&line, true)) {
    if (!starts_with(line, "glyph ")) return fail(error, r, "expected glyph");
    int code = -1;
    std::istringstream(line.substr(6)) >> code;
    if (code < ART_FONT_FIRST || code > ART_FONT_LAST || seen[code])
      return fail(error, r, "bad or repeated character code");
    seen[code] = true;
    int cx, cy;
    art_font_cell(code, &cx, &cy);
    // Rows run until the next glyph; missing rows at the bottom stay dark.
    for (int row = 0; r.next(&line, true); ++row) {
      if (starts_with(line, "glyph ")) {
        --r.at;
        break;
      }
      // "top/bottom" gives the row's two pixel lines separately (for slanted accents).
      size_t slash = line.find('/');
      std::string half[2] = {line.substr(0, slash),
                             slash == std::string::npos ? line : line.substr(slash + 1)};
      if (row >= ART_FONT_ROWS || static_cast<int>(half[0].size()) > ART_FONT_COLS ||
          static_cast<int>(half[1].size()) > ART_FONT_COLS)
        return fail(error, r, "a glyph has at most 8 rows of at most 7 characters");
      for (int dy = 0; dy < 2; ++dy)
        for (int col = 0; col < static_cast<int>(half[dy].size()); ++col) {
          if (half[dy][col] == '.') continue;
          if (half[dy][col] != 'X') return fail(error, r, "glyph rows use only X, . and /");
          // Column 0 and row 0 of the cell stay dark: the game outlines every glyph in black.
          for (int dx = 0; dx < 2; ++dx) {
            size_t px = static_cast<size_t>(cy + 1 + row * 2 + dy) * ART_FONT_SHEET +
                        (cx + 1 + col * 2 + dx);
            img.pixels[px * 3] = img.pixels[px * 3 + 1] = img.pixels[px * 3 + 2] = 255;
          }
        }
    }
  }
  *out = img;
  return true;
}

namespace {

struct title_style {
  int background = -1, outline = -1, highlight = -1;
  std::vector<int> gradient;
  int cell = 0, origin_x = 0, origin_y = 0, shadow = 0, border = 0;
};

bool legend_index(const std::map<char, int> &legend, const std::string &ch, int *index) {
  if (ch.size() != 1 || !legend.count(ch[0])) return false;
  *index = legend.at(ch[0]);
  return true;
}

}  // namespace

bool art_build_title(const std::string &text, pcxw_image *out, std::string *error) {
  line_reader r = read_lines(text);
  pcxw_image img;
  img.width = img.bytes_per_line = ART_TITLE_W;
  img.height = ART_TITLE_H;
  img.planes = 1;
  img.palette.assign(768, 0);
  std::map<char, int> legend;
  title_style st;
  std::vector<std::string> logo;
  struct stamp {
    int x, y, scale;
    std::vector<std::string> rows;
  };
  std::vector<stamp> stamps;
  std::string line, why;
  while (r.next(&line, true)) {
    std::istringstream in(line);
    std::string word, arg;
    in >> word;
    if (word == "colour") {
      if (!parse_colour(line, &img.palette, &legend, &why)) return fail(error, r, why);
    } else if (word == "background" || word == "outline" || word == "highlight") {
      in >> arg;
      int *slot = word == "background" ? &st.background
                  : word == "outline"  ? &st.outline
                                       : &st.highlight;
      if (!legend_index(legend, arg, slot)) return fail(error, r, "unknown colour " + arg);
    } else if (word == "gradient") {
      in >> arg;
      for (char c : arg) {
        int index;
        if (!legend_index(legend, std::string(1, c), &index))
          return fail(error, r, std::string("unknown colour ") + c);
        st.gradient.push_back(index);
      }
    } else if (word == "cell") {
      in >> st.cell;
    } else if (word == "origin") {
      in >> st.origin_x >> st.origin_y;
    } else if (word == "shadow") {
      in >> st.shadow;
    } else if (word == "border") {
      in >> st.border;
    } else if (word == "stamp") {
      // Small pictures laid over the finished logo; '_' leaves the pixel underneath.
      stamp st_;
      in >> st_.x >> st_.y;
      if (!(in >> st_.scale)) st_.scale = 1;
      if (st_.scale < 1 || st_.scale > 8) return fail(error, r, "stamp scale must be 1..8");
      while (r.next(&line, true) && line != "end") {
        for (char c : line)
          if (c != '_' && !legend.count(c)) return fail(error, r, std::string("unknown colour ") + c);
        st_.rows.push_back(line);
      }
      stamps.push_back(st_);
    } else if (word == "logo") {
      while (r.next(&line, false)) logo.push_back(line);
    } else {
      return fail(error, r, "unknown word " + word);
    }
  }
  if (st.background < 0 || st.outline < 0 || st.highlight < 0 || st.gradient.empty() ||
      st.cell < 1 || logo.empty()) {
    if (error) *error = "title needs background, outline, highlight, gradient, cell and logo";
    return false;
  }
  // The letter mask at full size.
  const int W = ART_TITLE_W, H = ART_TITLE_H;
  std::vector<uint8_t> mask(static_cast<size_t>(W) * H, 0);
  int top = H, bottom = -1;
  for (size_t gy = 0; gy < logo.size(); ++gy)
    for (size_t gx = 0; gx < logo[gy].size(); ++gx) {
      if (logo[gy][gx] == '.' || logo[gy][gx] == ' ') continue;
      for (int dy = 0; dy < st.cell; ++dy)
        for (int dx = 0; dx < st.cell; ++dx) {
          int x = st.origin_x + static_cast<int>(gx) * st.cell + dx;
          int y = st.origin_y + static_cast<int>(gy) * st.cell + dy;
          if (x < 0 || y < 0 || x >= W || y >= H) {
            if (error) *error = "logo does not fit the 320 x 100 picture";
            return false;
          }
          mask[static_cast<size_t>(y) * W + x] = 1;
          top = std::min(top, y);
          bottom = std::max(bottom, y);
        }
    }
  auto lit = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < W && y < H && mask[static_cast<size_t>(y) * W + x] != 0;
  };
  img.pixels.assign(static_cast<size_t>(W) * H, static_cast<uint8_t>(st.background));
  const int span = bottom - top + 1;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      uint8_t &px = img.pixels[static_cast<size_t>(y) * W + x];
      if (lit(x, y)) {
        // A lit pixel just below an unlit one catches the light; the rest follow the gradient.
        if (!lit(x, y - 1)) px = static_cast<uint8_t>(st.highlight);
        else px = static_cast<uint8_t>(st.gradient[(y - top) * st.gradient.size() / span]);
        continue;
      }
      // The dark rim: `border` pixels all round, `shadow` more towards the lower right.
      bool dark = false;
      for (int dy = -st.border; dy <= st.border + st.shadow && !dark; ++dy)
        for (int dx = -st.border; dx <= st.border + st.shadow && !dark; ++dx)
          dark = lit(x - dx, y - dy);
      if (dark) px = static_cast<uint8_t>(st.outline);
    }
  for (const stamp &sp : stamps)
    for (size_t y = 0; y < sp.rows.size(); ++y)
      for (size_t x = 0; x < sp.rows[y].size(); ++x) {
        if (sp.rows[y][x] == '_') continue;
        for (int dy = 0; dy < sp.scale; ++dy)
          for (int dx = 0; dx < sp.scale; ++dx) {
            int px = sp.x + static_cast<int>(x) * sp.scale + dx;
            int py = sp.y + static_cast<int>(y) * sp.scale + dy;
            if (px < 0 || py < 0 || px >= W || py >= H) {
              if (error) *error = "a stamp does not fit the 320 x 100 picture";
              return false;
            }
            img.pixels[static_cast<size_t>(py) * W + px] =
                static_cast<uint8_t>(legend.at(sp.rows[y][x]));
          }
      }
  *out = img;
  return true;
}

bool art_build_icon(const std::string &icon_text, const std::string &tiles_text,
                    std::vector<uint32_t> *out, std::string *error) {
  std::vector<uint8_t> palette(768, 0);
  std::map<char, int> legend;
  std::string line, why;
  line_reader t = read_lines(tiles_text);
  while (t.next(&line, true))
    if (starts_with(line, "colour ") && !parse_colour(line, &palette, &legend, &why))
      return fail(error, t, "tile sheet: " + why);
  line_reader r = read_lines(icon_text);
  if (!r.next(&line, true) || line != "icon") return fail(error, r, "expected icon");
  std::vector<uint32_t> px(static_cast<size_t>(ART_ICON_SIZE) * ART_ICON_SIZE, 0);
  for (int y = 0; y < ART_ICON_SIZE; ++y) {
    if (!r.next(&line, false) || static_cast<int>(line.size()) != ART_ICON_SIZE)
      return fail(error, r, "an icon row must hold 16 characters");
    for (int x = 0; x < ART_ICON_SIZE; ++x) {
      if (line[x] == '.') continue;
      auto it = legend.find(line[x]);
      if (it == legend.end()) return fail(error, r, std::string("unknown colour ") + line[x]);
      const uint8_t *rgb = &palette[static_cast<size_t>(it->second) * 3];
      px[static_cast<size_t>(y) * ART_ICON_SIZE + x] =
          0xFF000000u | uint32_t(rgb[2]) << 16 | uint32_t(rgb[1]) << 8 | rgb[0];
    }
  }
  if (r.next(&line, true)) return fail(error, r, "nothing may follow the icon's 16 rows");
  *out = px;
  return true;
}
