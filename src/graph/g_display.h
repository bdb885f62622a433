// The display description and the display's set-up and tear-down. Owned by graph; the
// platform (window), the presenter and the input code (mouse scaling) read it.
#pragma once
#include <cstdint>

struct g_display {
  int32_t fb_width;       // 320
  int32_t fb_height;      // 240
  int32_t tex_width;      // smallest power of two >= fb_width (512)
  int32_t tex_height;     // smallest power of two >= fb_height (256)
  int32_t window_width;   // client width in pixels (the platform writes the screen's in fullscreen)
  int32_t window_height;  // client height
  float x_scale;          // share of the window width the picture covers (<= 1)
  float y_scale;          // share of the window height the picture covers (<= 1)
  uint8_t initialised;
  uint8_t fullscreen;
  // Set by a platform that wants every framebuffer pixel shown as an equal square block (the
  // browser): the picture is then the largest whole multiple of the framebuffer that fits the
  // window, in the middle on whole pixels, rather than the largest 4:3 size.
  uint8_t whole_multiples;
};

// Records the window size for the next g_init_display (the entry asks for 960 x 720).
void g_set_hw_resolution(int32_t width, int32_t height);
// Opens the window through the platform and sets up the presenter; the platform's result.
bool g_init_display(bool fullscreen);
// A display with no window and no presenter, for a silent run of the game (a level's proof
// checked before the game starts): the layers are kept in memory, g_present shows nothing,
// and g_deinit_display closes no window. Always true.
bool g_init_offscreen();
// Frees the layers and their textures, then closes the window (which reports leaks).
void g_deinit_display();
// The display description (asserts that the display is initialised).
g_display* g_get_display();

// The window's client area has a new size (a resized or maximised window, fullscreen
// toggled): the scales that keep the picture 4:3 are worked out again and the presenter is
// set up for the new size. Black bars fill the rest.
void g_resize_display(int32_t window_width, int32_t window_height);

