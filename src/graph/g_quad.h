// The software rasteriser for convex four-cornered shapes, textured with affine coordinates
// or filled with one colour, and rotated image drawing on top of it. Owned by graph; sprites
// with an angle draw through g_draw_rotated.
#pragma once
#include <cstdint>

#include "graph/g_image.h"

struct g_vertex {
  int16_t x;  // target pixels
  int16_t y;
  int16_t u;  // texels
  int16_t v;
  g_pixel colour;  // vertex 0's colour fills an untextured quad
};

struct g_quad {
  g_vertex v[4];  // in drawing order
};

// Per-row span tables of the current target (taken from the fill buffers by g_draw_quad).
struct g_spans {
  int16_t* left_x;   // 0x7F7F before a quad
  int16_t* right_x;  // 0 before a quad
  int32_t* left_u;   // 16.16, only with a texture
  int32_t* left_v;
  int32_t* right_u;
  int32_t* right_v;
  int32_t rows;      // the target's height
  int32_t columns;   // the target's width
  bool textured;
};

enum : int16_t { G_SPAN_LEFT_START = 0x7F7F };

// Binds image (null unbinds) as the texture of later quads; its sides should be powers of two.
void g_set_texture(const g_image* image);
// The bound texture, or null.
const g_image* g_get_texture();
// Fills the quad on the current target, textured when a texture is bound.
void g_draw_quad(const g_quad* quad);
// Walks the edge (xa, ya, ua, va) -> (xb, yb, ub, vb) into the span tables and marks it dirty.
void g_scan_edge(int32_t xa, int32_t ya, int32_t ua, int32_t va, int32_t xb, int32_t yb, int32_t ub,
                 int32_t vb, g_spans* spans);
// Draws the whole image rotated by angle x 3.14 / 90 radians (clockwise on screen) into the
// w x h box at (x, y), about the box's centre. The texture bound before stays bound.
void g_draw_rotated(const g_image* image, int32_t x, int32_t y, int32_t w, int32_t h, int32_t angle);
