// The output ring and the audio thread on the headless device: queue depth, write position,
// the clock, one sequencer step per finished block, shutdown and failures.
#include "audio_fixture.h"
#include "os_tools/os_mem.h"
#include "support/log_capture.h"

namespace {

TEST_F(AudioTest, OpenQueuesFourSilentBlocksAndLogs) {
  log_capture log;
  start();
  EXPECT_EQ(log.text, "init sounds\nAUDIO == WIN32_AUDIO\n");
  EXPECT_TRUE(audio_device_open());
  EXPECT_TRUE(audio_thread_running());
  EXPECT_EQ(snd_amplitude, 32767);
  EXPECT_EQ(headless_wave_queued(), 4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(headless_wave_queued_header(i), i);
    EXPECT_TRUE(audio_header_in_use(i));
  }
  EXPECT_EQ(audio_headers_in_use(), 4);
  EXPECT_EQ(audio_write_position(), 8816);
  EXPECT_EQ(clock_now(), 0);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(headless_wave_complete_one());
  ASSERT_EQ(heard.size(), 4u * 2204u);
  for (int16_t s : heard) ASSERT_EQ(s, 0);
}

TEST_F(AudioTest, EachCompletionQueuesOneBlockAndAdvancesTheClock) {
  start();
  ASSERT_TRUE(headless_wave_complete_one());
  EXPECT_EQ(audio_write_position(), 11020);
  EXPECT_EQ(clock_now(), 2204);
  EXPECT_EQ(headless_wave_queued(), 4);
  EXPECT_FALSE(audio_header_in_use(0));
  EXPECT_EQ(headless_wave_queued_header(3), 4);  // header 0 was still busy when 4 was queued
  EXPECT_EQ(headless_wave_release_count(), 1);
  ASSERT_TRUE(headless_wave_complete_one());
  EXPECT_EQ(headless_wave_queued_header(3), 0);
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(headless_wave_complete_one());
  EXPECT_EQ(headless_wave_queue_count(), 10);
  EXPECT_EQ(audio_write_position(), 0);  // ten blocks: the ring starts over
  EXPECT_EQ(clock_now(), 6 * 2204);
  EXPECT_EQ(audio_headers_in_use(), 4);
}

// An output without an audio thread (the browser's) runs the same step from its main loop.
TEST_F(AudioTest, TheBlockStepRunsWithoutTheThread) {
  start();
  play(make_song({0}, {test_pattern{}.note(0, 0, 0x47, 2)}));
  audio_finish_block(0);
  audio_finish_block(1);
  EXPECT_EQ(audio_write_position(), 13224);
  EXPECT_EQ(clock_now(), 2 * 2204);
  EXPECT_TRUE(audio_header_in_use(0));  // freed by the first step, taken by the second
  EXPECT_FALSE(audio_header_in_use(1));
  EXPECT_EQ(audio_headers_in_use(), 4);
  EXPECT_EQ(headless_wave_release_count(), 2);
  audio_lock();
  EXPECT_EQ(snd_music.state, SND_PLAYING);  // the second step found two time units elapsed
  EXPECT_TRUE(snd_banks[0][0].active);
  audio_unlock();
  EXPECT_EQ(audio_ring[5 * 2204], 802);  // the block mixed right after the row holds the note
}

TEST_F(AudioTest, TheSequencerStepsOncePerFinishedBlock) {
  start();
  play(make_song({0}, {test_pattern{}.note(0, 0, 0x47, 2).note(0, 1, 0x49, 2)}));
  ASSERT_TRUE(headless_wave_complete_one());
  EXPECT_EQ(snd_music.state, SND_STARTING);  // 0 units since the start
  ASSERT_TRUE(headless_wave_complete_one());
  audio_lock();
  EXPECT_EQ(snd_music.state, SND_PLAYING);
  EXPECT_EQ(snd_music.row, 0);
  EXPECT_TRUE(snd_banks[0][0].active);
  audio_unlock();
  // the block mixed right after the row holds the note; the four before it were silent
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(headless_wave_complete_one());
  ASSERT_EQ(heard.size(), 6u * 2204u);
  for (size_t i = 0; i < 5u * 2204u; ++i) ASSERT_EQ(heard[i], 0) << i;
  EXPECT_EQ(heard[5 * 2204], 802);
  audio_lock();
  EXPECT_EQ(snd_music.row, 4);
  audio_unlock();
}

TEST_F(AudioTest, CloseEndsTheThreadResetsTheDeviceAndChecksTheTables) {
  start();
  play(did_it_bytes());
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(headless_wave_complete_one());
  snd_stop_song(&snd_music);
  snd_free_music();
  const int32_t blocks = os_alloc_count();
  log_capture log;
  snd_deinit();
  EXPECT_EQ(log.text, "deinit sounds\n");
  EXPECT_FALSE(audio_thread_running());
  EXPECT_FALSE(audio_device_open());
  EXPECT_FALSE(headless_wave_is_open());
  EXPECT_EQ(headless_wave_reset_count(), 1);
  EXPECT_EQ(headless_wave_queued(), 0);
  EXPECT_EQ(os_alloc_count(), blocks);
}

TEST_F(AudioTest, CloseAfterTheThreadHasEndedDoesNotSleep) {
  start();
  audio_stop_thread();
  EXPECT_FALSE(audio_thread_running());
  const int32_t sleeps = headless_sleep_count();
  snd_deinit();
  EXPECT_EQ(headless_sleep_count(), sleeps);
}

TEST_F(AudioTest, DeinitWithTablesStillLiveReportsTheLeak) {
  start();
  play(did_it_bytes());
  log_capture log;
  snd_deinit();
  EXPECT_TRUE(log.contains("assert:"));
  snd_free_music();
}

TEST_F(AudioTest, WithoutAThreadNoDeviceIsOpenedAndTheGameRunsSilent) {
  headless_audio_fail_thread(true);
  log_capture log;
  start();
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_FALSE(audio_device_open());
  EXPECT_FALSE(headless_wave_is_open());
  EXPECT_EQ(headless_wave_queued(), 0);
  play(did_it_bytes());  // the calls still work
  snd_stop_song(&snd_music);
  snd_free_music();
  snd_deinit();
  EXPECT_EQ(headless_sleep_count(), 0);
}

TEST_F(AudioTest, WithoutADeviceTheThreadStillEndsAtShutdown) {
  headless_audio_fail_open(true);
  log_capture log;
  start();
  EXPECT_TRUE(log.contains("assert:"));
  EXPECT_TRUE(audio_thread_running());
  EXPECT_EQ(headless_wave_queued(), 0);
  snd_free_music();
  snd_deinit();
  EXPECT_FALSE(audio_thread_running());
}

TEST_F(AudioTest, TheClockMovesBackBeforeItOverflowsAndTheTempoHolds) {
  start();
  play(make_song({0}, {test_pattern{}}));
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(headless_wave_complete_one());
  audio_lock();
  const int32_t shift = 800000;
  const int32_t offset = 1763200000 - 2 * 2204 - snd_clock;
  snd_clock += offset;
  snd_music.last_tick += offset / 1102;
  const int32_t row = snd_music.row;
  audio_unlock();
  for (int i = 0; i < 4; ++i) ASSERT_TRUE(headless_wave_complete_one());
  audio_lock();
  EXPECT_EQ(snd_clock, 1763200000 + 2 * 2204 - shift * 1102);
  EXPECT_EQ(snd_music.row, row + 4);  // one row per block across the move
  audio_unlock();
}

}  // namespace
