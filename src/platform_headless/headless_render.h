// The headless presenter: implements every r_ operation by recording the call, keeps a copy
// of each texture and composes the frame the way the OpenGL presenter would blend it, so
// tests and the game harness run g_present without a GPU. Main thread only.
#pragma once
#include <cstdint>

enum : uint8_t {
  HEADLESS_R_INIT = 1,
  HEADLESS_R_CREATE,  // a = width, b = height
  HEADLESS_R_DELETE,
  HEADLESS_R_UPDATE,  // a = first row, b = end row
  HEADLESS_R_CLEAR,
  HEADLESS_R_DRAW,    // blend = blending state the draw used
  HEADLESS_R_SWAP,    // logged by the headless window's platform_swap_buffers
};

struct headless_render_call {
  uint8_t op;
  uint8_t blend;
  int32_t layer;
  int32_t a;
  int32_t b;
};

enum : int32_t {
  HEADLESS_R_LOG_SIZE = 4096,  // calls kept; later calls are counted but not kept
  HEADLESS_R_TEX_WIDTH = 512,
  HEADLESS_R_TEX_HEIGHT = 256,
};

// Forgets every recorded call, texture and the composed frame (the blend switch goes off).
void headless_render_reset();
// Forgets the recorded calls only (textures, blend state and frame stay).
void headless_render_clear_log();
// Number of calls since the last reset, and the call at index (null beyond the kept ones).
int32_t headless_render_call_count();
const headless_render_call* headless_render_call_at(int32_t index);
// Number of recorded calls of one kind.
int32_t headless_render_count(uint8_t op);
// Appends a call to the log (the headless window records its swaps through this).
void headless_render_record(uint8_t op, int32_t layer, int32_t a, int32_t b);
// The texture name of a layer (0 = none) and its pixels as uploaded (512 x 256, RGBA).
uint32_t headless_render_texture(int32_t layer);
const uint32_t* headless_render_texture_pixels(int32_t layer);
// Whether the blend switch is on now.
bool headless_render_blending();
// The picture composed by the draws since the last clear, framebuffer-sized (from r_init).
const uint32_t* headless_render_frame();
int32_t headless_render_frame_width();
int32_t headless_render_frame_height();
// Makes r_check_error report code once (then no error again).
void headless_render_inject_error(uint32_t code);
