// Headless start-up, shared by the automated player, the tests and the benchmarks: none of
// it is part of the game, which always starts with a display.
#pragma once

#include "world/world.h"

// Allegro with no system driver, the given colour depth, the same screen globals and
// bitmaps as the game's video set-up, and `screen` pointed at a memory bitmap of the
// screen's size so that code drawing on the screen runs too.
void init_headless_video(int depth, s16 width, s16 height);

// The game without a display: the assets, the tables and map 901, with rand seeded, a
// manual clock and time_scale fixed at 1 (present_frame measures it instead when
// measured_rate is set), so that a run repeats exactly. No logo, no story, no SPACE wait.
void start_headless_game(unsigned seed, bool measured_rate = false);

// Bytes the program has allocated and not freed. Under the address sanitizer its own count:
// its allocator keeps freed blocks in quarantine, so the resident size alone would not tell.
long heap_in_use();
