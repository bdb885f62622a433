// Key translation and counters, the mouse record, and mouse steering.
#include <gtest/gtest.h>

#include "game_double.h"
#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "os_tools/os_keymap.h"
#include "platform_headless/headless_clock.h"
#include "support/log_capture.h"

namespace {

struct Input : ::testing::Test {
  log_capture log;
  void SetUp() override {
    game_double::restart();
    headless_set_time_ms(100);
    ASSERT_TRUE(os_frame_tick());  // game_init and os_reset_input: the display is cached
  }
  void tick() {
    headless_advance_time_ms(10);
    os_frame_tick();
  }
  // Slot 0 held at framebuffer (x, y), then the game's steering call.
  void steer(int32_t x, int32_t y) {
    os_mouse* m = os_get_mouse();
    m->button[0] = 1;
    m->x[0] = x;
    m->y[0] = y;
    os_mouse_to_keys();
  }
  static std::vector<int16_t> arrows() {
    return {os_get_key(OS_KEY_LEFT), os_get_key(OS_KEY_RIGHT), os_get_key(OS_KEY_UP), os_get_key(OS_KEY_DOWN)};
  }
};

using V = std::vector<int16_t>;

TEST_F(Input, KeyMapIsSixteenPairsInSearchOrder) {
  int32_t count = 0;
  const uint32_t* map = platform_get_key_map(&count);
  ASSERT_EQ(count, 32);
  const uint32_t expected[32] = {0x25, 1,   0x27, 2,   0x26, 3,   0x28, 4,   0x2E, 5,   0x70,
                                 255,  0x71, 254, 0x72, 253, 0x73, 252, 0x74, 251, 0x75, 250,
                                 0x76, 249, 0x77, 248, 0x78, 247, 0x11, 246, 0x10, 245};
  for (int k = 0; k < 32; ++k) EXPECT_EQ(map[k], expected[k]) << "value " << k;
}

TEST_F(Input, VirtualKeysTranslateAndFold) {
  struct {
    uint32_t vk, game;
  } cases[] = {{0x25, 1},    {0x27, 2},    {0x26, 3},    {0x28, 4},    {0x2E, 5},    {0x70, 255},
               {0x78, 247},  {0x11, 246},  {0x10, 245},  {0x41, 0x41}, {0x61, 0x41}, {0x7A, 0x5A},
               {0x79, 0x59}, {0x6F, 0x4F}, {0x60, 0x60}, {0x7B, 0x7B}, {0x1B, 0x1B}, {0x20, 0x20},
               {0x0D, 0x0D}, {0x30, 0x30}};
  for (auto c : cases) {
    os_key_event(c.vk, 1);
    EXPECT_EQ(os_get_key(c.game), 1) << std::hex << c.vk;
    EXPECT_EQ(os_get_last_key(), c.game) << std::hex << c.vk;
    os_key_event(c.vk, 0);
    EXPECT_EQ(os_get_key(c.game), 0) << std::hex << c.vk;
  }
  // A translated key leaves its own virtual-key counter alone.
  os_key_event(0x25, 1);
  EXPECT_EQ(os_get_key(0x25), 0);
}

TEST_F(Input, KeypadOneAndTheAKeyShareOneCounter) {
  os_key_event(0x41, 1);
  EXPECT_EQ(os_keys_held(), 1);
  os_key_event(0x61, 1);  // keypad 1: already down under 0x41
  EXPECT_EQ(os_keys_held(), 1);
  os_key_event(0x61, 0);
  EXPECT_EQ(os_get_key(0x41), 0);
  EXPECT_EQ(os_keys_held(), 0);
}

TEST_F(Input, AutoRepeatAndStrayKeyUpChangeNothing) {
  os_key_event(0x25, 1);
  tick();
  tick();
  EXPECT_EQ(os_get_key(OS_KEY_LEFT), 3);
  os_key_event(0x41, 1);
  os_key_event(0x25, 1);  // auto-repeat of the held left arrow
  EXPECT_EQ(os_get_key(OS_KEY_LEFT), 3);
  EXPECT_EQ(os_get_last_key(), 0x41u);
  EXPECT_EQ(os_keys_held(), 2);
  os_key_event(0x42, 0);  // never went down
  EXPECT_EQ(os_keys_held(), 2);
  os_key_event(0x25, 0);
  EXPECT_EQ(os_get_key(OS_KEY_LEFT), 0);
  EXPECT_EQ(os_keys_held(), 1);
  os_key_event(0x25, 0);
  EXPECT_EQ(os_keys_held(), 1);
  // The last key stays until the game clears it.
  EXPECT_EQ(os_get_last_key(), 0x41u);
  os_set_last_key(0);
  EXPECT_EQ(os_get_last_key(), 0u);
}

TEST_F(Input, FocusLossLetsGoOfHeldKeysAndTheButton) {
  os_key_event(0x27, 1);  // right arrow held when the window loses the focus
  os_key_event(0x41, 1);
  os_mouse_button(1);
  tick();
  os_release_input();
  EXPECT_EQ(os_keys_held(), 0);
  EXPECT_EQ(os_get_mouse()->button[0], 0);
  tick();
  tick();
  EXPECT_EQ(os_get_key(OS_KEY_RIGHT), 0);
  EXPECT_EQ(os_get_key(0x41), 0);
  EXPECT_EQ(os_get_last_key(), 0x41u);
  // The key-up that went to the other window arrives late or never; pressed again after
  // coming back, the key starts afresh.
  os_key_event(0x27, 0);
  EXPECT_EQ(os_keys_held(), 0);
  os_key_event(0x27, 1);
  tick();
  EXPECT_EQ(os_get_key(OS_KEY_RIGHT), 2);
  EXPECT_EQ(os_keys_held(), 1);
  os_release_input();
  // A recording writes the release as key-ups of the held game codes: each one, read as a
  // virtual-key code, must land on the same counter.
  for (uint32_t vk = 1; vk < 256; ++vk) {
    os_key_event(vk, 1);
    const uint32_t code = os_get_last_key();
    os_release_input();
    os_key_event(code, 1);
    EXPECT_EQ(os_get_key(code), 1) << std::hex << vk;
    os_key_event(code, 0);
    EXPECT_EQ(os_keys_held(), 0) << std::hex << vk;
  }
}

TEST_F(Input, KeyCodesOutsideTheTableAreRefused) {
  EXPECT_EQ(os_get_key(256), 0);
  EXPECT_TRUE(log.contains("assert:..\\..\\src\\os_tools"));
  log.text.clear();
  os_key_event(0x1234, 1);
  EXPECT_EQ(os_keys_held(), 0);
  EXPECT_TRUE(log.contains("assert:"));
}

TEST_F(Input, ResetClearsCountersAndMouseButNotTheRest) {
  os_key_event(0x41, 1);
  os_get_mouse()->button[0] = 5;
  os_get_mouse()->x[2] = 7;
  os_reset_input();
  EXPECT_EQ(os_get_key(0x41), 0);
  EXPECT_EQ(os_get_mouse()->button[0], 0);
  EXPECT_EQ(os_get_mouse()->x[2], 0);
  EXPECT_EQ(os_get_last_key(), 0x41u);
  EXPECT_EQ(os_keys_held(), 1);
}

// The pointer lands on the picture's own pixels, between whatever bars the window has (in
// fullscreen on a wide screen too); in the default 960 x 720 window that is the whole window.
TEST_F(Input, PointerMapsOntoThePictureBetweenItsBars) {
  struct point_case {
    int32_t window_w, window_h, x, y, fb_x, fb_y;
  };
  const point_case cases[] = {
      {960, 720, 0, 0, 0, 0},  // no bars
      {960, 720, 959, 719, 319, 239},
      {960, 720, 480, 360, 160, 120},
      {960, 720, -4, -2, -2, -1},  // outside the window: no clamping
      {960, 720, 2000000000, 0, 666666666, 0},  // far outside: no overflow
      {1920, 1080, 500, 540, 57, 120},  // fullscreen 16:9: picture 1440 wide from x 240
      {1920, 1080, 239, 0, -1, 0},      // the left bar
      {1600, 1000, 0, 500, -32, 120},   // picture 1333 wide from x 133
      {1600, 1000, 133, 0, 0, 0},
      {1600, 1000, 1465, 999, 319, 239},
      {1600, 1000, 1466, 0, 320, 0},    // the right bar
      {640, 960, 320, 239, 160, -1},    // picture 480 high from y 240: the top bar
      {640, 960, 320, 240, 160, 0},
  };
  for (const point_case& c : cases) {
    g_display& d = game_double::display;
    d.window_width = c.window_w;
    d.window_height = c.window_h;
    const float sx = float(c.window_w) / 320.0f, sy = float(c.window_h) / 240.0f;
    d.x_scale = sx < sy ? 1.0f : sy / sx;
    d.y_scale = sx < sy ? sx / sy : 1.0f;
    os_set_mouse_pos(0, c.x);
    os_set_mouse_pos(1, c.y);
    EXPECT_EQ(os_get_mouse()->x[0], c.fb_x) << c.window_w << "x" << c.window_h << " at " << c.x << "," << c.y;
    EXPECT_EQ(os_get_mouse()->y[0], c.fb_y) << c.window_w << "x" << c.window_h << " at " << c.x << "," << c.y;
  }
  EXPECT_EQ(os_get_mouse()->x[1], 0);
}

TEST_F(Input, PointerScalingNeedsTheDisplayAndAWindowSize) {
  os_set_mouse_pos(0, 480);
  game_double::display.window_width = 0;
  os_set_mouse_pos(0, 900);
  os_set_mouse_pos(1, 360);
  EXPECT_EQ(os_get_mouse()->x[0], 160);
  EXPECT_EQ(os_get_mouse()->y[0], 120);

  game_double::restart();
  game_double::display_known = false;
  ASSERT_TRUE(os_frame_tick());
  os_set_mouse_pos(0, 480);
  EXPECT_EQ(os_get_mouse()->x[0], 0);
}

TEST_F(Input, HeldButtonSteersByScreenRegion) {
  steer(10, 120);
  EXPECT_EQ(arrows(), (V{1, 0, 0, 0}));
  EXPECT_EQ(os_get_last_key(), OS_KEY_LEFT);
  tick();
  EXPECT_EQ(arrows(), (V{2, 0, 0, 0}));
  steer(160, 120);  // the middle keeps what is pressed
  EXPECT_EQ(arrows(), (V{2, 0, 0, 0}));
  steer(160, 20);
  EXPECT_EQ(arrows(), (V{0, 0, 1, 0}));
  steer(300, 200);  // a corner: the vertical band wins
  EXPECT_EQ(arrows(), (V{0, 0, 0, 1}));
  steer(300, 120);
  EXPECT_EQ(arrows(), (V{0, 1, 0, 0}));
  EXPECT_EQ(os_keys_held(), 1);
  os_get_mouse()->button[0] = 0;
  os_mouse_to_keys();
  EXPECT_EQ(arrows(), (V{0, 0, 0, 0}));
  EXPECT_EQ(os_keys_held(), 0);
}

TEST_F(Input, SteeringBandEdges) {
  struct {
    int32_t x, y;
    V keys;
  } cases[] = {{160, 59, {0, 0, 1, 0}}, {160, 60, {0, 0, 0, 0}}, {160, 180, {0, 0, 0, 0}},
               {160, 181, {0, 0, 0, 1}}, {79, 120, {1, 0, 0, 0}},  {80, 120, {0, 0, 0, 0}},
               {240, 120, {0, 0, 0, 0}}, {241, 120, {0, 1, 0, 0}}, {10, 10, {0, 0, 1, 0}}};
  for (const auto& c : cases) {
    steer(c.x, c.y);
    EXPECT_EQ(arrows(), c.keys) << c.x << "," << c.y;
    os_get_mouse()->button[0] = 0;
    os_mouse_to_keys();
  }
}

TEST_F(Input, SecondSlotSteersAndIdleReleaseNeedsBothSlots) {
  os_mouse* m = os_get_mouse();
  m->button[1] = 3;
  m->y[1] = 230;
  os_mouse_to_keys();
  EXPECT_EQ(arrows(), (V{0, 0, 0, 1}));
  m->button[1] = 0;
  m->button[2] = 1;  // the third slot never steers
  m->y[2] = 10;
  os_mouse_to_keys();
  EXPECT_EQ(arrows(), (V{0, 0, 0, 0}));
}

TEST_F(Input, IdleMouseLeavesKeyboardArrowsAlone) {
  os_key_event(0x27, 1);
  os_mouse_to_keys();
  EXPECT_EQ(arrows(), (V{0, 1, 0, 0}));
  steer(160, 120);  // a press that steers nowhere still marks the mouse as steering
  os_get_mouse()->button[0] = 0;
  os_mouse_to_keys();
  EXPECT_EQ(arrows(), (V{0, 0, 0, 0}));
}

}  // namespace
