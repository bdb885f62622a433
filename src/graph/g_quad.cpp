// The quad rasteriser: edges walked into per-row span tables (x in 20.12, u and v in 16.16),
// then each row's span filled from the texture or with one colour.
#include "graph/g_quad.h"

#include <cstring>

#include "graph/g_layer.h"
#include "graph/g_state.h"
#include "os_tools/os_log.h"
#include "os_tools/os_util.h"

void g_set_texture(const g_image* image) {
  g_state.texture = image;
  if (!image) return;
  g_state.texture_pw = g_pow2_at_least(image->width);
  g_state.texture_ph = g_pow2_at_least(image->height);
  OS_ASSERT(g_state.texture_pw == image->width && g_state.texture_ph == image->height);
}

const g_image* g_get_texture() { return g_state.texture; }

static int32_t g_clamp_column(int64_t x, int32_t columns) {
  return int32_t(x < 0 ? 0 : (x > columns - 1 ? columns - 1 : x));
}

static void g_offer(g_spans* s, int32_t y, int32_t x, int32_t u, int32_t v) {
  if (x < s->left_x[y]) {
    s->left_x[y] = int16_t(x);
    if (s->textured) {
      s->left_u[y] = u;
      s->left_v[y] = v;
    }
  }
  if (x > s->right_x[y]) {
    s->right_x[y] = int16_t(x);
    if (s->textured) {
      s->right_u[y] = u;
      s->right_v[y] = v;
    }
  }
}

void g_scan_edge(int32_t xa, int32_t ya, int32_t ua, int32_t va, int32_t xb, int32_t yb, int32_t ub,
                 int32_t vb, g_spans* spans) {
  g_mark_dirty(xa, ya, xb, yb < INT32_MAX ? yb + 1 : yb, g_get_current_layer());
  if (!spans || spans->rows <= 0 || spans->columns <= 0) return;
  const int64_t fua = int64_t(ua) * 65536, fva = int64_t(va) * 65536;
  const int64_t fub = int64_t(ub) * 65536, fvb = int64_t(vb) * 65536;
  if (ya == yb) {
    if (ya >= 0 && ya < spans->rows) {
      g_offer(spans, ya, g_clamp_column(xa, spans->columns), int32_t(fua), int32_t(fva));
      g_offer(spans, ya, g_clamp_column(xb, spans->columns), int32_t(fub), int32_t(fvb));
    }
    return;
  }
  const int64_t dy = ya < yb ? int64_t(yb) - ya : int64_t(ya) - yb;
  const int64_t d = ya < yb ? 1 : -1;
  const int64_t x_step = (int64_t(xb) - xa) * 4096 / dy;
  const int64_t u_step = (fub - fua) / dy, v_step = (fvb - fva) / dy;
  // Only the steps that land on the target's rows are walked: k counts rows from ya.
  int64_t k_first, k_last;
  if (d > 0) {
    k_first = ya < 0 ? -int64_t(ya) : 0;
    k_last = int64_t(spans->rows) - 1 - ya;
  } else {
    k_first = ya > spans->rows - 1 ? int64_t(ya) - (spans->rows - 1) : 0;
    k_last = ya;
  }
  if (k_last > dy) k_last = dy;
  for (int64_t k = k_first; k <= k_last; ++k) {
    const int64_t y = ya + d * k;
    const int64_t x = xa + (k * x_step) / 4096;
    g_offer(spans, int32_t(y), g_clamp_column(x, spans->columns), int32_t(fua + k * u_step),
            int32_t(fva + k * v_step));
  }
}

// Texel index inside the image: the power-of-two mask wraps a fitting texture; a texture of
// other sides is wrapped once more into its own pixel count.
static inline uint32_t g_texel_index(int32_t u, int32_t v, uint32_t width, uint32_t mask, uint32_t count) {
  uint32_t index = ((uint32_t(v >> 16) * width) + uint32_t(u >> 16)) & mask;
  return index < count ? index : index % count;
}

void g_draw_quad(const g_quad* quad) {
  g_image* target = g_get_target();
  OS_ASSERT(target != nullptr && quad != nullptr);
  if (!target || !quad || !target->pixels) return;
  const g_image* texture = g_state.texture;
  const bool textured = texture != nullptr && texture->pixels != nullptr;
  // Span x values are 16-bit: a wider target is drawn in its first 32767 columns only.
  const int32_t rows = target->height, columns = target->width < 32767 ? target->width : 32767;

  g_spans s = {};
  s.rows = rows;
  s.columns = columns;
  s.textured = textured;
  s.left_x = static_cast<int16_t*>(os_get_fill_buf(0, rows * 2));
  s.right_x = static_cast<int16_t*>(os_get_fill_buf(1, rows * 2));
  if (textured) {
    s.left_u = static_cast<int32_t*>(os_get_fill_buf(3, rows * 4));
    s.left_v = static_cast<int32_t*>(os_get_fill_buf(4, rows * 4));
    s.right_u = static_cast<int32_t*>(os_get_fill_buf(5, rows * 4));
    s.right_v = static_cast<int32_t*>(os_get_fill_buf(6, rows * 4));
    if (!s.left_u || !s.left_v || !s.right_u || !s.right_v) return;
    memset(s.left_u, 0, size_t(rows) * 4);
    memset(s.left_v, 0, size_t(rows) * 4);
    memset(s.right_u, 0, size_t(rows) * 4);
    memset(s.right_v, 0, size_t(rows) * 4);
  }
  if (!s.left_x || !s.right_x) return;
  for (int32_t y = 0; y < rows; ++y) {
    s.left_x[y] = G_SPAN_LEFT_START;
    s.right_x[y] = 0;
  }
  const g_vertex* v = quad->v;
  g_scan_edge(v[0].x, v[0].y, v[0].u, v[0].v, v[1].x, v[1].y, v[1].u, v[1].v, &s);
  g_scan_edge(v[1].x, v[1].y, v[1].u, v[1].v, v[2].x, v[2].y, v[2].u, v[2].v, &s);
  g_scan_edge(v[2].x, v[2].y, v[2].u, v[2].v, v[3].x, v[3].y, v[3].u, v[3].v, &s);
  g_scan_edge(v[0].x, v[0].y, v[0].u, v[0].v, v[3].x, v[3].y, v[3].u, v[3].v, &s);

  if (textured) {
    const uint32_t tw = uint32_t(texture->width);
    const uint32_t count = tw * uint32_t(texture->height);
    const uint32_t mask = uint32_t(g_state.texture_pw) * uint32_t(g_state.texture_ph) - 1;
    const g_pixel* texels = texture->pixels;
    bool started = false;
    for (int32_t y = 0; y < rows; ++y) {
      const int32_t left = s.left_x[y], span = s.right_x[y] - left;
      if (span <= 0) {
        if (started) break;  // the convex shape is behind us
        continue;
      }
      started = true;
      const float reciprocal = 1.0f / float(span);
      const int32_t du = int32_t(float(int64_t(s.right_u[y]) - s.left_u[y]) * reciprocal);
      const int32_t dv = int32_t(float(int64_t(s.right_v[y]) - s.left_v[y]) * reciprocal);
      int32_t u = s.left_u[y], vv = s.left_v[y];
      g_pixel* out = target->pixels + int64_t(y) * target->width + left;
      for (int32_t i = 0; i < span; ++i) {
        out[i] = texels[g_texel_index(u, vv, tw, mask, count)];
        u += du;
        vv += dv;
      }
    }
    return;
  }
  const g_pixel colour = v[0].colour;
  g_pixel* row = static_cast<g_pixel*>(os_get_fill_buf(2, columns * 4));
  if (!row) return;
  for (int32_t i = 0; i < columns; ++i) row[i] = colour;
  for (int32_t y = 0; y < rows; ++y) {
    const int32_t left = s.left_x[y], span = s.right_x[y] - left;
    if (span > 0) memcpy(target->pixels + int64_t(y) * target->width + left, row, size_t(span) * sizeof(g_pixel));
  }
}

void g_draw_rotated(const g_image* image, int32_t x, int32_t y, int32_t w, int32_t h, int32_t angle) {
  OS_ASSERT(image != nullptr);
  if (!image) return;
  const g_image* previous = g_state.texture;
  const float a = float(double(angle) * (3.14 / 90.0));
  const float s = os_sin(a), c = os_cos(a);
  const int32_t cx = x + w / 2, cy = y + h / 2, hw = w / 2, hh = h / 2;
  const int32_t corner[4][4] = {{-hw, -hh, 0, 0},
                                {hw, -hh, image->width, 0},
                                {hw, hh, image->width, image->height},
                                {-hw, hh, 0, image->height}};
  g_quad quad = {};
  for (int32_t i = 0; i < 4; ++i) {
    const float px = float(corner[i][0]), py = float(corner[i][1]);
    quad.v[i].x = int16_t(cx + int32_t(px * c - py * s));
    quad.v[i].y = int16_t(cy + int32_t(py * c + px * s));
    quad.v[i].u = int16_t(corner[i][2]);
    quad.v[i].v = int16_t(corner[i][3]);
  }
  g_set_texture(image);
  g_draw_quad(&quad);
  g_set_texture(previous);
}
