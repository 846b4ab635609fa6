// Asset loading: sprite frames, object bitmaps, floor bitmaps and the start values.
#pragma once

#include "world/world.h"

enum {
    SPRITE_CHARACTERS = 20,
    SPRITE_ACTIONS = 3,
    SPRITE_FACINGS = 4,
    SPRITE_FRAMES = 6,
    SPRITE_SIZE = 40,
};

extern BITMAP *sprite_frames[SPRITE_CHARACTERS][SPRITE_ACTIONS][SPRITE_FACINGS][SPRITE_FRAMES];
extern s32 hud_band_height;

// Ends the process with status 1 and a line naming the file when an image cannot be read.
void load_assets();
