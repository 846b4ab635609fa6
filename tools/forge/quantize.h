// Shadow strips in 8 bits: the baked cells are textures times light, so a strip's colours
// cluster, and a palette of its own 256 colours holds them closely at a third of the size.
#pragma once

#include <allegro.h>

// A new 8-bit copy of `strip` (any depth) with its colours in `pal`: entry 0 is black, and
// every pixel that is black (or within the palette's precision of it) becomes index 0, so
// the empty cells of a strip stay colour 0; every other pixel is the nearest entry of a
// palette chosen by median cut and refined. Null when there is no memory.
BITMAP *reduce_strip(BITMAP *strip, RGB *pal);

// What a palette entry reads back as, in 8 bits a channel (entries hold 6).
void palette_colour(const RGB &c, int &r, int &g, int &b);
