// Plays a recording (record/record.h) through the real game loop with the headless window,
// renderer and wave device: the clock readings, the answer and the input come from the file,
// and every frame is compared with the recording's checksum. Tests and tools only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct headless_playback {
  bool opened = false;            // the file was a good recording
  int32_t status = -1;            // 0: every frame as recorded; 1: the playback differed;
                                  // 3: cut short (no end line), as recorded to its last frame
  std::string message;            // why it could not be opened, or the player's closing line
  uint32_t passes = 0;            // passes of the main loop
  std::vector<uint64_t> checksums;  // the frame of every pass that ticked
  int32_t final_state = -1;       // the game's state, level and diamonds after the last tick
  int32_t final_level = -1;
  int32_t final_diamonds = -1;
  int32_t leaks = -1;             // blocks still live after the shutdown
};

// False when the file could not be played at all; otherwise see playback->status.
bool headless_play_recording(const std::string& path, headless_playback* playback);
