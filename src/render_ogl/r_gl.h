// The one place that includes the system's OpenGL header (Windows needs <windows.h> before
// it), plus the few names of later versions that the presenter fetches at run time.
#pragma once
#if defined(_WIN32)
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#endif
#include <GL/gl.h>

#include <cstddef>

#ifndef APIENTRY
#define APIENTRY
#endif

enum : GLenum {
  R_GL_ARRAY_BUFFER = 0x8892,
  R_GL_STATIC_DRAW = 0x88E4,
  R_GL_TEXTURE0 = 0x84C0,
};

typedef void(APIENTRY* r_gl_buffer_data_fn)(GLenum target, ptrdiff_t size, const void* data, GLenum usage);
typedef void(APIENTRY* r_gl_bind_buffer_fn)(GLenum target, GLuint buffer);
typedef void(APIENTRY* r_gl_gen_buffers_fn)(GLsizei count, GLuint* buffers);
typedef void(APIENTRY* r_gl_active_texture_fn)(GLenum unit);
