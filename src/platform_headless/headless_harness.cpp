// The game harness (see headless_harness.h): replays timed input into the real game loop.
#include "platform_headless/headless_harness.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "game/game.h"
#include "graph/g_compose.h"
#include "graph/g_display.h"
#include "graph/g_layer.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "platform_headless/headless_audio.h"
#include "platform_headless/headless_clock.h"
#include "platform_headless/headless_counters.h"
#include "platform_headless/headless_pump.h"
#include "platform_headless/headless_render.h"
#include "platform_headless/headless_window.h"
#include "record/record.h"
#include "tile/tile.h"

// The window the entry asks for; the mouse is given to the game in its client coordinates.
static constexpr int32_t HARNESS_WINDOW_W = 960;
static constexpr int32_t HARNESS_WINDOW_H = 720;
static constexpr uint32_t HARNESS_AUDIO_BLOCK_MS = 100;

static struct {
  uint32_t step_ms;
  uint32_t now_ms;
  uint32_t next_audio_ms;
  int32_t live_at_start;
  bool running;
  bool mouse_down;
  int32_t mouse_x;
  int32_t mouse_y;
  bool audio;
} harness;

// --- replay text ---------------------------------------------------------------------------

int32_t headless_key_code(const std::string& raw) {
  std::string name = raw;
  for (char& c : name) c = char(toupper((unsigned char)c));
  if (name == "LEFT") return 0x25;
  if (name == "UP") return 0x26;
  if (name == "RIGHT") return 0x27;
  if (name == "DOWN") return 0x28;
  if (name == "ESCAPE" || name == "ESC") return 0x1B;
  if (name == "SPACE") return 0x20;
  if (name == "RETURN" || name == "ENTER") return 0x0D;
  if (name.size() == 1 && (isupper((unsigned char)name[0]) || isdigit((unsigned char)name[0]))) return name[0];
  if (!name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return isdigit((unsigned char)c); })) {
    const long v = strtol(name.c_str(), nullptr, 10);
    if (v >= 0 && v <= 255) return int32_t(v);
  }
  return -1;
}

static bool parse_int(const std::string& s, int64_t* out) {
  if (s.empty()) return false;
  char* end = nullptr;
  const long long v = strtoll(s.c_str(), &end, 10);
  if (*end != 0) return false;
  *out = v;
  return true;
}

static int32_t state_code(const std::string& name) {
  for (int32_t i = 0; i < 256; ++i)
    if (game_state_name(i) && name == game_state_name(i)) return i;
  return -1;
}

static std::string state_name(int32_t state) {
  const char* name = game_state_name(state);
  return name ? name : std::to_string(state);
}

bool headless_replay_parse(const std::string& text, headless_replay* out, std::string* error) {
  *out = headless_replay{};
  std::istringstream in(text);
  std::string raw;
  int32_t line = 0;
  uint32_t last_time = 0;
  bool has_end = false;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(line) + ": " + why + ": " + raw;
    return false;
  };
  while (std::getline(in, raw)) {
    ++line;
    std::string body = raw.substr(0, raw.find('#'));
    std::istringstream words(body);
    std::vector<std::string> w;
    for (std::string s; words >> s;) w.push_back(s);
    if (w.empty()) continue;
    int64_t n = 0;
    if (w[0] == "step") {
      if (w.size() != 2 || !parse_int(w[1], &n) || n < 1 || n > 1000) return fail("step wants 1..1000 ms");
      out->step_ms = uint32_t(n);
      continue;
    }
    if (w[0] == "level") {
      if (w.size() != 2 || !parse_int(w[1], &n) || n < 0 || n >= GAME_LEVEL_COUNT) return fail("level wants 0..6");
      out->level = int32_t(n);
      continue;
    }
    // Timed lines.
    const bool relative = w[0][0] == '+';
    if (!parse_int(relative ? w[0].substr(1) : w[0], &n) || n < 0 || n > 100000000) return fail("bad time");
    const uint32_t t = uint32_t(relative ? last_time + n : n);
    last_time = t;
    if (w.size() < 2) return fail("missing command");
    headless_event ev{};
    ev.time_ms = t;
    ev.line = line;
    const std::string& cmd = w[1];
    if (cmd == "down" || cmd == "up" || cmd == "hold") {
      if (w.size() != (cmd == "hold" ? 4u : 3u)) return fail("wrong number of words");
      const int32_t code = headless_key_code(w[2]);
      if (code < 0) return fail("unknown key");
      ev.code = uint32_t(code);
      ev.kind = cmd == "up" ? HEADLESS_EV_KEY_UP : HEADLESS_EV_KEY_DOWN;
      out->events.push_back(ev);
      if (cmd == "hold") {
        if (!parse_int(w[3], &n) || n < 1) return fail("hold wants a duration in ms");
        ev.kind = HEADLESS_EV_KEY_UP;
        ev.time_ms = t + uint32_t(n);
        out->events.push_back(ev);
      }
    } else if (cmd == "mouse") {
      if (w.size() < 3) return fail("mouse wants down, move or up");
      int64_t x = 0, y = 0;
      if (w[2] == "up" && w.size() == 3) {
        ev.kind = HEADLESS_EV_MOUSE_UP;
      } else if ((w[2] == "down" || w[2] == "move") && w.size() == 5 && parse_int(w[3], &x) && parse_int(w[4], &y)) {
        // The pump scales the position to the window in 32 bits: only the window's own.
        if (x < 0 || x >= HEADLESS_FB_WIDTH || y < 0 || y >= HEADLESS_FB_HEIGHT)
          return fail("mouse position outside the 320 x 240 window");
        ev.kind = w[2] == "down" ? HEADLESS_EV_MOUSE_DOWN : HEADLESS_EV_MOUSE_MOVE;
        ev.x = int32_t(x);
        ev.y = int32_t(y);
      } else {
        return fail("bad mouse line");
      }
      out->events.push_back(ev);
    } else if (cmd == "expect") {
      if (w.size() < 4) return fail("expect wants a subject and a value");
      ev.kind = HEADLESS_EV_EXPECT;
      ev.what = w[2];
      int64_t a = 0, b = 0, c = 0;
      if (ev.what == "state") {
        ev.value = state_code(w[3]);
        if (ev.value < 0 || w.size() != 4) return fail("unknown state");
      } else if ((ev.what == "level" || ev.what == "diamonds") && w.size() == 4 && parse_int(w[3], &a)) {
        ev.value = int32_t(a);
      } else if (ev.what == "cell" && w.size() == 6 && parse_int(w[3], &a) && parse_int(w[4], &b) && parse_int(w[5], &c)) {
        ev.x = int32_t(a);
        ev.y = int32_t(b);
        ev.value = int32_t(c);
      } else if (ev.what == "player" && w.size() == 5 && parse_int(w[3], &a) && parse_int(w[4], &b)) {
        ev.x = int32_t(a);
        ev.y = int32_t(b);
      } else if (headless_counter_value(ev.what, &ev.value) && (w.size() == 4 || w.size() == 5) &&
                 (w.size() == 4 || w[3] == ">=" || w[3] == "<=") && parse_int(w.back(), &a)) {
        ev.compare = w.size() == 4 ? '=' : w[3][0];
        ev.value = int32_t(a);
      } else {
        return fail("bad expectation");
      }
      out->events.push_back(ev);
    } else if (cmd == "end") {
      if (w.size() != 2) return fail("end takes no arguments");
      out->end_ms = t;
      has_end = true;
    } else {
      return fail("unknown command");
    }
  }
  std::stable_sort(out->events.begin(), out->events.end(),
                   [](const headless_event& a, const headless_event& b) { return a.time_ms < b.time_ms; });
  if (!has_end) {
    uint32_t last = 0;
    for (const headless_event& ev : out->events) last = std::max(last, ev.time_ms);
    out->end_ms = last + 1000;
  }
  return true;
}

bool headless_replay_load(const std::string& path, headless_replay* out, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error) *error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << file.rdbuf();
  return headless_replay_parse(text.str(), out, error);
}

std::string headless_result::failures_text() const {
  std::string s;
  for (const std::string& f : failures) s += f + "\n";
  return s;
}

// --- driving the game ----------------------------------------------------------------------

void headless_game_start(uint32_t step_ms) {
  headless_game_prepare(step_ms);
  harness.running = platform_pump();
}

void headless_game_prepare(uint32_t step_ms) {
  headless_window_reset();
  headless_render_reset();
  headless_audio_reset();
  os_clock_restart();
  os_input_restart();
  game = game_record{};
  tile_global = tile_set{};
  harness = {};
  harness.step_ms = step_ms < 1 ? 1 : step_ms;
  harness.audio = true;
  harness.live_at_start = os_alloc_count();
  harness.next_audio_ms = HARNESS_AUDIO_BLOCK_MS;
  headless_set_time_ms(0);
  headless_set_pointer(false, 0, 0);
  g_set_hw_resolution(HARNESS_WINDOW_W, HARNESS_WINDOW_H);
  headless_counters_reset();
}

bool headless_game_pass() {
  if (!harness.running) return false;
  harness.now_ms += harness.step_ms;
  headless_advance_time_ms(harness.step_ms);
  harness.running = platform_pump();
  if (harness.running) headless_counters_observe(harness.now_ms, harness.step_ms);
  // The device finishes a block about every 100 ms; the audio thread then runs the music.
  while (harness.running && harness.audio && harness.now_ms >= harness.next_audio_ms) {
    headless_wave_complete_one();
    harness.next_audio_ms += HARNESS_AUDIO_BLOCK_MS;
  }
  return harness.running;
}

uint32_t headless_game_time() { return harness.now_ms; }

void headless_game_key(uint32_t vk, bool down) { rec_key(vk & 0xFF, down ? 1 : 0); }

void headless_game_mouse(bool down, int32_t x, int32_t y) {
  harness.mouse_down = down;
  harness.mouse_x = x;
  harness.mouse_y = y;
  // Window pixels of the 960 x 720 window, as a back end reads the pointer.
  headless_set_pointer(down, x * HARNESS_WINDOW_W / HEADLESS_FB_WIDTH, y * HARNESS_WINDOW_H / HEADLESS_FB_HEIGHT);
}

int32_t headless_game_stop() {
  if (harness.running) {
    rec_quit();  // as the window's close: a session being recorded gets its quit line
    for (int32_t i = 0; i < 4 && harness.running; ++i) {
      harness.now_ms += harness.step_ms;
      headless_advance_time_ms(harness.step_ms);
      harness.running = platform_pump();
    }
  }
  return os_alloc_count() - harness.live_at_start;
}

// --- pictures ------------------------------------------------------------------------------

void headless_compose(uint32_t* out) { g_compose_frame(out); }

uint64_t headless_frame_checksum() { return g_frame_checksum(); }

bool headless_write_picture(const std::string& path, const uint32_t* pixels, int32_t width, int32_t height) {
  const bool png = path.size() > 4 && path.compare(path.size() - 4, 4, ".png") == 0;
  const std::string ppm = png ? path + ".ppm" : path;
  FILE* f = fopen(ppm.c_str(), "wb");
  if (!f) return false;
  fprintf(f, "P6\n%d %d\n255\n", width, height);
  std::vector<unsigned char> row(size_t(width) * 3);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) {
      const uint32_t p = pixels[size_t(y) * width + x];
      row[x * 3 + 0] = p & 0xff;
      row[x * 3 + 1] = (p >> 8) & 0xff;
      row[x * 3 + 2] = (p >> 16) & 0xff;
    }
    fwrite(row.data(), 1, row.size(), f);
  }
  const bool written = fclose(f) == 0;
  if (!png || !written) return written;
  const std::string cmd = "convert '" + ppm + "' '" + path + "'";
  const bool converted = system(cmd.c_str()) == 0;
  remove(ppm.c_str());
  return converted;
}

// --- whole replays -------------------------------------------------------------------------

static void apply_input(const headless_event& ev) {
  switch (ev.kind) {
    case HEADLESS_EV_KEY_DOWN: headless_game_key(ev.code, true); break;
    case HEADLESS_EV_KEY_UP: headless_game_key(ev.code, false); break;
    case HEADLESS_EV_MOUSE_DOWN: headless_game_mouse(true, ev.x, ev.y); break;
    case HEADLESS_EV_MOUSE_MOVE: headless_game_mouse(harness.mouse_down, ev.x, ev.y); break;
    case HEADLESS_EV_MOUSE_UP: headless_game_mouse(false, harness.mouse_x, harness.mouse_y); break;
    default: break;
  }
}

static void check(const headless_event& ev, headless_result* result) {
  int32_t got = 0;
  char want[64] = "", have[64] = "";
  if (ev.what == "state") {
    if (game.game_state == ev.value) return;
    snprintf(want, sizeof want, "%s", state_name(ev.value).c_str());
    snprintf(have, sizeof have, "%s", state_name(game.game_state).c_str());
  } else if (ev.what == "level") {
    got = game.level_index;
  } else if (ev.what == "diamonds") {
    got = game.diamonds_collected;
  } else if (ev.what == "cell") {
    got = map_get_cell(&game.map, ev.x, ev.y);
  } else if (ev.what == "player") {
    const int32_t px = game.tw > 0 ? int32_t(game.player_x) / game.tw : 0;
    const int32_t py = game.th > 0 ? int32_t(game.player_y) / game.th : 0;
    const bool on_grid = game.tw > 0 && game.th > 0 && int32_t(game.player_x) % game.tw == 0 &&
                         int32_t(game.player_y) % game.th == 0;
    if (on_grid && px == ev.x && py == ev.y) return;
    snprintf(want, sizeof want, "(%d, %d)", int(ev.x), int(ev.y));
    snprintf(have, sizeof have, "x %.2f y %.2f", double(game.player_x), double(game.player_y));
  } else if (headless_counter_value(ev.what, &got)) {
    if (ev.compare == '>' ? got >= ev.value : ev.compare == '<' ? got <= ev.value : got == ev.value) return;
    snprintf(want, sizeof want, "%s%d", ev.compare == '>' ? "at least " : ev.compare == '<' ? "at most " : "",
             int(ev.value));
    snprintf(have, sizeof have, "%d", int(got));
  }
  if (want[0] == 0) {
    if (got == ev.value) return;
    snprintf(want, sizeof want, "%d", int(ev.value));
    snprintf(have, sizeof have, "%d", int(got));
  }
  char line[256];
  snprintf(line, sizeof line, "line %d at %u ms: %s is %s, expected %s", int(ev.line), unsigned(ev.time_ms),
           ev.what.c_str(), have, want);
  result->failures.push_back(line);
}

bool headless_play(const headless_replay& replay, const headless_options& options, headless_result* result) {
  *result = headless_result{};
  headless_game_start(replay.step_ms);
  harness.audio = options.audio;
  if (replay.level != 0) game_select_level(uint8_t(replay.level));

  static uint32_t frame[HEADLESS_FB_WIDTH * HEADLESS_FB_HEIGHT];
  bool dumped = false;
  size_t next = 0;
  while (harness.running && harness.now_ms + replay.step_ms <= replay.end_ms) {
    const uint32_t t = harness.now_ms + replay.step_ms;
    for (size_t i = next; i < replay.events.size() && replay.events[i].time_ms <= t; ++i)
      if (replay.events[i].kind != HEADLESS_EV_EXPECT) apply_input(replay.events[i]);
    if (!headless_game_pass()) break;
    result->passes++;
    for (; next < replay.events.size() && replay.events[next].time_ms <= t; ++next)
      if (replay.events[next].kind == HEADLESS_EV_EXPECT) check(replay.events[next], result);
    if (options.checksums) result->checksums.push_back(headless_frame_checksum());
    if (!dumped && options.dump_at_ms >= 0 && !options.dump_path.empty() &&
        (int64_t(t) >= options.dump_at_ms || t + replay.step_ms > replay.end_ms)) {
      headless_compose(frame);
      dumped = headless_write_picture(options.dump_path, frame, HEADLESS_FB_WIDTH, HEADLESS_FB_HEIGHT);
      if (!dumped) result->failures.push_back("cannot write " + options.dump_path);
    }
    if (options.on_pass) options.on_pass(t, options.user);
  }
  for (; next < replay.events.size(); ++next)
    if (replay.events[next].kind == HEADLESS_EV_EXPECT)
      result->failures.push_back("line " + std::to_string(replay.events[next].line) + ": never checked (game ended)");
  result->final_state = game.game_state;
  result->final_level = game.level_index;
  result->leaks = headless_game_stop();
  result->ok = result->failures.empty() && result->leaks == 0;
  return result->ok;
}
