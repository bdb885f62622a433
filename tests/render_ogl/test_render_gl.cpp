// The presenter on a real OpenGL context (GLX on an X display, Mesa under Xvfb): the picture
// it draws is read back and compared with the layers it was given.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "graph/g_display.h"
#include "platform.h"
#include "render_ogl/r_render.h"
#include "support/log_capture.h"

// Xlib's macros (None, Bool, Status...) must come after GoogleTest's headers.
#include <GL/gl.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

// The platform's entry-point lookup, with a switch that plays a driver lacking buffer objects.
static bool gl_has_buffers = true;
void* platform_gl_proc(const char* name) {
  if (!gl_has_buffers && strcmp(name, "glActiveTexture") != 0) return nullptr;
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}
uint32_t platform_get_time_ms() { return 0; }

struct gl_window : ::testing::Test {
  // One connection for the whole suite: an X server resets when its last client leaves and
  // refuses connections meanwhile.
  static inline Display* x = nullptr;
  static void TearDownTestSuite() {
    if (x) XCloseDisplay(x);
    x = nullptr;
  }
  Window window = 0;
  GLXContext context = nullptr;
  g_display display{};

  // False (the test is skipped) when there is no display to draw on.
  bool open(int32_t width, int32_t height, float x_scale, float y_scale) {
    if (!x) x = XOpenDisplay(nullptr);
    if (!x) {
      skip("no X display (run under xvfb-run)");
      return false;
    }
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(x, DefaultScreen(x), attributes);
    if (!visual) {
      skip("no 24-bit double-buffered GLX visual");
      return false;
    }
    XSetWindowAttributes wa = {};
    wa.colormap = XCreateColormap(x, RootWindow(x, visual->screen), visual->visual, AllocNone);
    window = XCreateWindow(x, RootWindow(x, visual->screen), 0, 0, unsigned(width), unsigned(height), 0,
                           visual->depth, InputOutput, visual->visual, CWColormap, &wa);
    context = glXCreateContext(x, visual, nullptr, True);
    XFree(visual);
    if (!context || !glXMakeCurrent(x, window, context)) {
      ADD_FAILURE() << "no OpenGL context";
      return false;
    }
    display = {320, 240, 512, 256, width, height, x_scale, y_scale, 1, 0, 0};
    return true;
  }
  void skip(const char* why) { GTEST_SKIP() << why; }
  void TearDown() override {
    if (!x) return;
    for (int32_t i = 0; i < R_TEXTURE_COUNT; ++i) r_delete_texture(i);
    glXMakeCurrent(x, None, nullptr);
    if (context) glXDestroyContext(x, context);
    if (window) XDestroyWindow(x, window);
    gl_has_buffers = true;
  }
  // The back buffer as 0xAABBGGRR rows, top row first.
  std::vector<uint32_t> read_back() {
    glFinish();
    std::vector<uint32_t> bottom_up(size_t(display.window_width) * display.window_height);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(0, 0, display.window_width, display.window_height, GL_RGBA, GL_UNSIGNED_BYTE, bottom_up.data());
    std::vector<uint32_t> top_down(bottom_up.size());
    for (int32_t y = 0; y < display.window_height; ++y)
      memcpy(&top_down[size_t(y) * display.window_width],
             &bottom_up[size_t(display.window_height - 1 - y) * display.window_width], size_t(display.window_width) * 4);
    return top_down;
  }
};

// Layer 0: every pixel opaque, red = x, green = y, blue = 77. Layer 1: empty but for a half
// transparent white block at x 100..109, y 50..59.
static std::vector<uint32_t> layer0_pixels() {
  std::vector<uint32_t> p(320 * 240);
  for (uint32_t y = 0; y < 240; ++y)
    for (uint32_t xx = 0; xx < 320; ++xx) p[y * 320 + xx] = 0xFF000000u | (77u << 16) | (y << 8) | (xx & 0xFF);
  return p;
}
static std::vector<uint32_t> layer1_pixels() {
  std::vector<uint32_t> p(320 * 240, 0);
  for (int y = 50; y < 60; ++y)
    for (int xx = 100; xx < 110; ++xx) p[size_t(y) * 320 + size_t(xx)] = 0x80FFFFFFu;
  return p;
}

static void draw_two_layers() {
  std::vector<uint32_t> l0 = layer0_pixels(), l1 = layer1_pixels();
  r_create_texture(0, 512, 256);
  r_create_texture(1, 512, 256);
  r_update_texture(0, 0, 240, l0.data(), 320);
  r_update_texture(1, 0, 240, l1.data(), 320);
  r_clear();
  r_draw_texture(0);
  r_draw_texture(1);
}

static uint32_t rgb(uint32_t p) { return p & 0xFFFFFFu; }

static void expect_picture(const std::vector<uint32_t>& window, int32_t width, int32_t left, int32_t scale) {
  const std::vector<uint32_t> l0 = layer0_pixels();
  for (int32_t fy : {0, 1, 120, 239})
    for (int32_t fx : {0, 1, 160, 255, 319})
      for (int32_t k = 0; k < scale * scale; ++k) {
        const int32_t wx = left + fx * scale + k % scale, wy = fy * scale + k / scale;
        ASSERT_EQ(rgb(window[size_t(wy) * width + wx]), rgb(l0[size_t(fy) * 320 + fx]))
            << "framebuffer " << fx << "," << fy << " window " << wx << "," << wy;
      }
  // The half-white block over layer 0: about halfway between the two.
  const uint32_t blended = window[size_t(55 * scale) * width + left + 105 * scale];
  const uint32_t under = l0[55 * 320 + 105];
  EXPECT_NEAR(int(blended & 0xFF), int(((under & 0xFF) + 255) / 2), 2);
  EXPECT_NEAR(int((blended >> 16) & 0xFF), int((77 + 255) / 2), 2);
}

TEST_F(gl_window, layers_fill_the_window_top_row_first_in_sharp_blocks) {
  if (!open(640, 480, 1.0f, 1.0f)) return;
  log_capture log;
  ASSERT_TRUE(r_init(&display));
  draw_two_layers();
  EXPECT_TRUE(r_check_error());
  EXPECT_TRUE(log.contains("RENDER ogl ver:1\n"));
  EXPECT_TRUE(log.contains("create vbo : 64\n"));
  EXPECT_FALSE(log.contains("error:"));
  expect_picture(read_back(), 640, 0, 2);
}

TEST_F(gl_window, a_wide_window_gets_black_bars_at_the_sides) {
  if (!open(960, 480, 2.0f / 3.0f, 1.0f)) return;  // the 4:3 picture, 640 x 480, in the middle
  ASSERT_TRUE(r_init(&display));
  draw_two_layers();
  std::vector<uint32_t> window = read_back();
  for (int32_t y : {0, 240, 479}) {
    EXPECT_EQ(rgb(window[size_t(y) * 960 + 0]), 0u);
    EXPECT_EQ(rgb(window[size_t(y) * 960 + 159]), 0u);
    EXPECT_EQ(rgb(window[size_t(y) * 960 + 800]), 0u);
    EXPECT_EQ(rgb(window[size_t(y) * 960 + 959]), 0u);
  }
  expect_picture(window, 960, 160, 2);
}

TEST_F(gl_window, without_buffer_objects_the_quad_is_drawn_from_memory) {
  if (!open(640, 480, 1.0f, 1.0f)) return;
  gl_has_buffers = false;
  log_capture log;
  ASSERT_TRUE(r_init(&display));
  draw_two_layers();
  EXPECT_TRUE(r_check_error());
  EXPECT_FALSE(log.contains("create vbo"));
  expect_picture(read_back(), 640, 0, 2);
}

TEST_F(gl_window, only_the_rows_sent_change_and_deleting_twice_is_quiet) {
  if (!open(640, 480, 1.0f, 1.0f)) return;
  ASSERT_TRUE(r_init(&display));
  draw_two_layers();
  std::vector<uint32_t> white(320 * 240, 0xFFFFFFFFu);
  r_update_texture(0, 10, 20, white.data(), 320);
  r_update_texture(0, 30, 30, white.data(), 320);  // no rows
  r_clear();
  r_draw_texture(0);
  std::vector<uint32_t> window = read_back();
  EXPECT_EQ(rgb(window[size_t(19 * 2) * 640]), 0xFFFFFFu);
  EXPECT_EQ(rgb(window[size_t(10 * 2) * 640 + 600]), 0xFFFFFFu);
  EXPECT_EQ(rgb(window[size_t(20 * 2) * 640]), rgb(layer0_pixels()[20 * 320]));
  EXPECT_EQ(rgb(window[size_t(30 * 2) * 640]), rgb(layer0_pixels()[30 * 320]));
  log_capture log;
  r_delete_texture(1);
  r_delete_texture(1);
  EXPECT_EQ(log.text, "r_delete_texture:1\n");
}
