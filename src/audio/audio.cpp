// The output ring, the header table and the audio thread.
#include "audio/audio.h"

#include "os_tools/os_log.h"
#include "platform.h"
#include "sound/snd_song.h"
#include "sound/snd_voice.h"

int16_t audio_ring[AUDIO_RING_SAMPLES];
int32_t snd_clock;

// After about 22 hours the clock is moved back by a whole number of sequencer time units,
// and the playing songs' row times with it, so the signed count never overflows and the
// music keeps its tempo across the move.
static constexpr int32_t AUDIO_CLOCK_LIMIT = 1600000 * SND_TIME_UNIT;  // 1,763,200,000 samples
static constexpr int32_t AUDIO_CLOCK_SHIFT_UNITS = 800000;
static_assert(AUDIO_CLOCK_LIMIT % AUDIO_BLOCK_SAMPLES == 0);
static_assert(AUDIO_BLOCK_SAMPLES == SND_BLOCK && AUDIO_BLOCK_SAMPLES == 2 * SND_TIME_UNIT);

static struct {
  uint8_t header_in_use[AUDIO_BLOCKS];
  int32_t write_position;
  bool lock_ready;     // the lock exists (main thread only)
  bool device_open;    // main thread only
  bool thread_running;  // under the lock: set before the thread starts, cleared as it ends
} audio;

void audio_lock() {
  if (audio.lock_ready) platform_audio_lock();
}

void audio_unlock() {
  if (audio.lock_ready) platform_audio_unlock();
}

// Mixes and queues up to n blocks; the lock is held.
static void audio_write_locked(int32_t n) {
  int32_t done = 0;
  for (int32_t h = 0; h < AUDIO_BLOCKS && done < n; ++h) {
    if (audio.header_in_use[h]) continue;
    audio.header_in_use[h] = 1;
    int16_t* block = audio_ring + audio.write_position;
    snd_mix(block);
    audio.write_position += AUDIO_BLOCK_SAMPLES;
    if (audio.write_position >= AUDIO_RING_SAMPLES) audio.write_position = 0;
    platform_wave_queue(h, block, AUDIO_BLOCK_SAMPLES);
    done++;
  }
}

void audio_write(int32_t n) {
  OS_ASSERT(n >= 1);
  audio_lock();
  audio_write_locked(n);
  audio_unlock();
}

static void audio_advance_clock() {
  snd_clock += AUDIO_BLOCK_SAMPLES;
  if (snd_clock >= AUDIO_CLOCK_LIMIT) {
    snd_clock -= AUDIO_CLOCK_SHIFT_UNITS * SND_TIME_UNIT;
    for (snd_song* song : snd_slots)
      if (song != nullptr) song->last_tick -= AUDIO_CLOCK_SHIFT_UNITS;
  }
}

void audio_finish_block(int32_t finished) {
  audio_lock();
  snd_tick_all();
  audio_write_locked(1);
  audio_advance_clock();
  if (finished >= 0 && finished < AUDIO_BLOCKS) {
    platform_wave_release(finished);
    audio.header_in_use[finished] = 0;
  }
  audio_unlock();
}

void audio_thread() {
  for (;;) {
    const int32_t finished = platform_audio_wait();
    if (finished < 0) {
      platform_audio_lock();
      audio.thread_running = false;
      platform_audio_unlock();
      return;
    }
    audio_finish_block(finished);
  }
}

void audio_open() {
  os_log("AUDIO == WIN32_AUDIO\n");
  for (uint8_t& h : audio.header_in_use) h = 0;
  audio.write_position = 0;
  snd_clock = 0;
  if (!audio.lock_ready) {
    platform_audio_lock_init();
    audio.lock_ready = true;
  }
  OS_ASSERT(!audio.device_open);
  audio_lock();
  audio.thread_running = true;
  audio_unlock();
  if (!platform_audio_start_thread(&audio_thread)) {
    audio_lock();
    audio.thread_running = false;
    audio_unlock();
    OS_ASSERT(!"audio thread");
    return;
  }
  if (!platform_wave_open()) {
    OS_ASSERT(!"wave device");
    return;
  }
  audio.device_open = true;
  audio_write(AUDIO_QUEUED);
}

void audio_stop_thread() {
  OS_ASSERT(audio.device_open);
  if (!audio.lock_ready) return;
  platform_audio_lock();
  bool running = audio.thread_running;
  platform_audio_unlock();
  if (!running) return;
  platform_audio_post_quit();
  for (;;) {
    platform_audio_lock();
    running = audio.thread_running;
    platform_audio_unlock();
    if (!running) break;
    platform_sleep_ms(1);
  }
}

void audio_close() {
  OS_ASSERT(audio.device_open);
  audio_stop_thread();
  const bool reset = platform_wave_reset();
  OS_ASSERT(reset);
  platform_wave_close();
  audio.device_open = false;
  for (uint8_t& h : audio.header_in_use) h = 0;
  if (audio.lock_ready) {
    platform_audio_lock_delete();
    audio.lock_ready = false;
  }
}

int32_t audio_write_position() { return audio.write_position; }
bool audio_header_in_use(int32_t h) { return h >= 0 && h < AUDIO_BLOCKS && audio.header_in_use[h]; }
int32_t audio_headers_in_use() {
  int32_t n = 0;
  for (uint8_t h : audio.header_in_use) n += h;
  return n;
}
bool audio_device_open() { return audio.device_open; }
bool audio_thread_running() {
  audio_lock();
  const bool running = audio.thread_running;
  audio_unlock();
  return running;
}
