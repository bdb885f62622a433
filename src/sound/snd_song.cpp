// The .sqt parser and the sequencer step.
#include "sound/snd_song.h"

#include <cstring>

#include "audio/audio.h"
#include "os_tools/os_log.h"
#include "os_tools/os_mem.h"
#include "sound/snd_voice.h"
#include "sound/snd_wave.h"

// --- parsing -----------------------------------------------------------------------------

void snd_add_pattern(snd_song* song) {
  OS_ASSERT(song != nullptr);
  if (song == nullptr) return;
  OS_ASSERT(song->pattern_count < SND_MAX_PATTERNS);
  if (song->pattern_count >= SND_MAX_PATTERNS) return;
  const uint32_t count = song->pattern_count;
  uint8_t** grown = static_cast<uint8_t**>(os_alloc((count + 1) * uint32_t(sizeof(uint8_t*))));
  for (uint32_t i = 0; i < count; ++i) grown[i] = song->patterns[i];
  if (song->patterns != nullptr) os_free(&song->patterns);
  song->patterns = grown;
  song->pattern_count = uint8_t(count + 1);
  song->patterns[count] = static_cast<uint8_t*>(os_alloc(SND_PATTERN_BYTES));
}

// Decodes one pattern from data[*p] on into scratch. False when the data ends inside it.
static bool snd_decode_pattern(const uint8_t* data, uint32_t size, uint32_t* p, uint8_t* scratch) {
  uint8_t run = 0;
  for (int32_t t = 0; t < SND_TRACKS; ++t) {
    for (int32_t r = 0; r < SND_ROWS; ++r) {
      if (run > 0) {
        run--;
        continue;
      }
      if (*p >= size) return false;
      uint8_t entry = data[(*p)++];
      if (entry == 0x80) {
        if (*p >= size) return false;
        run = uint8_t(data[(*p)++] - 1);  // N = 0 gives 255 more rows: 256 in all
        continue;
      }
      scratch[snd_flags_at(t, r)] = entry;
      for (int32_t k = 0; k < SND_FIELDS; ++k) {
        if ((entry & (1 << k)) == 0) continue;
        if (*p >= size) return false;
        scratch[snd_field_at(t, k, r)] = data[(*p)++];
      }
    }
  }
  return true;
}

void snd_parse_song(snd_song* out, const uint8_t* data, uint32_t size) {
  OS_ASSERT(out != nullptr);
  if (out == nullptr) return;
  OS_ASSERT(size > 0);
  snd_new_song(out);
  snd_parse_song_notes(out, data, size);
}

void snd_parse_song_notes(snd_song* out, const uint8_t* data, uint32_t size) {
  OS_ASSERT(out != nullptr && out->order_length == 0 && out->pattern_count == 0);
  if (out == nullptr || out->order_length != 0 || out->pattern_count != 0) return;
  if (data == nullptr || size < 4 || data[0] != 'S' || data[1] != 'Q') return;
  uint32_t length = uint32_t(data[2]) * 256u + data[3];
  // An order list that claims more bytes than the file holds keeps the bytes present.
  if (length > size - 4) length = size - 4;
  if (length == 0) return;
  out->order = static_cast<uint8_t*>(os_alloc(length));
  memcpy(out->order, data + 4, length);
  out->order_length = int32_t(length);

  uint32_t p = 4 + length;
  uint8_t scratch[SND_PATTERN_BYTES];
  while (p < size && out->pattern_count < SND_MAX_PATTERNS) {
    memset(scratch, 0, sizeof scratch);
    if (!snd_decode_pattern(data, size, &p, scratch)) break;
    snd_add_pattern(out);
    memcpy(out->patterns[out->pattern_count - 1], scratch, SND_PATTERN_BYTES);
  }
}

// --- the sequencer step ------------------------------------------------------------------

static const uint8_t* snd_pattern(const snd_song* song, int32_t pattern) { return song->patterns[pattern]; }

// Plays track t of the current row on voice t. The current pattern's speed, override and
// note-off commands act first, so the rest of the row already comes from an override they set.
static void snd_play_track(snd_song* song, int32_t t, int32_t* next_position) {
  const int32_t row = song->row;
  const uint8_t* P = snd_pattern(song, song->current_pattern);
  snd_voice* voice = &snd_banks[snd_bank_selected][t];
  if (P[snd_flags_at(t, row)] & 0x08) {
    const uint8_t parameter = P[snd_field_at(t, 4, row)];
    switch (P[snd_field_at(t, 3, row)] & 15) {
      case SND_CMD_NOTE_OFF:
        snd_note_off(t);
        break;
      case SND_CMD_OVERRIDE:
        if (parameter < song->pattern_count) voice->pattern_override = parameter;
        break;
      case SND_CMD_SPEED: {
        song->speed = parameter & 15;
        int32_t h = parameter >> 4;
        snd_arp_period = 11020 / (h == 0 ? 1 : h);
        break;
      }
      default:
        break;
    }
  }
  if (voice->pattern_override >= 0 && voice->pattern_override < song->pattern_count)
    P = snd_pattern(song, voice->pattern_override);

  const uint8_t flags = P[snd_flags_at(t, row)];
  const uint8_t note = P[snd_field_at(t, 0, row)];
  const uint8_t instrument = P[snd_field_at(t, 1, row)];
  if (flags & 0x03) {
    // An instrument the bank lacks is reported and the note or change skipped.
    OS_ASSERT(instrument < song->instrument_count);
    if (instrument < song->instrument_count) {
      const snd_wave* wave = &song->instruments[instrument];
      if (flags & 0x01)
        snd_play_note(note >> 4, t, note & 15, wave);
      else
        snd_set_instrument(wave, t);
    }
  }
  if (flags & 0x04) snd_set_volume(t, P[snd_field_at(t, 2, row)] * 16);
  if (flags & 0x08) {
    const uint8_t command = P[snd_field_at(t, 3, row)];
    const uint8_t parameter = P[snd_field_at(t, 4, row)];
    switch (command & 15) {
      case SND_CMD_STOP:
        snd_stop_song_locked(song);
        break;
      case SND_CMD_JUMP:
        song->jump_row = parameter;
        break;
      case SND_CMD_POSITION:
        if (parameter != 255)
          *next_position = parameter < song->order_length ? parameter : 0;
        else
          *next_position = song->position + 1 >= song->order_length ? 0 : song->position + 1;
        song->jump_row = 0;
        break;
      default:
        snd_effect(t, command, parameter);
        break;
    }
  }
}

int32_t snd_tick(int32_t slot, snd_song* song) {
  const int32_t remembered = snd_bank_selected;
  OS_ASSERT(song != nullptr);
  OS_ASSERT(slot >= 0 && slot < SND_SLOTS);
  if (song == nullptr || slot < 0 || slot >= SND_SLOTS) return 0;
  snd_bank_selected = slot;
  int32_t played = 0;
  const int32_t now = snd_clock / SND_TIME_UNIT;
  if (song->last_tick + song->speed <= now && song->state != SND_STOPPED) {
    played = 1;
    song->last_tick += song->speed;
    if (song->state == SND_PLAYING) {
      song->row++;
    } else {
      song->state = SND_PLAYING;
      for (int32_t v = 0; v < SND_TRACKS; ++v) {
        snd_set_volume(v, 255);
        snd_effect(v, 0, 0);
      }
      snd_arp_period = 1102;
      song->speed = 2;
    }
    if (song->jump_row >= 0) {
      song->row = song->jump_row;
      song->jump_row = -1;
    }
    if (song->row >= SND_ROWS || song->row < 0) {
      song->row = 0;
      song->position++;
      if (song->position >= song->order_length) song->position = 0;
      for (int32_t v = 0; v < SND_TRACKS; ++v) snd_banks[slot][v].pattern_override = -1;
    }
    int32_t next_position = -1;
    if (song->order == nullptr || song->order_length <= 0) {
      played = 0;
    } else {
      if (song->position < 0 || song->position >= song->order_length) song->position = 0;
      song->current_pattern = song->order[song->position];
      // A row whose order entry names no pattern passes in silence.
      OS_ASSERT(song->current_pattern < song->pattern_count);
      if (song->current_pattern < song->pattern_count) {
        for (int32_t t = 0; t < SND_TRACKS; ++t) snd_play_track(song, t, &next_position);
      }
      if (next_position >= 0) song->position = next_position;
    }
  }
  snd_bank_selected = remembered;
  return played;
}

void snd_tick_all() {
  for (int32_t slot = 0; slot < SND_SLOTS; ++slot)
    if (snd_slots[slot] != nullptr) snd_tick(slot, snd_slots[slot]);
}
