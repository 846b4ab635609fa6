// The floor maps: 128 x 128 bitmaps of the floor around the hero, 8 pixels per world unit,
// the hero at the middle pixel. height_map holds each floor's height relative to the feet
// (white where there is none), kind_map its triangle kind; the hero's moves, the triggers
// and the monsters' placing read them.
#pragma once

#include "world/kinds.h"
#include "world/world.h"

extern BITMAP *height_map;
extern BITMAP *kind_map;
extern BITMAP *paint_scratch;

// The point the floor maps were last painted around. The hero moves after painting, so
// whatever reads the maps later in the pass must measure from here, not from where he
// now stands: heights read against his new feet would be off by the step he just took.
extern float floor_map_x, floor_map_y, floor_map_z;

// Floor map geometry: 8 pixels per world unit, the hero at the middle pixel.
enum { FLOOR_MAP_SIZE = 128, FLOOR_MAP_CENTER = 64, FLOOR_MAP_SCALE = 8 };

// Triangles whose centroid lies farther than this from the point painted around, on either
// axis, are left out: a demon wakes when the floor it stands on is painted.
const float PAINT_RADIUS = 5;

// Paints the floor triangles of the depth buckets, far to near, around the point (px, py, pz).
void paint_floor_maps(float px, float py, float pz);

// A floor map pixel at a fractional position, truncated toward zero; -1 outside the map
// (also for positions too far away to convert).
int floor_map_pixel(BITMAP *map, float column, float row);

// What a move finds on height_map. The floor is sampled at whole pixel coordinates, and a
// mover stands on the pixel nearest its point (the hero's point is always whole). A move by
// (dc, dr) pixels from (column, row) is judged by the pixels from the next one in the
// direction of travel to the first at or past where it ends, never by the mover's own: one
// judged by its own pixel walks into a wall's edge and is then held by it. A diagonal
// looks at the whole box, the pixels beside it too, so that no wall's corner is cut.
enum FloorAhead { FLOOR_OPEN, FLOOR_BLOCKED, FLOOR_OFF_MAP };
FloorAhead floor_ahead(float column, float row, float dc, float dr, int white);

// The pixel coordinate a move along one axis ends on, as floor_ahead judges it: the first
// at or past where it ends, and at least the next in the direction it goes.
int floor_target(float at, float move);

// Decodes a height_map value into a floor height relative to the hero's feet.
inline float floor_height(int v)
{
    return v / 256.0f - 2;
}
