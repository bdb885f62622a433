// The pad as the keyboard: a table of pad states in a row and the key events each one sends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pad/pad.h"

namespace {

std::vector<std::string> sent;

void sink(uint32_t vk, int32_t down) { sent.push_back(std::to_string(vk) + (down ? "+" : "-")); }

TEST(Pad, StatesInARowSendTheChangesAsKeys) {
  using keys = std::vector<std::string>;
  struct step {
    pad_state state;
    keys events;
  };
  const int32_t D = PAD_DEAD_ZONE;
  const step steps[] = {
      {{0, 0, 0}, {}},
      {{PAD_DOWN, 0, 0}, {"40+"}},                        // d-pad down: the down arrow
      {{PAD_DOWN, 0, 0}, {}},                             // held: nothing new
      {{PAD_DOWN | PAD_RIGHT, 0, 0}, {"39+"}},
      {{0, 0, 0}, {"39-", "40-"}},                        // let go: both released
      {{0, -D, D}, {}},                                   // inside the dead zone
      {{0, -D - 1, D + 1}, {"37+", "40+"}},               // past it: left and down
      {{0, -32768, 0}, {"40-"}},                          // back to the middle: down released
      {{PAD_LEFT, 0, 0}, {}},                             // stick let go, d-pad still left
      {{0, 0, -32768}, {"37-", "38+"}},
      {{0, 32767, 32767}, {"39+", "38-", "40+"}},
      {{PAD_A, 0, 0}, {"39-", "40-", "32+"}},             // A: Space
      {{PAD_START | PAD_Y, 0, 0}, {}},                    // still Space
      {{PAD_X, 0, 0}, {}},
      {{PAD_B | PAD_BACK, 0, 0}, {"27+"}},                // Back: Escape
      {{PAD_UP, 0, 0}, {"38+", "32-", "27-"}},
      {{0, 0, 0}, {"38-"}},                               // the last pad gone: all released
  };
  pad_restart();
  int32_t i = 0;
  for (const step& s : steps) {
    sent.clear();
    pad_update(&s.state, sink);
    EXPECT_EQ(sent, s.events) << "step " << i;
    ++i;
  }
}

TEST(Pad, PadsMergeButtonsAndTheFurthestStick) {
  pad_state merged = {0, 0, 0};
  const pad_state first = {PAD_A, 9000, -20000};
  const pad_state second = {PAD_LEFT, -12000, 100};
  pad_merge(&merged, &first);
  pad_merge(&merged, &second);
  EXPECT_EQ(merged.buttons, uint32_t(PAD_A | PAD_LEFT));
  EXPECT_EQ(merged.stick_x, -12000);
  EXPECT_EQ(merged.stick_y, -20000);
}

}  // namespace
