// What the OpenGL 1.x and the WebGL presenter do with the same calls: the view's set-up and
// the layer textures, made, filled and dropped. Each presenter includes this after its own GL
// header and keeps the texture names. Nearest filtering keeps the pixels sharp; every layer
// above 0 is blended by its alpha.
#pragma once
#include <cstddef>
#include <cstdint>

#include "graph/g_display.h"
#include "os_tools/os_log.h"
#include "render_ogl/r_render.h"

bool r_check_error();

// The whole window is drawn into; no depth buffer is used, the layers go in order.
static void r_view_setup(const g_display& display) {
  glViewport(0, 0, display.window_width, display.window_height);
  glClearColor(0, 0, 0, 0);
  glDisable(GL_DEPTH_TEST);
  glDepthMask(GL_FALSE);
}

static bool r_texture_layer_ok(int32_t layer) {
  OS_ASSERT(layer >= 0 && layer < R_TEXTURE_COUNT);
  return layer >= 0 && layer < R_TEXTURE_COUNT;
}

static void r_textures_create(GLuint* textures, int32_t layer, int32_t width, int32_t height) {
  if (!r_texture_layer_ok(layer)) return;
  os_log("r_create_texture:%d (%d,%d)\n", layer, width, height);
  if (layer != 0) {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  }
  glGenTextures(1, &textures[layer]);
  glBindTexture(GL_TEXTURE_2D, textures[layer]);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  glBindTexture(GL_TEXTURE_2D, 0);
  OS_ASSERT(r_check_error());
}

static void r_textures_delete(GLuint* textures, int32_t layer) {
  if (!r_texture_layer_ok(layer) || textures[layer] == 0) return;
  os_log("r_delete_texture:%d\n", layer);
  glBindTexture(GL_TEXTURE_2D, 0);
  glDeleteTextures(1, &textures[layer]);
  textures[layer] = 0;
  OS_ASSERT(r_check_error());
}

static void r_textures_update(const GLuint* textures, int32_t layer, int32_t first_row, int32_t end_row,
                              const uint32_t* pixels, int32_t width) {
  if (!r_texture_layer_ok(layer) || !pixels || end_row <= first_row) return;
  glBindTexture(GL_TEXTURE_2D, textures[layer]);
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, first_row, width, end_row - first_row, GL_RGBA, GL_UNSIGNED_BYTE,
                  pixels + size_t(first_row) * size_t(width));
}
