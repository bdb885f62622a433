// The headless wave device and audio thread (standard library threads; tests and tools only).
#include "platform_headless/headless_audio.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include "platform.h"

namespace {

struct queued_block {
  int32_t header;
  const int16_t* samples;
  int32_t count;
};

struct headless_audio_state {
  std::mutex audio_lock;  // the seam's audio lock
  std::mutex m;           // guards everything below
  std::condition_variable cv;
  std::deque<queued_block> queued;
  std::deque<int32_t> finished;
  bool quit = false;
  bool open = false;
  bool fail_open = false;
  bool fail_thread = false;
  uint64_t posted = 0;     // completions handed to the thread
  uint64_t delivered = 0;  // completions the thread's wait returned
  uint64_t handled = 0;    // completions the thread finished before waiting again
  headless_wave_sink sink = nullptr;
  int32_t queue_count = 0;
  int32_t release_count = 0;
  int32_t reset_count = 0;
  int32_t sleep_count = 0;
};

headless_audio_state& state() {
  static headless_audio_state s;
  return s;
}

}  // namespace

void headless_audio_reset() {
  headless_audio_state& s = state();
  std::lock_guard<std::mutex> g(s.m);
  s.queued.clear();
  s.finished.clear();
  s.quit = false;
  s.open = false;
  s.fail_open = s.fail_thread = false;
  s.posted = s.delivered = s.handled = 0;
  s.queue_count = s.release_count = s.reset_count = s.sleep_count = 0;
}

void headless_audio_fail_open(bool fail) {
  std::lock_guard<std::mutex> g(state().m);
  state().fail_open = fail;
}

void headless_audio_fail_thread(bool fail) {
  std::lock_guard<std::mutex> g(state().m);
  state().fail_thread = fail;
}

void headless_wave_set_sink(headless_wave_sink sink) {
  std::lock_guard<std::mutex> g(state().m);
  state().sink = sink;
}

bool headless_wave_complete_one() {
  headless_audio_state& s = state();
  std::unique_lock<std::mutex> g(s.m);
  if (s.queued.empty()) return false;
  queued_block block = s.queued.front();
  s.queued.pop_front();
  if (s.sink != nullptr) s.sink(block.samples, block.count);
  s.finished.push_back(block.header);
  const uint64_t mine = ++s.posted;
  s.cv.notify_all();
  return s.cv.wait_for(g, std::chrono::seconds(5), [&] { return s.handled >= mine; });
}

int32_t headless_wave_queued() {
  std::lock_guard<std::mutex> g(state().m);
  return int32_t(state().queued.size());
}

int32_t headless_wave_queued_header(int32_t i) {
  std::lock_guard<std::mutex> g(state().m);
  if (i < 0 || i >= int32_t(state().queued.size())) return -1;
  return state().queued[size_t(i)].header;
}

bool headless_wave_is_open() {
  std::lock_guard<std::mutex> g(state().m);
  return state().open;
}
int32_t headless_wave_queue_count() {
  std::lock_guard<std::mutex> g(state().m);
  return state().queue_count;
}
int32_t headless_wave_release_count() {
  std::lock_guard<std::mutex> g(state().m);
  return state().release_count;
}
int32_t headless_wave_reset_count() {
  std::lock_guard<std::mutex> g(state().m);
  return state().reset_count;
}
int32_t headless_sleep_count() {
  std::lock_guard<std::mutex> g(state().m);
  return state().sleep_count;
}

// --- the seam ------------------------------------------------------------------------------

void platform_audio_lock_init() {}
void platform_audio_lock() { state().audio_lock.lock(); }
void platform_audio_unlock() { state().audio_lock.unlock(); }
void platform_audio_lock_delete() {}

bool platform_audio_start_thread(void (*body)()) {
  {
    std::lock_guard<std::mutex> g(state().m);
    if (state().fail_thread) return false;
    state().quit = false;
  }
  // Nobody joins the thread: the audio module waits for its body to end by a flag.
  std::thread(body).detach();
  return true;
}

bool platform_wave_open() {
  std::lock_guard<std::mutex> g(state().m);
  if (state().fail_open) return false;
  state().open = true;
  return true;
}

void platform_wave_queue(int32_t header, const int16_t* samples, int32_t count) {
  std::lock_guard<std::mutex> g(state().m);
  state().queued.push_back({header, samples, count});
  state().queue_count++;
}

void platform_wave_release(int32_t) {
  std::lock_guard<std::mutex> g(state().m);
  state().release_count++;
}

int32_t platform_audio_wait() {
  headless_audio_state& s = state();
  std::unique_lock<std::mutex> g(s.m);
  s.handled = s.delivered;
  s.cv.notify_all();
  s.cv.wait(g, [&] { return s.quit || !s.finished.empty(); });
  if (s.quit) {
    s.quit = false;
    return -1;
  }
  const int32_t header = s.finished.front();
  s.finished.pop_front();
  s.delivered++;
  return header;
}

void platform_audio_post_quit() {
  std::lock_guard<std::mutex> g(state().m);
  state().quit = true;
  state().cv.notify_all();
}

bool platform_wave_reset() {
  std::lock_guard<std::mutex> g(state().m);
  state().reset_count++;
  state().queued.clear();
  state().finished.clear();
  return state().open;
}

void platform_wave_close() {
  std::lock_guard<std::mutex> g(state().m);
  state().open = false;
}

void platform_sleep_ms(uint32_t ms) {
  {
    std::lock_guard<std::mutex> g(state().m);
    state().sleep_count++;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
