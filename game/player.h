// The hero: floor maps, movement, climbing, shooting and the camera follow.
#pragma once

#include "world/world.h"

extern BITMAP *height_map;
extern BITMAP *kind_map;
extern BITMAP *paint_scratch;

extern s16 player_facing;
extern s16 player_anim_state;   // 0 standing, 1 walking, 2 shooting
extern float player_anim_frame;
extern double next_shot_time;
extern s32 hurt_flash;
extern uint8_t ground_reached;

void paint_floor_maps(float px, float py, float pz);
void update_player();
void follow_camera();
void prune_map();
