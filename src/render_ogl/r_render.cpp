// The OpenGL 1.x presenter: a texture per layer, one full-window quad in a buffer object
// (client-side arrays when the driver has no buffer objects), source-alpha blending above
// layer 0.
#include "render_ogl/r_render.h"

#include <cstring>

#include "graph/g_display.h"
#include "os_tools/os_log.h"
#include "platform.h"
#include "render_ogl/r_gl.h"
#include "render_ogl/r_quad.h"
#include "render_ogl/r_shared_gl.h"

static struct {
  GLuint textures[R_TEXTURE_COUNT];
  GLuint buffer;
  uint8_t buffer_created;
  bool client_arrays;  // the driver lacks buffer objects: the quad is drawn from memory
  r_gl_buffer_data_fn buffer_data;
  r_gl_bind_buffer_fn bind_buffer;
  r_gl_gen_buffers_fn gen_buffers;
  r_gl_active_texture_fn active_texture;
  float quad[R_QUAD_FLOATS];
  g_display* display;
} r_state;

bool r_check_error() {
  const GLenum code = glGetError();
  if (code == GL_NO_ERROR) return true;
  os_log("error:0x%X\n", unsigned(code));
  return false;
}

bool r_init(g_display* display) {
  OS_ASSERT(display != nullptr);
  if (!display) return false;
  os_log("RENDER ogl ver:%d\n", 1);
  r_state.display = display;
  r_state.buffer_data = reinterpret_cast<r_gl_buffer_data_fn>(platform_gl_proc("glBufferDataARB"));
  r_state.bind_buffer = reinterpret_cast<r_gl_bind_buffer_fn>(platform_gl_proc("glBindBuffer"));
  r_state.gen_buffers = reinterpret_cast<r_gl_gen_buffers_fn>(platform_gl_proc("glGenBuffers"));
  r_state.active_texture = reinterpret_cast<r_gl_active_texture_fn>(platform_gl_proc("glActiveTexture"));
  r_state.client_arrays = !r_state.buffer_data || !r_state.bind_buffer || !r_state.gen_buffers;
  r_scale_quad(*display, r_state.quad);
  r_state.buffer_created = 0;
  r_view_setup(*display);
  OS_ASSERT(r_check_error());
  os_log("olg init ok\n");
  return true;
}

void r_create_texture(int32_t layer, int32_t width, int32_t height) {
  glEnable(GL_TEXTURE_2D);  // the fixed pipeline samples textures only when asked
  r_textures_create(r_state.textures, layer, width, height);
}

void r_delete_texture(int32_t layer) { r_textures_delete(r_state.textures, layer); }

void r_update_texture(int32_t layer, int32_t first_row, int32_t end_row, const uint32_t* pixels,
                      int32_t width) {
  r_textures_update(r_state.textures, layer, first_row, end_row, pixels, width);
}

// First draw: the quad goes into a buffer object that stays bound, or, without buffer
// objects, the arrays point straight at the quad in memory.
static void r_create_buffer() {
  r_state.buffer_created = 1;
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  if (r_state.active_texture) r_state.active_texture(R_GL_TEXTURE0);
  if (r_state.client_arrays) {
    os_log("no vbo, client arrays : %d\n", int(R_QUAD_BYTES));
    glVertexPointer(2, GL_FLOAT, R_VERTEX_STRIDE, r_state.quad);
    glTexCoordPointer(2, GL_FLOAT, R_VERTEX_STRIDE, r_state.quad + 2);
    return;
  }
  os_log("create vbo : %d\n", int(R_QUAD_BYTES));
  // A set-up again for a new window size fills the buffer it already has.
  if (!r_state.buffer) r_state.gen_buffers(1, &r_state.buffer);
  r_state.bind_buffer(R_GL_ARRAY_BUFFER, r_state.buffer);
  r_state.buffer_data(R_GL_ARRAY_BUFFER, R_QUAD_BYTES, r_state.quad, R_GL_STATIC_DRAW);
  glVertexPointer(2, GL_FLOAT, R_VERTEX_STRIDE, reinterpret_cast<const void*>(0));
  glTexCoordPointer(2, GL_FLOAT, R_VERTEX_STRIDE, reinterpret_cast<const void*>(8));
}

void r_draw_texture(int32_t layer) {
  if (layer < 0 || layer >= R_TEXTURE_COUNT) return;
  if (layer == 0) glDisable(GL_BLEND);
  if (layer == 1) glEnable(GL_BLEND);
  if (!r_state.buffer_created) r_create_buffer();
  glBindTexture(GL_TEXTURE_2D, r_state.textures[layer]);
  glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
  OS_ASSERT(r_check_error());
}

void r_clear() { glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT); }
