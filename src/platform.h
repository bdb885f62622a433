// The platform seam: what every back end provides to the portable game, and nothing more.
// Back ends: platform_win32 + audio_win32 (Windows), platform_sdl + audio_sdl (Linux),
// platform_web (browsers, with render_webgl), platform_headless (tests and tools). The build
// chooses one by the files it compiles; no code above this seam includes a system header.
#pragma once
#include <cstdint>

struct g_display;  // the display description (graph/graph.h)

// --- entry, clock, loop ------------------------------------------------------------------

// Milliseconds since the first call, to the nearest millisecond, from a high-resolution
// counter, handed through rec_clock (a playback gives the recording's readings). Main thread
// (also read by os_rand).
uint32_t platform_get_time_ms();

// The desktop entry's body (portable, loop/loop_main.cpp): records the window size the
// options ask for (960 x 720 without one) with g_set_hw_resolution, then calls platform_pump
// until it returns false. The browser runs platform_pump once per animation frame instead.
void platform_main();

// One pass of the main loop, written once for every back end (portable, loop/loop_pass.cpp).
// In this order, because the game must see input taken in one pass at the next tick:
//   1. os_frame_tick; false ends the pass and the loop (the game has shut down);
//   2. rec_pass: the frame's checksum is recorded, or compared and the recorded events of
//      the pass applied;
//   3. platform_take_event: at most one event;
//   4. platform_read_pads: the pads, handed to pad_update with rec_key as the key sink;
//   5. platform_read_pointer: the mouse sample, handed to rec_mouse.
bool platform_pump();

// --- what each back end supplies to the pass ---------------------------------------------

// Takes at most one event from the system and hands what it means to the recording hooks:
// rec_key for a key the game sees (virtual-key code), rec_quit for a close or a signal,
// rec_release_input when the focus leaves. Events of the back end's own (a resize, its
// fullscreen key, a pad plugged in or out) it handles itself, as it does its own per-pass
// work (the browser's played sound blocks). Never waits.
void platform_take_event();

// All of the back end's pads merged into one state (pad/pad.h); all zeros when there is no
// pad or the window is not the one in front, so that nothing stays held.
struct pad_state;
void platform_read_pads(pad_state* merged);

// The pointer: the left button (1 while down or pressed since the last reading, else 0) and
// the position in window-client pixels (outside the window too). False when there is no
// window to read, and then the pass takes no mouse sample.
bool platform_read_pointer(int32_t* button, int32_t* x, int32_t* y);

// --- window and OpenGL context -----------------------------------------------------------

// The window's title on every desktop back end.
constexpr const char PLATFORM_WINDOW_TITLE[] = "Glimmerbyte (GJ07) Tumbler";

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

// --- files ---------------------------------------------------------------------------------

// Puts the file at `from` in the place of the file at `to`, replacing `to` when it is there,
// in one step: `to` is then either its old self or the whole new file, never a part. False
// when that could not be done (then both are as they were). The editor's saves use it after
// writing the new bytes to `from` (POSIX rename; MoveFileEx on Windows, whose rename does not
// replace a file).
bool platform_replace_file(const char* from, const char* to);

// --- the wave device and the audio thread ------------------------------------------------
// The one sound format of every back end and the audio module's blocks.
enum : int32_t {
  PLATFORM_WAVE_RATE = 22050,  // samples per second, signed 16-bit, mono
  PLATFORM_WAVE_BLOCK = 2204,  // samples per queued block (about 100 ms)
  PLATFORM_WAVE_HEADERS = 10,  // header slots, one per block of the ring
};
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

// Opens the default output for PLATFORM_WAVE_RATE, signed 16-bit, mono, volume at maximum. Its block
// completions wake platform_audio_wait. False when there is no device (the game runs silent).
bool platform_wave_open();

// Queues one block of samples under header slot `header` (0 .. PLATFORM_WAVE_HEADERS - 1). The samples stay valid
// and unchanged until that header has been released.
void platform_wave_queue(int32_t header, const int16_t* samples, int32_t count);

// Gives back a finished header (the Windows unprepare). Audio thread, after its wait
// returned that header.
void platform_wave_release(int32_t header);

// Audio thread only: waits for the next event. Returns the header slot of a finished
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
