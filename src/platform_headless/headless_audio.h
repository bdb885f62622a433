// The headless wave device: implements the audio part of the platform seam with a std::mutex
// for the lock, a std::thread for the audio thread, and a device whose queued blocks finish
// only when a test or tool says so. Lets tests step the audio thread block by block.
#pragma once
#include <cstdint>

// Forgets every queued and finished block and the counters; the next opens and thread starts
// succeed. Call with no output open.
void headless_audio_reset();
// Makes the next platform_wave_open / platform_audio_start_thread fail (until reset).
void headless_audio_fail_open(bool fail);
void headless_audio_fail_thread(bool fail);

// Finishes the oldest queued block: hands its samples to the sink, wakes the audio thread and
// waits (up to 5 s) until the thread has handled it and waits again. False when no block was
// queued or the thread did not come back in time.
bool headless_wave_complete_one();

// Receives every finished block's samples, in order (null: none).
typedef void (*headless_wave_sink)(const int16_t* samples, int32_t count);
void headless_wave_set_sink(headless_wave_sink sink);

// Blocks queued and not yet finished; the header of the i-th oldest (-1 beyond).
int32_t headless_wave_queued();
int32_t headless_wave_queued_header(int32_t i);
// Whether the device is open; how many blocks were queued, released, and resets made since
// the last headless_audio_reset; how often platform_sleep_ms was called.
bool headless_wave_is_open();
int32_t headless_wave_queue_count();
int32_t headless_wave_release_count();
int32_t headless_wave_reset_count();
int32_t headless_sleep_count();
