// The sound output of the browser build, behind the wave-out seam. The page plays the
// blocks in an AudioWorklet (site/tumbler_audio.js) and tells which have been played; the
// main loop then runs the audio module's block step for each, so the same four blocks stay
// queued as on the desktop. There is no audio thread: a page without cross-origin isolation
// has no shared memory for one, and the step is cheap beside a frame.
#include <emscripten.h>

#include "audio/audio.h"
#include "os_tools/os_log.h"
#include "platform.h"
#include "platform_web/web_page.h"

EM_JS(int, web_audio_open_js, (), { return tumblerAudio.open() ? 1 : 0; });
EM_JS(void, web_audio_queue_js, (int header, const int16_t* samples, int count), {
  tumblerAudio.queue(header, HEAP16.subarray(samples >> 1, (samples >> 1) + count));
});
EM_JS(int, web_audio_next_played_js, (), { return tumblerAudio.nextPlayed(); });
EM_JS(void, web_audio_reset_js, (), { tumblerAudio.reset(); });
EM_JS(void, web_audio_close_js, (), { tumblerAudio.close(); });

static struct {
  void (*thread_body)();
  bool open;
} web_audio;

// One thread only: the lock has nothing to guard against.
void platform_audio_lock_init() {}
void platform_audio_lock() {}
void platform_audio_unlock() {}
void platform_audio_lock_delete() {}

// No thread is made. The body is kept for the quit request, which runs it once: its wait
// then answers "quit" at once, and the body marks the audio thread ended as it returns.
bool platform_audio_start_thread(void (*body)()) {
  OS_ASSERT(body != nullptr);
  web_audio.thread_body = body;
  return body != nullptr;
}

int32_t platform_audio_wait() { return -1; }

void platform_audio_post_quit() {
  void (*body)() = web_audio.thread_body;
  web_audio.thread_body = nullptr;
  if (body) body();
}

// Open when the page made its sound output in the click that started the game.
bool platform_wave_open() {
  OS_ASSERT(!web_audio.open);
  web_audio.open = web_audio_open_js() != 0;
  return web_audio.open;
}

void platform_wave_queue(int32_t header, const int16_t* samples, int32_t count) {
  OS_ASSERT(samples != nullptr && count > 0);
  if (!web_audio.open || !samples || count <= 0) return;
  web_audio_queue_js(header, samples, count);
}

// The page copies each block as it is queued: a finished header holds nothing to give back.
void platform_wave_release(int32_t) {}

bool platform_wave_reset() {
  if (!web_audio.open) return false;
  web_audio_reset_js();
  return true;
}

void platform_wave_close() {
  if (!web_audio.open) return;
  web_audio_close_js();
  web_audio.open = false;
}

// Never called: the audio thread's end is not awaited (see platform_audio_post_quit).
void platform_sleep_ms(uint32_t) {}

void web_audio_pump() {
  if (!web_audio.open) return;
  for (int32_t played = web_audio_next_played_js(); played >= 0; played = web_audio_next_played_js())
    audio_finish_block(played);
}
