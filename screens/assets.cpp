// Asset loading.
#include "screens/assets.h"

BITMAP *sprite_frames[SPRITE_CHARACTERS][SPRITE_ACTIONS][SPRITE_FACINGS][SPRITE_FRAMES];
s32 hud_band_height;
