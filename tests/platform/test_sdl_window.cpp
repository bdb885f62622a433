// The SDL window and its OpenGL context on SDL's offscreen video driver (no X server):
// sizes written back, a current context offering the buffer-object entry points, the leak
// report at close, and the fullscreen case taking the desktop's size.
#include <gtest/gtest.h>

#include <SDL.h>

#include <cstdlib>
#include <cstring>

#include "graph/g_display.h"
#include "os_tools/os_mem.h"
#include "platform.h"
#include "platform_sdl/sdl_window.h"
#include "support/log_capture.h"

namespace {

g_display requested(bool fullscreen) {
  return g_display{320, 240, 512, 256, 960, 720, 1.0f, 1.0f, 1, uint8_t(fullscreen ? 1 : 0), 0};
}

class SdlWindow : public ::testing::Test {
 protected:
  void SetUp() override { setenv("SDL_VIDEODRIVER", "offscreen", 1); }
  void TearDown() override { sdl_window_teardown(); }
};

TEST_F(SdlWindow, WindowedKeepsTheClientSizeWithACurrentContext) {
  log_capture log;
  g_display display = requested(false);
  ASSERT_TRUE(platform_open_window(&display));
  EXPECT_TRUE(log.contains("PLATFORM SDL\n"));
  EXPECT_EQ(display.window_width, 960);
  EXPECT_EQ(display.window_height, 720);
  EXPECT_EQ(display.fullscreen, 1 - 1);
  using get_string_fn = const unsigned char* (*)(unsigned int);
  auto get_string = reinterpret_cast<get_string_fn>(platform_gl_proc("glGetString"));
  ASSERT_NE(get_string, nullptr);
  EXPECT_NE(get_string(0x1F02 /* GL_VERSION */), nullptr);
  for (const char* name : {"glBufferDataARB", "glBindBuffer", "glGenBuffers", "glActiveTexture"}) {
    EXPECT_NE(platform_gl_proc(name), nullptr) << name;
  }
  platform_swap_buffers();
  platform_close_window(&display);
  EXPECT_FALSE(log.contains("memory leak"));
}

TEST_F(SdlWindow, CloseReportsBlocksStillLive) {
  g_display display = requested(false);
  ASSERT_TRUE(platform_open_window(&display));
  void* first = os_alloc(16);
  void* second = os_alloc(32);
  {
    log_capture log;
    platform_close_window(&display);
    EXPECT_TRUE(log.contains("memory leak : 2 blocks\n"));
    EXPECT_TRUE(log.contains("assert:"));
  }
  os_free(&first);
  os_free(&second);
}

TEST_F(SdlWindow, FullscreenTakesTheDesktopSizeAndGivesTheCursorBack) {
  ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0);
  SDL_DisplayMode desktop;
  ASSERT_EQ(SDL_GetDesktopDisplayMode(0, &desktop), 0);
  g_display display = requested(true);
  ASSERT_TRUE(platform_open_window(&display));
  EXPECT_EQ(display.window_width, desktop.w);
  EXPECT_EQ(display.window_height, desktop.h);
  EXPECT_EQ(display.fullscreen, 1);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
  platform_close_window(&display);
  EXPECT_EQ(display.fullscreen, 0);
  EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
