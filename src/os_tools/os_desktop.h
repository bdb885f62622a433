// os_desktop: the arithmetic the desktop back ends (Windows, SDL) share: where the window
// goes and how big it is on a scaled display, the counter clock's milliseconds, and when a
// mouse button counts as a click in the game. No system header, so every back end and the unit tests use the one definition.
#pragma once
#include <cstdint>

// Where the window goes and how big its outer rectangle starts. Windowed: centred with
// arithmetic shifts, outer size = the wanted client size (corrected once the frame is known).
// Fullscreen: the whole screen at (0, 0).
struct os_placement {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
};

constexpr os_placement os_place_window(int32_t screen_width, int32_t screen_height,
                                       int32_t width, int32_t height, bool fullscreen) {
  if (fullscreen) return {0, 0, screen_width, screen_height};
  return {(screen_width - width) >> 1, (screen_height - height) >> 1, width, height};
}

// The window was created with an outer size equal to the wanted client size, so the frame's
// share (wanted - client) is added once: outer = 2 * wanted - client.
constexpr int32_t os_outer_size(int32_t wanted, int32_t client) { return 2 * wanted - client; }

// The default window's client size on a display scaled above 100 % (dpi above 96; 96 is
// 100 %): the whole multiple of 320 x 240 nearest to 960 x 720 times the scale (dpi / 96, a
// half rounding up), made one multiple smaller at a time until it fits the work area with the
// frame the window adds at that dpi, and never below 320 x 240. Every framebuffer pixel stays
// an exact square block, and the window looks about the size it has at 100 %. At 96 dpi or
// less: 960 x 720, whatever the work area, as it always was.
struct os_size {
  int32_t width;
  int32_t height;
};

constexpr os_size os_scaled_window(int32_t dpi, int32_t work_width, int32_t work_height,
                                   int32_t frame_width, int32_t frame_height) {
  if (dpi <= 96) return {960, 720};
  int32_t n = (3 * dpi + 48) / 96;
  while (n > 1 && (n * 320 + frame_width > work_width || n * 240 + frame_height > work_height)) --n;
  return {n * 320, n * 240};
}

// Milliseconds per counter unit as the clock keeps it: a 32-bit float. 0 for a frequency
// that cannot be a counter's.
constexpr float os_ms_factor(int64_t frequency) {
  return frequency > 0 ? 1.0f / (static_cast<float>(frequency) * 0.001f) : 0.0f;
}

// Counter units since the start to milliseconds, rounded to the nearest, low 32 bits. The
// product is taken in double precision: a 32-bit float would lose whole milliseconds after
// about four and a half hours (2^24 ms) and step the game clock in 2, 4, 8 ms strides.
constexpr uint32_t os_ms_from_count(int64_t elapsed, float factor) {
  const double ms = static_cast<double>(elapsed) * static_cast<double>(factor) + 0.5;
  if (!(ms > 0.0)) return 0;
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

// Whether a mouse button that reads down belongs to the game: only while the game's window is
// the active one and the pointer (client coordinates) is inside its client area. A button
// read for the whole desktop would otherwise count a click on the close box or on another
// program's window.
constexpr bool os_click_counts(bool window_active, int32_t x, int32_t y, int32_t client_width,
                               int32_t client_height) {
  return window_active && x >= 0 && y >= 0 && x < client_width && y < client_height;
}
