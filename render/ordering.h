// Draw ordering: the depth buckets, sprite projection and triangle culling.
#pragma once

#include "world/world.h"

enum {
    DEPTH_BUCKETS = 23000,
    BUCKET_PLAYER = 1,
    BUCKET_MONSTER_BASE = 2,
    BUCKET_ITEM_BASE = 50,
    BUCKET_TRIANGLE_BASE = 100,
    DEPTH_KEY_SCALE = 75,
    SPRITE_DEPTH_BIAS = 400,
};

extern s16 depth_buckets[DEPTH_BUCKETS];
extern s32 depth_range;
extern s16 depth_low, depth_high;

extern s16 player_screen_x, player_screen_y;
extern float player_sprite_scale;

void place_in_bucket(s32 key, s16 code);
void project_sprites();
void sort_scene();

// Empties the buckets used this pass and resets the markers, so that codes of an old scene
// are never drawn with a new one; the scene build calls it after every rebuild.
void clear_depth_buckets();
