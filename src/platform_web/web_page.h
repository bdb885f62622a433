// The browser back end's calls into the page around the game (site/tumbler_page.js).
#pragma once
#include <cstdint>

// Tells the page that the game has ended (it then offers to start again).
void web_page_ended();
// A pointer position in the page (CSS pixels from the viewport's corner) as drawing-buffer
// pixels of the canvas; outside the canvas the values run below 0 or past its size.
void web_page_canvas_point(double client_x, double client_y, int32_t* x, int32_t* y);
// The browser's sound output: finished blocks are handed to the audio module's block step.
void web_audio_pump();
