// Draw ordering: the depth buckets, sprite projection and triangle culling.
#include "render/ordering.h"

s16 depth_buckets[DEPTH_BUCKETS];
s32 depth_range;
s16 depth_low, depth_high;

s16 player_screen_x, player_screen_y;
float player_sprite_scale;
