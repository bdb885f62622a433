// The platform seam: what every back end provides to the portable game, and nothing more.
// Back ends: platform_win32 + audio_win32 (Windows), platform_sdl + audio_sdl (Linux),
// platform_web (browsers, with render_webgl), platform_headless (tests and tools). The build chooses one by the files it compiles;
// no code above this seam includes a system header.
#pragma once
#include <cstdint>

struct g_display;  // the display description (graph/graph.h)

// --- entry, clock, loop ------------------------------------------------------------------

// Milliseconds since the first call, to the nearest millisecond, from a high-resolution
// counter. Main thread (also read by os_rand).
uint32_t platform_get_time_ms();

// The entry's body: records the 960 x 720 request with g_set_hw_resolution, then calls
// platform_pump until it returns false.
void platform_main();

// One pass of the main loop: os_frame_tick, then at most one window event, then the mouse
// sample. False once the game has shut down.
bool platform_pump();

// --- window and OpenGL context -----------------------------------------------------------

// Opens the window (windowed: client area of the description's window size, centred;
// fullscreen: the screen, its size written back) with a current double-buffered OpenGL
// context. False when the window could not be made or fullscreen was refused (then the
// description's fullscreen flag is cleared and a screen-sized window is left).
bool platform_open_window(g_display* display);

// Reports tracked blocks still live (os_report_leaks), gives the cursor back.
void platform_close_window(g_display* display);

// Shows the frame drawn since the last swap.
void platform_swap_buffers();

// An OpenGL entry point by name, or null when the driver lacks it.
void* platform_gl_proc(const char* name);

// The one question the game asks at start. True for yes; a failed question counts as no.
bool platform_ask_yes_no(const char* text, const char* caption);

// --- the wave device and the audio thread ------------------------------------------------
// The portable audio module (audio/) owns the ring, the header table and the per-block
// protocol; a back end only moves blocks to the sound card and wakes the audio thread.
// Call order: lock_init, start_thread, wave_open, (queue / wait / release)..., post_quit,
// wave_reset, wave_close, lock_delete. Queue and release are called with the lock held;
// none of these functions takes the lock itself.

// The one lock shared by the main thread and the audio thread (ring, headers, song slots,
// songs). Not recursive. Lock and unlock are only called between init and delete.
void platform_audio_lock_init();
void platform_audio_lock();
void platform_audio_unlock();
void platform_audio_lock_delete();

// Starts the audio thread running body(); false when no thread could be made. The thread
// ends when body returns (nobody joins it; the audio module waits for body to finish by a
// flag it keeps under the lock). Completions posted before the thread first waits are kept.
// A back end without threads (the browser) starts none, runs audio_finish_block from its loop
// instead, and runs body once when the quit is posted, its wait answering quit at once.
bool platform_audio_start_thread(void (*body)());

// Opens the default output for 22050 Hz, signed 16-bit, mono, volume at maximum. Its block
// completions wake platform_audio_wait. False when there is no device (the game runs silent).
bool platform_wave_open();

// Queues one block of samples under header slot `header` (0..9). The samples stay valid
// and unchanged until that header has been released.
void platform_wave_queue(int32_t header, const int16_t* samples, int32_t count);

// Gives back a finished header (the Windows unprepare). Audio thread, after its wait
// returned that header.
void platform_wave_release(int32_t header);

// Audio thread only: waits for the next event. Returns the header slot (0..9) of a finished
// block, blocks finishing in the order they were queued, or -1 when the thread was asked to
// quit.
int32_t platform_audio_wait();

// Asks the audio thread to quit (its next platform_audio_wait returns -1). Main thread.
void platform_audio_post_quit();

// Stops playback and drops every queued block (no completion is delivered for them); false
// when no device is open. Main thread, after the audio thread has ended.
bool platform_wave_reset();

// Closes the device after the reset; does nothing when none is open. Main thread.
void platform_wave_close();

// Sleeps about one millisecond (waiting for the audio thread to end).
void platform_sleep_ms(uint32_t ms);
