// Asset loading: sprite frames, object bitmaps, floor bitmaps and the start values.
#pragma once

#include "world/world.h"

enum { OBJECT_FILES = 14 };

extern s32 hud_band_height;
// Each HUD band is this fraction of the screen's height (the top one a row more).
enum { HUD_BAND_DIVISOR = 5 };

// The object pictures in the order of object_bitmaps: heart, keys, gems, arrows.
extern const char *object_files[OBJECT_FILES];

// Ends the process with status 1 and a line naming the file when an image cannot be read.
void load_assets();

// The world's motion as a game starts it (the water's swell, the texture scroll's step) and
// the HUD bands' height: what load_assets sets besides the pictures, for a harness that
// draws the world without them.
void set_world_motion();

// The values a game starts from: health, no kills, an empty inventory, and no monsters,
// items or cleared maps until the tables are read. Asset loading sets them; a harness that
// plays a new game sets them again.
void reset_game_values();
