// The game-facing sound calls. Each takes the audio lock around what the audio thread reads
// (slots, voices, the song records), so the thread never ticks or mixes a song that is half
// replaced or already freed. Loading and parsing happen outside the lock.
#include "sound/sound.h"

#include "audio/audio.h"
#include "file/file.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "sound/snd_song.h"
#include "sound/snd_voice.h"
#include "sound/snd_wave.h"

snd_song snd_music;

static void snd_empty_slots() {
  for (snd_song*& slot : snd_slots) slot = nullptr;
}

void snd_init() {
  os_log("init sounds\n");
  snd_amplitude = 32767;
  for (int16_t& sample : audio_ring) sample = 0;
  audio_open();
  audio_lock();
  snd_empty_slots();
  for (int32_t b = 0; b < SND_SLOTS; ++b) {
    snd_reset_bank(b);
    for (int32_t v = 0; v < SND_TRACKS; ++v) snd_banks[b][v].enabled = 1;
  }
  audio_unlock();
}

void snd_set_default_volume() {
  audio_lock();
  snd_master_volume = float(1.0 / 255.0 * 50.0);
  audio_unlock();
}

snd_song snd_load_song(const char* name) {
  snd_song song{};
  file_handle file = file_open(name);
  OS_ASSERT(file.data != nullptr);
  if (file.data == nullptr) return song;
  snd_parse_song(&song, file.data, file.size);
  file_close(&file);
  return song;
}

void snd_set_music(const snd_song& song) {
  audio_lock();
  snd_music = song;
  audio_unlock();
}

void snd_play_music() {
  audio_lock();
  if (snd_slots[0] != nullptr) snd_stop_song_locked(snd_slots[0]);
  snd_reset_bank(0);
  snd_music.row = 0;
  snd_music.jump_row = -1;
  snd_music.state = SND_STARTING;
  snd_music.speed = 2;
  snd_slots[0] = &snd_music;
  snd_music.last_tick = snd_clock / SND_TIME_UNIT;
  audio_unlock();
}

void snd_stop_song(snd_song* song) {
  audio_lock();
  snd_stop_song_locked(song);
  audio_unlock();
}

void snd_free_music() {
  audio_lock();
  snd_stop_song_locked(&snd_music);
  snd_song& song = snd_music;
  if (song.instrument_count != 0) {
    for (int32_t i = 0; i < song.instrument_count; ++i) snd_wave_free(&song.instruments[i]);
    os_free(&song.instruments);
    song.instrument_count = 0;
  }
  if (song.pattern_count != 0) {
    for (int32_t i = 0; i < song.pattern_count; ++i) os_free(&song.patterns[i]);
    song.pattern_count = 0;
    os_free(&song.patterns);
  }
  if (song.order_length > 0) {
    os_free(&song.order);
    song.order_length = 0;
  }
  audio_unlock();
}

void snd_deinit() {
  os_log("deinit sounds\n");
  audio_lock();
  snd_empty_slots();
  audio_unlock();
  audio_close();
  OS_ASSERT(snd_live_waves == 0);
}
