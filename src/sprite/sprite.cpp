// The player's sprite: frame ranges that loop or bounce, drawn from the tile sheet.
#include "sprite/sprite.h"

#include "graph/g_image.h"
#include "graph/g_quad.h"
#include "os_tools/os_log.h"
#include "tile/tile.h"

sprite sprite_create(int32_t frame_x, int32_t frame_y, int32_t frame_width, int32_t frame_height) {
  sprite s{};
  s.sheet = &tile_global;
  s.frame_x = frame_x;
  s.frame_y = frame_y;
  s.frame_width = frame_width;
  s.frame_height = frame_height;
  s.blit_mode = G_BLIT_COPY;
  return s;
}

void sprite_set_anim(sprite* s, int32_t first, int32_t last, uint8_t ping_pong) {
  OS_ASSERT(s != nullptr);
  OS_ASSERT(last >= first);
  if (!s) return;
  s->frame = float(first) + (s->frame - s->first);
  s->first = float(first);
  s->last = float(last);
  s->ping_pong = ping_pong;
  if (s->direction == 0) s->direction = 1;
}

void sprite_animate(sprite* s, float step) {
  OS_ASSERT(s != nullptr);
  if (!s) return;
  if (s->last == s->first) {
    s->frame = s->first;
  } else {
    s->frame += float(s->direction) * step;
    const float count = s->last - s->first + 1.0f;
    if (s->frame < s->first) {
      if (s->ping_pong) {
        s->frame += 1.0f;
        s->direction = -s->direction;
      } else {
        s->frame += count;
      }
    }
    if (s->frame >= s->last + 1.0f) {
      if (s->ping_pong) {
        s->frame -= 1.0f;
        s->direction = -s->direction;
      } else {
        s->frame -= count;
      }
    }
  }
  s->frame_offset = int32_t(s->frame) * s->frame_width;
}

void sprite_draw(const sprite* s, int32_t x, int32_t y) {
  OS_ASSERT(s != nullptr);
  if (!s || !s->sheet || !s->sheet->sheet.pixels) return;  // no sheet: nothing to show
  g_blit(&s->sheet->sheet, x, y, s->frame_x + s->frame_offset, s->frame_y, s->frame_width,
         s->frame_height, s->blit_mode);
}

void sprite_draw_rotated(const sprite* s, int32_t x, int32_t y, int32_t angle) {
  OS_ASSERT(s != nullptr);
  if (!s || !s->sheet || !s->sheet->sheet.pixels) return;
  g_draw_rotated(&s->sheet->sheet, x, y, s->frame_width, s->frame_height, angle);
}

void sprite_render(const sprite* s) {
  OS_ASSERT(s != nullptr);
  if (!s) return;
  const int32_t px = int32_t(double(s->x) + 0.5);
  const int32_t py = int32_t(double(s->y) + 0.5);
  if (s->angle == 0.0f) {
    sprite_draw(s, px, py);
  } else {
    sprite_draw_rotated(s, px, py, int32_t(s->angle));
  }
}
