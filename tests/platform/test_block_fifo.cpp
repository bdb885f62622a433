// Per-block completions from the SDL device's shrinking byte queue.
#include <gtest/gtest.h>

#include "audio_sdl/sdl_block_fifo.h"

namespace {

constexpr uint32_t BLOCK = 4408;  // 2204 samples of 16 bits

class BlockFifo : public ::testing::Test {
 protected:
  void SetUp() override {
    sdl_fifo_clear(&fifo);
    for (int32_t h = 0; h < 4; ++h) ASSERT_TRUE(sdl_fifo_push(&fifo, h, BLOCK));
  }
  sdl_block_fifo fifo;
};

TEST_F(BlockFifo, ABlockFinishesOnlyWhenTakenWhole) {
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 4 * BLOCK), -1);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 3 * BLOCK + 1), -1);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 3 * BLOCK), 0);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 3 * BLOCK), -1);
  EXPECT_EQ(fifo.count, 3);
}

TEST_F(BlockFifo, SeveralFinishedBlocksComeOneAtATimeInQueueOrder) {
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), 0);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), 1);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), 2);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), 3);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), -1);
}

TEST_F(BlockFifo, BlocksQueuedLaterAreCountedFromTheirOwnEnd) {
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 3 * BLOCK), 0);
  ASSERT_TRUE(sdl_fifo_push(&fifo, 7, BLOCK));  // 4 blocks waiting again
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 4 * BLOCK), -1);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 3 * BLOCK), 1);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, BLOCK + 10), 2);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, BLOCK), 3);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 1), -1);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), 7);
}

TEST_F(BlockFifo, AQueueLargerThanWhatWasPushedMeansNothingWasTaken) {
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 100 * BLOCK), -1);
  EXPECT_EQ(fifo.count, 4);
}

TEST_F(BlockFifo, HoldsTenBlocksAndRefusesTheEleventh) {
  for (int32_t h = 4; h < 10; ++h) EXPECT_TRUE(sdl_fifo_push(&fifo, h, BLOCK));
  EXPECT_FALSE(sdl_fifo_push(&fifo, 10, BLOCK));
  EXPECT_EQ(fifo.pushed, 10u * BLOCK);  // the refused block is not counted
  for (int32_t h = 0; h < 10; ++h) EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), h);
}

TEST_F(BlockFifo, KeepsOrderAcrossManyTurnsOfTheRing) {
  // Steady play: each finished block is replaced by one new one, 40 times round.
  uint32_t waiting = 4 * BLOCK;
  for (int32_t n = 0; n < 40; ++n) {
    waiting -= BLOCK;
    ASSERT_EQ(sdl_fifo_pop_finished(&fifo, waiting), n % 10);
    ASSERT_TRUE(sdl_fifo_push(&fifo, (n + 4) % 10, BLOCK));
    waiting += BLOCK;
  }
  EXPECT_EQ(fifo.count, 4);
}

TEST_F(BlockFifo, ClearForgetsEverything) {
  sdl_fifo_clear(&fifo);
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), -1);
  EXPECT_EQ(fifo.pushed, 0u);
  ASSERT_TRUE(sdl_fifo_push(&fifo, 5, BLOCK));
  EXPECT_EQ(sdl_fifo_pop_finished(&fifo, 0), 5);
}

}  // namespace
