// The hero: floor maps, movement, shooting and the camera follow.
#include "game/player.h"

BITMAP *height_map;
BITMAP *kind_map;
BITMAP *paint_scratch;

s16 player_facing;
s16 player_anim_state;
float player_anim_frame;
double next_shot_time;
s32 hurt_flash;
uint8_t ground_reached;
