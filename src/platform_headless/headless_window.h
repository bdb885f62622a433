// The headless window: records what platform_open_window was asked, counts swaps and answers
// the start question from a script. Tests and the game harness link it in place of a window.
#pragma once
#include <cstdint>

#include "graph/g_display.h"

// Forgets the recorded window and restores the defaults: a 1920 x 1080 screen, fullscreen
// accepted, the question answered no.
void headless_window_reset();
// Screen size written into the description by a fullscreen open.
void headless_window_set_screen(int32_t width, int32_t height);
// Makes the next fullscreen opens fail as a refused mode change does.
void headless_window_refuse_fullscreen(bool refuse);
// The answer platform_ask_yes_no gives.
void headless_window_set_answer(bool yes);
// Whether the window is open, the cursor hidden, and how often the buffers were swapped.
bool headless_window_open();
bool headless_window_cursor_hidden();
int32_t headless_window_swap_count();
// The description as platform_open_window received it (before it wrote anything back).
g_display headless_window_requested();
// The text and caption of the last question, or "" when none was asked.
const char* headless_window_question();
const char* headless_window_caption();
