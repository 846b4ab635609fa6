// What shows that a cell stops the hero low down: hedges, fences and railings, drawn as
// faces of the cell they stand on; and the shore, drawn out over water to where his feet reach.
#pragma once

#include <vector>

#include "tools/forge/face.h"
#include "tools/forge/mapcells.h"

// How high above the cell's top a fence's posts and a railing's posts reach.
const float FENCE_HEIGHT = 0.9f;
const float RAIL_HEIGHT = 0.9f;

// The hero is stopped within a pixel of a cell's edge, but his feet are drawn a third of a
// unit and more beside the point he stands on: where water or lava lies east or west of the
// floor, the shore is drawn this far out over it, a ledge he cannot step onto, so that he
// never seems to stand on the water. (North and south his feet are drawn where he stands.)
const float SHORE_LEDGE = 0.2f;

// Water and lava: they read as barriers by their look.
bool reads_as_water(const CellStyle &s);

// Whether a railing on the cell runs along its side (EDGE_SOUTH ... EDGE_NORTH): the ground
// drops away there, FLOOR_REACH or more, or ends.
bool rail_runs(const MapSource &src, int col, int row, int side);

// The cell's hedge, fence, railing and shore ledges, in that order.
void add_barrier_faces(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row);
