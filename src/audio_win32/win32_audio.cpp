// The wave-out device and the audio thread on Windows. Completions are posted to the audio
// thread (MM_WOM_DONE) and taken with GetMessageA; the lock is a critical section.
#include <windows.h>
#include <mmsystem.h>

#include "os_tools/os_log.h"
#include "platform.h"

namespace {
constexpr int32_t WIN32_AUDIO_HEADERS = PLATFORM_WAVE_HEADERS;
// How long start-up waits for a new thread to have its message queue.
constexpr DWORD WIN32_THREAD_READY_MS = 5000;
}  // namespace

static struct {
  CRITICAL_SECTION lock;
  bool lock_made;
  HWAVEOUT device;
  DWORD thread_id;
  HANDLE thread_ready;
  void (*body)();
  WAVEHDR headers[WIN32_AUDIO_HEADERS];
} win32_audio;

void platform_audio_lock_init() {
  OS_ASSERT(!win32_audio.lock_made);
  if (win32_audio.lock_made) return;
  InitializeCriticalSection(&win32_audio.lock);
  win32_audio.lock_made = true;
}

void platform_audio_lock() { EnterCriticalSection(&win32_audio.lock); }
void platform_audio_unlock() { LeaveCriticalSection(&win32_audio.lock); }

void platform_audio_lock_delete() {
  if (!win32_audio.lock_made) return;
  DeleteCriticalSection(&win32_audio.lock);
  win32_audio.lock_made = false;
}

// A thread gets its message queue on its first message call; completions posted before
// that would be lost, so the thread makes its queue and says so before anything is queued.
static DWORD WINAPI audio_thread_main(LPVOID) {
  MSG message;
  PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  SetEvent(win32_audio.thread_ready);
  win32_audio.body();
  return 0;
}

bool platform_audio_start_thread(void (*body)()) {
  OS_ASSERT(body != nullptr);
  if (!body) return false;
  win32_audio.body = body;
  win32_audio.thread_ready = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, audio_thread_main, nullptr, 0, &id);
  if (!thread) {
    if (win32_audio.thread_ready) CloseHandle(win32_audio.thread_ready);
    win32_audio.thread_ready = nullptr;
    return false;
  }
  win32_audio.thread_id = id;
  if (win32_audio.thread_ready) {
    WaitForSingleObject(win32_audio.thread_ready, WIN32_THREAD_READY_MS);
    CloseHandle(win32_audio.thread_ready);
    win32_audio.thread_ready = nullptr;
  }
  CloseHandle(thread);  // nobody joins it
  return true;
}

bool platform_wave_open() {
  OS_ASSERT(win32_audio.device == nullptr);
  if (win32_audio.thread_id == 0) return false;
  ZeroMemory(win32_audio.headers, sizeof(win32_audio.headers));
  WAVEFORMATEX format;
  ZeroMemory(&format, sizeof(format));
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = 1;
  format.nSamplesPerSec = PLATFORM_WAVE_RATE;
  format.nAvgBytesPerSec = PLATFORM_WAVE_RATE * 2;
  format.nBlockAlign = 2;
  format.wBitsPerSample = 16;
  format.cbSize = 0;
  HWAVEOUT device = nullptr;
  const MMRESULT opened = waveOutOpen(&device, WAVE_MAPPER, &format, win32_audio.thread_id, 0,
                                      CALLBACK_THREAD);
  if (opened != MMSYSERR_NOERROR) {
    os_log("waveOutOpen:%u\n", static_cast<unsigned>(opened));
    return false;
  }
  win32_audio.device = device;
  waveOutSetVolume(device, 0xFFFFFFFF);
  return true;
}

void platform_wave_queue(int32_t header, const int16_t* samples, int32_t count) {
  OS_ASSERT(header >= 0 && header < WIN32_AUDIO_HEADERS);
  OS_ASSERT(samples != nullptr && count > 0);
  if (header < 0 || header >= WIN32_AUDIO_HEADERS || !samples || count <= 0) return;
  if (!win32_audio.device) return;
  WAVEHDR* slot = &win32_audio.headers[header];
  ZeroMemory(slot, sizeof(*slot));
  slot->lpData = reinterpret_cast<LPSTR>(const_cast<int16_t*>(samples));
  slot->dwBufferLength = static_cast<DWORD>(count) * 2;
  slot->dwUser = 1;
  waveOutPrepareHeader(win32_audio.device, slot, sizeof(*slot));
  waveOutWrite(win32_audio.device, slot, sizeof(*slot));
}

void platform_wave_release(int32_t header) {
  OS_ASSERT(header >= 0 && header < WIN32_AUDIO_HEADERS);
  if (header < 0 || header >= WIN32_AUDIO_HEADERS) return;
  WAVEHDR* slot = &win32_audio.headers[header];
  if (win32_audio.device) waveOutUnprepareHeader(win32_audio.device, slot, sizeof(*slot));
  slot->dwUser = 0;
}

int32_t platform_audio_wait() {
  MSG message;
  for (;;) {
    const BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) return -1;  // WM_QUIT, or no queue to wait on
    if (message.message != MM_WOM_DONE) continue;
    const WAVEHDR* done = reinterpret_cast<const WAVEHDR*>(message.lParam);
    const ptrdiff_t slot = done - win32_audio.headers;
    if (slot >= 0 && slot < WIN32_AUDIO_HEADERS) return static_cast<int32_t>(slot);
  }
}

void platform_audio_post_quit() {
  if (win32_audio.thread_id != 0) PostThreadMessageA(win32_audio.thread_id, WM_QUIT, 0, 0);
}

bool platform_wave_reset() {
  if (!win32_audio.device) return false;
  return waveOutReset(win32_audio.device) == MMSYSERR_NOERROR;
}

// After the reset every block is back; their headers are released before the device goes.
void platform_wave_close() {
  if (!win32_audio.device) return;
  for (WAVEHDR& slot : win32_audio.headers) {
    if (slot.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(win32_audio.device, &slot, sizeof(slot));
    slot.dwUser = 0;
  }
  waveOutClose(win32_audio.device);
  win32_audio.device = nullptr;
  win32_audio.thread_id = 0;
}

void platform_sleep_ms(uint32_t ms) { Sleep(ms); }
