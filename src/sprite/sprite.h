// sprite: a drawable, animated object over the global tile sheet. A position in float
// pixels, a frame rectangle in one row of the sheet and a frame counter that loops or
// bounces over a range. The game's player is the one sprite; nothing here is owned.
#pragma once
#include <cstdint>

struct tile_set;

struct sprite {
  tile_set* sheet;  // the global tile set (not owned); null draws nothing
  float x;          // left edge, pixels of the image it is drawn into
  float y;          // top edge
  float frame;      // current frame; its integer part is shown
  float first;      // animation range, last inclusive
  float last;
  float angle;      // 0 draws unrotated
  int32_t frame_x;  // sheet x of frame 0
  int32_t frame_y;  // sheet y of every frame
  int32_t frame_width;
  int32_t frame_height;
  int32_t frame_offset;  // (integer part of frame) x frame width
  int32_t direction;     // +1 or -1; 0 until the first sprite_set_anim
  uint8_t ping_pong;     // 0 loops, other bounces at both ends
  uint8_t blit_mode;     // for g_blit; G_BLIT_COPY after creation
};

// A sprite over the global tile set whose frame 0 is the given sheet rectangle.
sprite sprite_create(int32_t frame_x, int32_t frame_y, int32_t frame_width, int32_t frame_height);
// Switches the range to first..last, keeping the frame's place relative to the range start.
void sprite_set_anim(sprite* s, int32_t first, int32_t last, uint8_t ping_pong);
// Advances the frame by direction x step, wrapping (loop) or turning (ping-pong) at the ends.
void sprite_animate(sprite* s, float step);
// Blits the shown frame at (x, y) of the current target.
void sprite_draw(const sprite* s, int32_t x, int32_t y);
// Draws the whole sheet rotated into a frame-sized box at (x, y) (the game never rotates).
void sprite_draw_rotated(const sprite* s, int32_t x, int32_t y, int32_t angle);
// Draws the sprite at its own position rounded to whole pixels.
void sprite_render(const sprite* s);
