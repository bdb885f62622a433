// The per-frame present: uploads the changed rows of every layer, then draws the layers in
// order and swaps. Owned by graph; the game calls it once at the end of every tick.
#pragma once

// Uploads the upload rectangle's rows of each active layer and resets it; when some layer
// changed, clears, draws every active layer in index order and swaps. Otherwise does nothing.
void g_present();
