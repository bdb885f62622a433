// The OpenGL 1.x presenter: one texture per layer, a full-window quad, blending for the
// layers above the first. Owned by render_ogl (a recording double lives in the headless
// platform); called only by graph's display set-up and g_present, on the main thread.
#pragma once
#include <cstdint>

struct g_display;

enum : int32_t { R_TEXTURE_COUNT = 5 };

// One-time set-up once the window's context is current: scales the quad, sets the viewport.
bool r_init(g_display* display);
// Creates layer's texture of width x height (powers of two); layers above 0 turn blending on.
void r_create_texture(int32_t layer, int32_t width, int32_t height);
// Deletes layer's texture if it has one.
void r_delete_texture(int32_t layer);
// Uploads whole rows first_row .. end_row - 1 of pixels (rows of width pixels) to the texture.
void r_update_texture(int32_t layer, int32_t first_row, int32_t end_row, const uint32_t* pixels,
                      int32_t width);
// Draws layer's texture on the quad (layer 0 unblended, layer 1 blended, others as left).
void r_draw_texture(int32_t layer);
// Clears the colour and depth buffers.
void r_clear();
// Reads one OpenGL error; logs "error:0x%X\n" and returns false when there was one.
bool r_check_error();
