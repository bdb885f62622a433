// The wave device and the audio thread on SDL2. The device is opened without a callback and
// fed with SDL_QueueAudio; the audio thread learns that a block has been played by watching
// the queue shrink, and then runs the same per-block protocol as with wave-out completions.
#include <SDL.h>

#include "audio_sdl/sdl_block_fifo.h"
#include "os_tools/os_log.h"
#include "platform.h"

namespace {
// How often the waiting audio thread looks at the device queue. A block lasts about 100 ms
// and four are queued, so a few milliseconds of delay cost nothing.
constexpr Uint32 SDL_AUDIO_POLL_MS = 2;
constexpr Uint32 SDL_AUDIO_IDLE_MS = 10;
constexpr int32_t SDL_AUDIO_HEADERS = PLATFORM_WAVE_HEADERS;
}  // namespace

static struct {
  SDL_mutex* lock;         // the audio lock of the seam
  SDL_mutex* queue_lock;   // guards fifo against the waiting thread (taken inside `lock`)
  SDL_AudioDeviceID device;
  SDL_atomic_t quit;
  void (*body)();
  sdl_block_fifo fifo;
} sdl_audio;

void platform_audio_lock_init() {
  OS_ASSERT(sdl_audio.lock == nullptr);
  if (!sdl_audio.lock) sdl_audio.lock = SDL_CreateMutex();
  if (!sdl_audio.queue_lock) sdl_audio.queue_lock = SDL_CreateMutex();
}

void platform_audio_lock() { SDL_LockMutex(sdl_audio.lock); }
void platform_audio_unlock() { SDL_UnlockMutex(sdl_audio.lock); }

void platform_audio_lock_delete() {
  if (sdl_audio.lock) SDL_DestroyMutex(sdl_audio.lock);
  sdl_audio.lock = nullptr;
}

static int audio_thread_main(void*) {
  sdl_audio.body();
  return 0;
}

bool platform_audio_start_thread(void (*body)()) {
  OS_ASSERT(body != nullptr);
  if (!body) return false;
  sdl_audio.body = body;
  SDL_AtomicSet(&sdl_audio.quit, 0);
  SDL_Thread* thread = SDL_CreateThread(audio_thread_main, "tumbler audio", nullptr);
  if (!thread) return false;
  SDL_DetachThread(thread);
  return true;
}

bool platform_wave_open() {
  OS_ASSERT(sdl_audio.device == 0);
  if (!sdl_audio.queue_lock) sdl_audio.queue_lock = SDL_CreateMutex();
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
    os_log("SDL audio: %s\n", SDL_GetError());
    return false;
  }
  SDL_AudioSpec want{};
  want.freq = PLATFORM_WAVE_RATE;
  want.format = AUDIO_S16SYS;
  want.channels = 1;
  want.samples = 1024;
  want.callback = nullptr;  // queued, not pulled
  SDL_AudioSpec have{};
  // No changes allowed: SDL converts to whatever the hardware wants.
  const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device == 0) {
    os_log("SDL audio: %s\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  // The audio thread is already waiting and looks at the device: hand it over locked.
  SDL_LockMutex(sdl_audio.queue_lock);
  sdl_fifo_clear(&sdl_audio.fifo);
  sdl_audio.device = device;
  SDL_UnlockMutex(sdl_audio.queue_lock);
  SDL_PauseAudioDevice(device, 0);
  return true;
}

void platform_wave_queue(int32_t header, const int16_t* samples, int32_t count) {
  OS_ASSERT(header >= 0 && header < SDL_AUDIO_HEADERS);
  OS_ASSERT(samples != nullptr && count > 0);
  if (header < 0 || header >= SDL_AUDIO_HEADERS || !samples || count <= 0) return;
  const Uint32 bytes = static_cast<Uint32>(count) * 2;
  SDL_LockMutex(sdl_audio.queue_lock);
  if (sdl_audio.device != 0 && sdl_fifo_push(&sdl_audio.fifo, header, bytes)) {
    SDL_QueueAudio(sdl_audio.device, samples, bytes);
  }
  SDL_UnlockMutex(sdl_audio.queue_lock);
}

// SDL copies queued samples at once, so a finished block holds nothing to give back.
void platform_wave_release(int32_t header) {
  OS_ASSERT(header >= 0 && header < SDL_AUDIO_HEADERS);
}

int32_t platform_audio_wait() {
  for (;;) {
    if (SDL_AtomicGet(&sdl_audio.quit)) return -1;
    int32_t finished = -1;
    SDL_LockMutex(sdl_audio.queue_lock);
    const bool open = sdl_audio.device != 0;
    if (open) {
      finished = sdl_fifo_pop_finished(&sdl_audio.fifo, SDL_GetQueuedAudioSize(sdl_audio.device));
    }
    SDL_UnlockMutex(sdl_audio.queue_lock);
    if (finished >= 0) return finished;
    // Without a device nothing ever finishes: only the quit request is awaited.
    SDL_Delay(open ? SDL_AUDIO_POLL_MS : SDL_AUDIO_IDLE_MS);
  }
}

void platform_audio_post_quit() { SDL_AtomicSet(&sdl_audio.quit, 1); }

bool platform_wave_reset() {
  SDL_LockMutex(sdl_audio.queue_lock);
  const bool open = sdl_audio.device != 0;
  if (open) {
    SDL_PauseAudioDevice(sdl_audio.device, 1);
    SDL_ClearQueuedAudio(sdl_audio.device);
    sdl_fifo_clear(&sdl_audio.fifo);
  }
  SDL_UnlockMutex(sdl_audio.queue_lock);
  return open;
}

void platform_wave_close() {
  SDL_LockMutex(sdl_audio.queue_lock);
  const SDL_AudioDeviceID device = sdl_audio.device;
  sdl_audio.device = 0;
  SDL_UnlockMutex(sdl_audio.queue_lock);
  if (device == 0) return;
  SDL_CloseAudioDevice(device);
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void platform_sleep_ms(uint32_t ms) { SDL_Delay(ms); }
