// audio: the output ring and the per-block protocol between the synthesiser and the wave
// device of the platform seam. Owns the ring of ten blocks, the header table, the write
// position, the audio thread's life and the sequencer's time base snd_clock. snd_init and
// snd_deinit are the only callers of open and close.
#pragma once
#include <cstdint>

#include "platform.h"

constexpr int32_t AUDIO_BLOCKS = PLATFORM_WAVE_HEADERS;      // ring blocks and headers
constexpr int32_t AUDIO_BLOCK_SAMPLES = PLATFORM_WAVE_BLOCK;  // about 100 ms
constexpr int32_t AUDIO_RING_SAMPLES = AUDIO_BLOCKS * AUDIO_BLOCK_SAMPLES;
constexpr int32_t AUDIO_QUEUED = 4;                          // blocks kept queued

// The mixed blocks; zero at start.
extern int16_t audio_ring[AUDIO_RING_SAMPLES];
// Samples in the blocks the device has finished (written by the audio thread, under the lock).
extern int32_t snd_clock;

// Starts the output: logs "AUDIO == WIN32_AUDIO\n", starts the audio thread, opens the device
// and mixes and queues four blocks on the calling thread. Without a thread or a device the
// failure is reported and the game runs silent.
void audio_open();
// Stops the output: ends the audio thread, resets and closes the device, deletes the lock.
void audio_close();
// Mixes and queues up to n blocks into free headers (n >= 1). Takes the lock.
void audio_write(int32_t n);
// Asks the audio thread to quit and waits, 1 ms at a time, until it has ended.
void audio_stop_thread();
// One finished block, under the lock: one sequencer step, one block mixed and queued into
// another free header, snd_clock advanced, the finished header given back. The audio thread
// runs it per completion; an output without a thread calls it from the main loop instead.
void audio_finish_block(int32_t finished);
// The audio thread's body: waits for each finished block and runs audio_finish_block on it,
// until it is asked to quit.
void audio_thread();

// The audio lock, for the sound module's main-thread calls. Does nothing while the output is
// not open (no audio thread can run then).
void audio_lock();
void audio_unlock();

// For tests and tools: the write position in samples, whether header h is in use, how many
// are, whether a device is open and whether the audio thread is running (read under the lock).
int32_t audio_write_position();
bool audio_header_in_use(int32_t h);
int32_t audio_headers_in_use();
bool audio_device_open();
bool audio_thread_running();
