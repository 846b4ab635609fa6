// The floor maps: 128 x 128 bitmaps of the floor around the hero, 8 pixels per world unit,
// the hero at the middle pixel. height_map holds each floor's height relative to the feet
// (white where there is none), kind_map its triangle kind; the hero's moves, the triggers
// and the monsters' placing read them.
#pragma once

#include "world/world.h"

extern BITMAP *height_map;
extern BITMAP *kind_map;
extern BITMAP *paint_scratch;

// The point the floor maps were last painted around. The hero moves after painting, so
// whatever reads the maps later in the pass must measure from here, not from where he
// now stands: heights read against his new feet would be off by the step he just took.
extern float floor_map_x, floor_map_y, floor_map_z;

// A floor this far above or below the feet is not floor.
const float FLOOR_REACH = 1.5f;

// Floor map geometry: 8 pixels per world unit, the hero at the middle pixel.
enum { FLOOR_MAP_SIZE = 128, FLOOR_MAP_CENTER = 64, FLOOR_MAP_SCALE = 8 };

// Paints the floor triangles of the depth buckets, far to near, around the point (px, py, pz).
void paint_floor_maps(float px, float py, float pz);

// A floor map pixel at a fractional position, truncated toward zero; -1 outside the map
// (also for positions too far away to convert).
int floor_map_pixel(BITMAP *map, float column, float row);

// Decodes a height_map value into a floor height relative to the hero's feet.
inline float floor_height(int v)
{
    return v / 256.0f - 2;
}
