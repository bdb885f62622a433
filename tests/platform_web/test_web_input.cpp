// The browser's keys become the virtual-key codes a Windows key message would carry (the key
// map's own tests take it from there), and the page's events reach the game one key event
// per pass with nothing left held.
#include <gtest/gtest.h>

#include <vector>

#include "platform_web/web_input.h"
#include "platform_web/web_keys.h"
#include "platform_web/web_pad.h"

namespace {

TEST(WebKeys, CodesBecomeVirtualKeys) {
  struct {
    const char* code;
    const char* key;
    uint32_t vk;
  } const cases[] = {
      {"ArrowLeft", "ArrowLeft", 0x25}, {"ArrowUp", "ArrowUp", 0x26},   {"ArrowRight", "ArrowRight", 0x27},
      {"ArrowDown", "ArrowDown", 0x28}, {"Escape", "Escape", 0x1B},     {"Space", " ", 0x20},
      {"Enter", "Enter", 0x0D},         {"NumpadEnter", "Enter", 0x0D}, {"ShiftRight", "Shift", 0x10},
      {"ControlLeft", "Control", 0x11}, {"KeyA", "q", 0x41},            {"KeyZ", "Z", 0x5A},
      {"Digit0", "0", 0x30},            {"Digit9", "(", 0x39},          {"F1", "F1", 0x70},
      {"F9", "F9", 0x78},               {"F12", "F12", 0x7B},           {"Comma", ",", 0xBC},
      // Num Lock on: the keypad types digits; off: it is the cursor block, as on Windows.
      {"Numpad4", "4", 0x64},           {"Numpad4", "ArrowLeft", 0x25}, {"Numpad5", "Clear", 0x0C},
      {"NumpadDecimal", ",", 0x6E},     {"NumpadDecimal", "Delete", 0x2E},
      // System keys on Windows, and keys with no code, never reach the game.
      {"F10", "F10", 0},                {"AltLeft", "Alt", 0},          {"MetaLeft", "Meta", 0},
      {"F13", "F13", 0},                {"KeyAB", "", 0},               {"Digit", "", 0},
      {"", "", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(web_key_to_vk(c.code, c.key), c.vk) << c.code << " / " << c.key;
  EXPECT_EQ(web_key_to_vk(nullptr, nullptr), 0u);
  EXPECT_EQ(web_key_to_vk("Numpad7", nullptr), 0x24u);
}

TEST(WebKeys, ThePageKeepsScrollingKeysButLeavesTheBrowsersOwn) {
  EXPECT_TRUE(web_key_claimed(0x25, false, false));   // arrows would scroll
  EXPECT_TRUE(web_key_claimed(0x20, false, false));   // Space would scroll
  EXPECT_TRUE(web_key_claimed(0x08, false, false));   // Backspace would go back
  EXPECT_FALSE(web_key_claimed(0x74, false, false));  // F5 reloads
  EXPECT_FALSE(web_key_claimed(0x52, true, false));   // Control+R reloads
  EXPECT_FALSE(web_key_claimed(0x43, false, true));   // Command+C copies
  EXPECT_FALSE(web_key_claimed(0, false, false));
  EXPECT_TRUE(web_key_down_reaches_game(false));
  EXPECT_FALSE(web_key_down_reaches_game(true));
}

struct WebInput : ::testing::Test {
  void SetUp() override { web_input_reset(); }
  static std::vector<web_key_event> drain() {
    std::vector<web_key_event> out;
    web_key_event e;
    while (web_input_next_key(&e)) out.push_back(e);
    return out;
  }
};

TEST_F(WebInput, RepeatsAreDroppedAndEventsComeOutInOrder) {
  web_input_key(0x25, true);
  web_input_key(0x25, true);  // auto-repeat
  web_input_key(0x20, true);
  web_input_key(0x25, false);
  web_input_key(0x20, false);
  const std::vector<web_key_event> got = drain();
  ASSERT_EQ(got.size(), 4u);
  EXPECT_TRUE(got[0].vk == 0x25 && got[0].down);
  EXPECT_TRUE(got[1].vk == 0x20 && got[1].down);
  EXPECT_TRUE(got[2].vk == 0x25 && !got[2].down);
  EXPECT_TRUE(got[3].vk == 0x20 && !got[3].down);
}

TEST_F(WebInput, LosingFocusReleasesWhatIsHeld) {
  web_input_key(0x27, true);
  web_input_key(0x41, true);
  web_input_key(0x41, false);
  web_input_mouse_button(true);
  drain();
  web_input_focus_lost();
  const std::vector<web_key_event> got = drain();
  ASSERT_EQ(got.size(), 1u);
  EXPECT_TRUE(got[0].vk == 0x27 && !got[0].down);
  EXPECT_FALSE(web_input_sample_mouse().held);
  web_input_key(0x27, true);  // held again after focus came back: a new down
  EXPECT_EQ(drain().size(), 1u);
}

TEST_F(WebInput, AClickBetweenTwoSamplesCountsOnce) {
  web_input_mouse_move(480, 360);
  web_input_mouse_button(true);
  web_input_mouse_button(false);
  const web_mouse_sample first = web_input_sample_mouse();
  EXPECT_TRUE(first.held);
  EXPECT_EQ(first.x, 480);
  EXPECT_EQ(first.y, 360);
  EXPECT_FALSE(web_input_sample_mouse().held);
}

TEST_F(WebInput, AFullQueueDropsDownsButNeverAnUp) {
  web_input_key(0x41, true);  // held while the queue fills
  for (int i = 0; i < 127; ++i) {
    web_input_key(0x42, true);
    web_input_key(0x42, false);
  }
  web_input_key(0x43, true);   // the 256th event: still taken
  web_input_key(0x44, true);   // half full: dropped, so D is not held
  web_input_key(0x41, false);  // the up of a held key always fits
  web_input_focus_lost();      // releases C
  const std::vector<web_key_event> got = drain();
  ASSERT_EQ(got.size(), 258u);
  EXPECT_TRUE(got[255].vk == 0x43 && got[255].down);
  EXPECT_TRUE(got[256].vk == 0x41 && !got[256].down);
  EXPECT_TRUE(got[257].vk == 0x43 && !got[257].down);
}

// The first finger is the mouse; a second one meanwhile (a thumb on the pad) moves nothing
// and lifting it lets nothing go; losing the focus lets the finger go too.
TEST_F(WebInput, TheFirstFingerIsTheMouse) {
  EXPECT_TRUE(web_input_touch_start(7, 900, 360));
  EXPECT_FALSE(web_input_touch_start(8, 10, 10));
  EXPECT_FALSE(web_input_touch_move(8, 20, 20));
  EXPECT_TRUE(web_input_touch_move(7, 930, 300));
  EXPECT_FALSE(web_input_touch_end(8));
  web_mouse_sample held = web_input_sample_mouse();
  EXPECT_TRUE(held.held);
  EXPECT_EQ(held.x, 930);
  EXPECT_EQ(held.y, 300);
  EXPECT_TRUE(web_input_touch_end(7));
  EXPECT_FALSE(web_input_sample_mouse().held);
  // A tap between two samples still counts once, as a click does.
  EXPECT_TRUE(web_input_touch_start(9, 100, 100));
  EXPECT_TRUE(web_input_touch_end(9));
  EXPECT_TRUE(web_input_sample_mouse().held);
  EXPECT_FALSE(web_input_sample_mouse().held);
  EXPECT_TRUE(web_input_touch_start(10, 5, 5));
  EXPECT_TRUE(web_input_focused());
  web_input_focus_lost();
  EXPECT_FALSE(web_input_focused());
  EXPECT_FALSE(web_input_sample_mouse().held);
  EXPECT_FALSE(web_input_touch_end(10));
  EXPECT_TRUE(web_input_touch_start(11, 5, 5));  // the next finger is the mouse again
  web_input_focus_gained();
  EXPECT_TRUE(web_input_focused());
}

// The standard mapping's buttons and the left stick, in the desktop's axis units.
TEST(WebPad, ReadingsBecomePadStates) {
  struct {
    web_pad_reading reading;
    pad_state state;
  } const cases[] = {
      {{0, 0.0, 0.0}, {0, 0, 0}},
      {{WEB_PAD_UP | WEB_PAD_DOWN | WEB_PAD_LEFT | WEB_PAD_RIGHT, 0, 0}, {PAD_UP | PAD_DOWN | PAD_LEFT | PAD_RIGHT, 0, 0}},
      {{WEB_PAD_A | WEB_PAD_B | WEB_PAD_X | WEB_PAD_Y, 0, 0}, {PAD_A | PAD_B | PAD_X | PAD_Y, 0, 0}},
      {{WEB_PAD_START | WEB_PAD_BACK, 0, 0}, {PAD_START | PAD_BACK, 0, 0}},
      {{0xFFFF00F0u & ~(WEB_PAD_BACK | WEB_PAD_START | WEB_PAD_UP | WEB_PAD_DOWN | WEB_PAD_LEFT | WEB_PAD_RIGHT), 0, 0},
       {0, 0, 0}},  // shoulders, triggers, stick presses, the home button: no key
      {{0, 1.0, -1.0}, {0, 32767, -32767}},
      {{0, -1.5, 2.0}, {0, -32768, 32767}},
      {{0, 0.25, -0.2441}, {0, 8192, -7998}},  // 0.25 is past the dead zone (8000), -0.2441 inside
      {{0, 0.0 / 0.0, 0.5}, {0, 0, 16384}},
  };
  for (const auto& c : cases) {
    const pad_state got = web_pad_state(c.reading);
    EXPECT_EQ(got.buttons, c.state.buttons) << c.reading.pressed;
    EXPECT_EQ(got.stick_x, c.state.stick_x) << c.reading.axis_x;
    EXPECT_EQ(got.stick_y, c.state.stick_y) << c.reading.axis_y;
  }
}

}  // namespace
