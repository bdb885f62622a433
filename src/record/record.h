// record: recordings of play. Everything the game reads from the platform passes through
// here on its way from the back end to the core: each reading of the millisecond clock
// (the frame clock's and os_rand's), the start question's answer, every key event and quit
// request the pump delivers, and the pump's mouse sample. Recording writes them to a file
// (format in rec_format.h) together with a checksum of every frame; playing takes them from
// the file instead of the system, so the game runs the recorded session again bit for bit.
// With neither, every hook hands the live value straight on: the game is unchanged.
// Main thread only.
#pragma once
#include <cstdint>

enum : int32_t { REC_OFF = 0, REC_RECORD = 1, REC_PLAY = 2 };

enum : int32_t { REC_MESSAGE_SIZE = 512 };

// Exit statuses of a session (0: as recorded, or recorded and written).
enum : int32_t {
  REC_EXIT_DIFFERS = 1,  // the playback differed, or the recording could not be written
  REC_EXIT_CUT = 3,      // a recording cut short (no end line) played as recorded to its end
};

// Starts a recording to `path`: checks that the file can be written, without touching it,
// and holds what is recorded back until the game's first pass is over (rec_pass), when the
// file is made or replaced; a start that fails leaves it as it was. The file is written in
// place, not renamed at the end, so that a crash leaves a playable recording under its
// name; it is written out every 100 ms of the recorded clock. False, with one line in
// message, when the file cannot be written.
bool rec_record_open(const char* path, char* message, int32_t message_size);
// Reads the whole recording at `path` into memory (pipes too; at most REC_FILE_MAX bytes)
// and checks it, then starts playing it. pace: the clock readings are not handed out before
// the real clock reaches them (real-time playback in a window); without it playback runs as
// fast as the loop goes. False, with one line in message, for a file that cannot be read or
// is not a good recording.
bool rec_play_open(const char* path, bool pace, char* message, int32_t message_size);
// Ends recording or playing. Recording: writes the end line and closes the file. Playing:
// says whether every frame matched the recording. Returns the exit status (0;
// REC_EXIT_DIFFERS when the file could not be written or the playback differed; REC_EXIT_CUT
// for a cut recording played to its last frame) and one line for the player.
int32_t rec_close(char* message, int32_t message_size);
int32_t rec_mode();

// Paced playback for a loop that cannot wait (the browser's, one call a frame): whether the
// pass that reads the recording's next clock reading is due by the live clock (live() is
// the platform's own), so that the loop runs the passes a desktop made meanwhile; a
// recorded gap of more than a tenth of a second goes by faster, as in rec_play_open's
// paced playback. False when nothing is being played, or the playback is at its end or
// stopped.
bool rec_play_due(uint32_t (*live)());

// The answer the command line gives (OPT_ASK -1, windowed 0, fullscreen 1). Playing uses
// it in place of the recording's answer (the window mode changes no frame).
void rec_set_answer(int32_t answer);
// The answer to use without asking: the command line's, else the recording's while
// playing; -1 when the question must be asked.
int32_t rec_given_answer();
// The answer the game got (asked or given); recorded.
void rec_note_answer(bool fullscreen);

// --- the back end's hooks -------------------------------------------------------------------
// Every reading of the millisecond clock: live() is the platform's own clock. Playing
// returns the recording's reading.
uint32_t rec_clock(uint32_t (*live)());
// A key event the pump took (virtual-key code, down flag): to os_key_event. Playing, live
// keys do not reach the game, but Escape ends the playback: the clock then stops following
// the recording and moves on, so the game ticks once more and shuts down.
void rec_key(uint32_t vk, int32_t down);
// The window was closed (or a signal asked the program to end): the game ends; playing, as
// Escape does.
void rec_quit();
// The window lost the focus: every held key and the mouse button are let go
// (os_release_input). Recorded as a key-up of each held key; playing ignores a live one.
void rec_release_input();
// The pass's mouse sample: left button level (0/1) and pointer in window-client pixels, as
// os_mouse_button and os_set_mouse_pos take them (the pointer is mapped onto the picture,
// so the recording holds framebuffer pixels). Playing applies the recorded sample.
void rec_mouse(int32_t level, int32_t x, int32_t y);
// Right after each os_frame_tick that returned true (the loop's pass): recording makes the
// file after the first pass and writes the frame's checksum when the game ticked; playing
// compares it and applies the recorded events of this pass.
void rec_pass();

// 64-bit FNV-1a of map0.txt .. map6.txt as file_open gives them now: the levels line of a
// recording, which playing checks.
uint64_t rec_levels_checksum();

// --- levels' proofs (proof/proof.h, the editor's test-play) ---------------------------------
// Begins keeping the play that begins in this tick (with the level's set-up in the next one)
// as the proof of the level whose bytes have the 64-bit FNV-1a `level`, played as level
// `index`: a recording written to a new file beside `path`, with the proof line and the keys
// held and the pointer as it begins. Only while nothing is recorded or played. False, with
// one line in message, when the file cannot be written.
bool rec_proof_begin(const char* path, uint64_t level, uint8_t index, char* message, int32_t message_size);
// The level is won: the recording ends after this pass (or the next, when called after this
// pass's rec_pass) and takes path's place as the proof.
void rec_proof_won();
// The play ended without a win: the new file goes, an old proof stays.
void rec_proof_drop();
// The level checksum and number the proof at path names; false when there is no good proof.
bool rec_proof_read(const char* path, uint64_t* level, uint8_t* index);
// Starts playing the proof at path (rec_play_open for proofs: no levels line checked, the
// start pass as the format says, frames not compared). REC_PROOF_MISSING when there is no
// file, REC_PROOF_BAD with one line (no line end) in message for a file that is no good
// proof, REC_PROOF_OPEN with what it names.
enum : int32_t { REC_PROOF_MISSING = -1, REC_PROOF_BAD = 0, REC_PROOF_OPEN = 1 };
int32_t rec_proof_play_open(const char* path, uint64_t* level, uint8_t* index, char* message, int32_t message_size);
// Playing: false once the game has left the recording, with the first place and why.
bool rec_play_matches(char* why, int32_t why_size);

// Test seam: back to off, file closed, nothing given.
void rec_restart();
