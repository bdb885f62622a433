// editor: the level editor, started by --edit FILE instead of the title. It draws one room
// of the level at a time at the game's size, with the game's tiles, font and mask, into the
// same layers, and takes the same keys and mouse the game reads (os_get_key, os_get_mouse),
// so it runs on every back end. The game's hooks hand over to it (game_init, game_tick,
// game_shutdown); test-play hands back to the game's own play path from the level's start.
// Saving writes a new file and renames it over the old one; a level the game would refuse
// is not saved. Unsaved work is kept in a draft beside the level (FILE with the extension
// .draft) from the first change on, and brought back when the same FILE is edited again.
// Main thread only.
#pragma once
#include <cstdint>

enum : int32_t { ED_PATH_MAX = 1024 };

// Reads FILE for editing (a file that is not there is a new level). False, with one line in
// message, for a file that cannot be read, is over 64 KB, has too many rows or a name too
// long; then the editor stays off. Called by opt_start before the game starts.
bool ed_open(const char* path, char* message, int32_t message_size);
// True once ed_open has taken a file: the game's hooks then run the editor.
bool ed_active();

// game_init, after the display, layers, mask, tiles, font, sound and sprite are set up: the
// editor's screen and its song.
void ed_start();
// game_tick: one tick of the editor (or of its test-play); presents the frame.
void ed_tick(float dt);
// game_shutdown, before the game frees what it set up: the editor's own images and history.
void ed_stop();

// Test seam: the editor off and empty, as at program start.
void ed_restart();
