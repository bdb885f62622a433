// The WebGL presenter: the same picture as the OpenGL 1.x presenter, drawn with the one
// textured-quad shader WebGL needs in place of the fixed pipeline. A texture per layer, the
// full-window quad in a buffer object, nearest filtering, source-alpha blending above layer
// 0. The fragment shader hands the texel on unchanged, so every pixel is the layer's own
// byte for byte, and only the blend unit mixes the layers, with the blend function the fixed
// pipeline uses.
#include <GLES2/gl2.h>
#include <emscripten/console.h>

#include <cstddef>

#include "graph/g_display.h"
#include "os_tools/os_log.h"
#include "platform.h"
#include "render_ogl/r_quad.h"
#include "render_ogl/r_render.h"
#include "render_ogl/r_shared_gl.h"

// High precision where the device has it: at medium precision a texture coordinate near
// 0.94 is only good to about a quarter of a texel, enough to pick the wrong row.
static const char* const R_VERTEX_SHADER =
    "attribute vec2 a_position;\n"
    "attribute vec2 a_uv;\n"
    "varying highp vec2 v_uv;\n"
    "void main() {\n"
    "  v_uv = a_uv;\n"
    "  gl_Position = vec4(a_position, 0.0, 1.0);\n"
    "}\n";
static const char* const R_FRAGMENT_SHADER =
    "#ifdef GL_FRAGMENT_PRECISION_HIGH\n"
    "precision highp float;\n"
    "#else\n"
    "precision mediump float;\n"
    "#endif\n"
    "uniform sampler2D u_layer;\n"
    "varying vec2 v_uv;\n"
    "void main() {\n"
    "  gl_FragColor = texture2D(u_layer, v_uv);\n"
    "}\n";

static struct {
  GLuint textures[R_TEXTURE_COUNT];
  GLuint buffer;
  GLuint program;
  GLint position_at;
  GLint uv_at;
  uint8_t buffer_created;
  float quad[R_QUAD_FLOATS];
  g_display* display;
} r_state;

// Also told to the page's console: the shipped log is silent, and a browser test must see it.
bool r_check_error() {
  const GLenum code = glGetError();
  if (code == GL_NO_ERROR) return true;
  os_log("error:0x%X\n", unsigned(code));
  emscripten_console_errorf("WebGL error:0x%X", unsigned(code));
  return false;
}

static GLuint r_compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char text[512] = "";
    glGetShaderInfoLog(shader, sizeof text, nullptr, text);
    os_log("shader: %s\n", text);
  }
  OS_ASSERT(ok);
  return shader;
}

static void r_make_program() {
  const GLuint vertex = r_compile(GL_VERTEX_SHADER, R_VERTEX_SHADER);
  const GLuint fragment = r_compile(GL_FRAGMENT_SHADER, R_FRAGMENT_SHADER);
  r_state.program = glCreateProgram();
  glAttachShader(r_state.program, vertex);
  glAttachShader(r_state.program, fragment);
  glLinkProgram(r_state.program);
  GLint ok = GL_FALSE;
  glGetProgramiv(r_state.program, GL_LINK_STATUS, &ok);
  OS_ASSERT(ok);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  glUseProgram(r_state.program);
  glUniform1i(glGetUniformLocation(r_state.program, "u_layer"), 0);
  r_state.position_at = glGetAttribLocation(r_state.program, "a_position");
  r_state.uv_at = glGetAttribLocation(r_state.program, "a_uv");
}

bool r_init(g_display* display) {
  OS_ASSERT(display != nullptr);
  if (!display) return false;
  os_log("RENDER webgl ver:%d\n", 1);
  r_state.display = display;
  r_scale_quad(*display, r_state.quad);
  r_state.buffer_created = 0;
  r_make_program();
  r_view_setup(*display);
  OS_ASSERT(r_check_error());
  os_log("olg init ok\n");
  return true;
}

void r_create_texture(int32_t layer, int32_t width, int32_t height) {
  r_textures_create(r_state.textures, layer, width, height);
}

void r_delete_texture(int32_t layer) { r_textures_delete(r_state.textures, layer); }

void r_update_texture(int32_t layer, int32_t first_row, int32_t end_row, const uint32_t* pixels,
                      int32_t width) {
  r_textures_update(r_state.textures, layer, first_row, end_row, pixels, width);
}

// First draw: the quad goes into a buffer object that stays bound with both attributes.
static void r_create_buffer() {
  r_state.buffer_created = 1;
  os_log("create vbo : %d\n", int(R_QUAD_BYTES));
  glActiveTexture(GL_TEXTURE0);
  glGenBuffers(1, &r_state.buffer);
  glBindBuffer(GL_ARRAY_BUFFER, r_state.buffer);
  glBufferData(GL_ARRAY_BUFFER, R_QUAD_BYTES, r_state.quad, GL_STATIC_DRAW);
  glEnableVertexAttribArray(GLuint(r_state.position_at));
  glEnableVertexAttribArray(GLuint(r_state.uv_at));
  glVertexAttribPointer(GLuint(r_state.position_at), 2, GL_FLOAT, GL_FALSE, R_VERTEX_STRIDE,
                        reinterpret_cast<const void*>(0));
  glVertexAttribPointer(GLuint(r_state.uv_at), 2, GL_FLOAT, GL_FALSE, R_VERTEX_STRIDE,
                        reinterpret_cast<const void*>(8));
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
