// SDL keys become the virtual-key codes a Windows key message would carry, and through the
// key map the game codes the game reads.
#include <gtest/gtest.h>

#include "os_tools/os_clock.h"
#include "os_tools/os_input.h"
#include "platform_sdl/sdl_keys.h"

namespace {

constexpr uint16_t NUM = KMOD_NUM;

TEST(SdlKeys, GameKeysTranslateToTheirVirtualKeys) {
  EXPECT_EQ(sdl_key_to_vk(SDLK_LEFT, 0), 0x25u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_UP, 0), 0x26u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_RIGHT, 0), 0x27u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_DOWN, 0), 0x28u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_ESCAPE, 0), 0x1Bu);
  EXPECT_EQ(sdl_key_to_vk(SDLK_RETURN, 0), 0x0Du);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_ENTER, NUM), 0x0Du);
  EXPECT_EQ(sdl_key_to_vk(SDLK_SPACE, 0), 0x20u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_DELETE, 0), 0x2Eu);
  EXPECT_EQ(sdl_key_to_vk(SDLK_LCTRL, 0), 0x11u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_RCTRL, 0), 0x11u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_LSHIFT, 0), 0x10u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_RSHIFT, 0), 0x10u);
}

TEST(SdlKeys, LettersAreUpperCaseAndDigitsAscii) {
  EXPECT_EQ(sdl_key_to_vk(SDLK_a, 0), 0x41u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_m, KMOD_SHIFT), 0x4Du);
  EXPECT_EQ(sdl_key_to_vk(SDLK_z, 0), 0x5Au);
  EXPECT_EQ(sdl_key_to_vk(SDLK_0, 0), 0x30u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_9, 0), 0x39u);
}

TEST(SdlKeys, FunctionKeysSkipTheSystemKeyF10) {
  EXPECT_EQ(sdl_key_to_vk(SDLK_F1, 0), 0x70u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_F9, 0), 0x78u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_F10, 0), 0u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_F11, 0), 0x7Au);
  EXPECT_EQ(sdl_key_to_vk(SDLK_F12, 0), 0x7Bu);
}

TEST(SdlKeys, KeypadFollowsNumLock) {
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_0, NUM), 0x60u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_1, NUM), 0x61u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_9, NUM), 0x69u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_MULTIPLY, 0), 0x6Au);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_PLUS, 0), 0x6Bu);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_MINUS, 0), 0x6Du);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_PERIOD, NUM), 0x6Eu);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_DIVIDE, 0), 0x6Fu);
  // Num Lock off: the keypad is a second set of cursor keys.
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_4, 0), 0x25u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_8, 0), 0x26u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_6, 0), 0x27u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_2, 0), 0x28u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_KP_PERIOD, 0), 0x2Eu);
}

TEST(SdlKeys, AltAndUnknownKeysNeverReachTheGame) {
  EXPECT_EQ(sdl_key_to_vk(SDLK_LALT, 0), 0u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_RALT, 0), 0u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_F13, 0), 0u);
  EXPECT_EQ(sdl_key_to_vk(SDLK_MENU, 0), 0u);
  EXPECT_FALSE(sdl_key_down_reaches_game(KMOD_LALT));
  EXPECT_FALSE(sdl_key_down_reaches_game(KMOD_RALT | KMOD_NUM));
  EXPECT_TRUE(sdl_key_down_reaches_game(KMOD_SHIFT | KMOD_CTRL | KMOD_NUM));
}

// The whole way from an SDL key to the counter the game reads.
class SdlKeysToGame : public ::testing::Test {
 protected:
  void SetUp() override { os_reset_input(); }
  void press(SDL_Keycode sym, uint16_t mod) { os_key_event(sdl_key_to_vk(sym, mod), 1); }
  void release(SDL_Keycode sym, uint16_t mod) { os_key_event(sdl_key_to_vk(sym, mod), 0); }
};

TEST_F(SdlKeysToGame, ArrowsBecomeGameCodesOneToFour) {
  press(SDLK_LEFT, 0);
  press(SDLK_RIGHT, 0);
  press(SDLK_UP, 0);
  press(SDLK_DOWN, 0);
  EXPECT_EQ(os_get_key(OS_KEY_LEFT), 1);
  EXPECT_EQ(os_get_key(OS_KEY_RIGHT), 1);
  EXPECT_EQ(os_get_key(OS_KEY_UP), 1);
  EXPECT_EQ(os_get_key(OS_KEY_DOWN), 1);
  EXPECT_EQ(os_get_key(0x25), 0);  // the virtual key itself stays untouched
  release(SDLK_RIGHT, 0);
  EXPECT_EQ(os_get_key(OS_KEY_RIGHT), 0);
  EXPECT_EQ(os_keys_held(), 3);
}

TEST_F(SdlKeysToGame, LetterKeypadAndFunctionKeysLandWhereWindowsPutsThem) {
  press(SDLK_a, 0);
  EXPECT_EQ(os_get_key(0x41), 1);
  release(SDLK_a, 0);
  press(SDLK_KP_1, NUM);  // keypad 1 folds onto 'A' as on Windows
  EXPECT_EQ(os_get_key(0x41), 1);
  press(SDLK_F1, 0);
  EXPECT_EQ(os_get_key(255), 1);
  press(SDLK_RCTRL, 0);
  EXPECT_EQ(os_get_key(246), 1);
  press(SDLK_ESCAPE, 0);
  EXPECT_EQ(os_get_key(OS_KEY_ESCAPE), 1);
  EXPECT_EQ(os_get_last_key(), OS_KEY_ESCAPE);
}

}  // namespace
