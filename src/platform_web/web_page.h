// The browser back end's calls into the page around the game (site/tumbler_page.js).
#pragma once
#include <cstdint>

// Tells the page that the game has ended (it then offers to start again, and to save the
// session's recording): the closing line of the recording or playback ("" when there is
// none) and the exit status.
void web_page_ended(const char* message, int32_t status);
// Tells the page that the game could not start (a recording it cannot play): the one line.
void web_page_refused(const char* message);
// The page's own clock: milliseconds since the game first read it (the live clock the
// recording hooks hand on, or that a playback is paced by).
uint32_t web_time_ms();
// A pointer position in the page (CSS pixels from the viewport's corner) as drawing-buffer
// pixels of the canvas; outside the canvas the values run below 0 or past its size.
void web_page_canvas_point(double client_x, double client_y, int32_t* x, int32_t* y);
// The page has given the canvas another drawing buffer (a resize, a rotation, fullscreen
// entered or left): the presenter fits the picture into it. Once per pass.
void web_window_follow_canvas();
// The browser's sound output: finished blocks are handed to the audio module's block step.
void web_audio_pump();
