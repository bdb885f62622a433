// The game's texts and screens, shared by the flow and the view. Internal to src/game.
#pragma once

// Layer 2: clears it and draws "%02d %d/%d lvl:%d" at (10, 240 - glyph height).
void game_draw_status_line();
