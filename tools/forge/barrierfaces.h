// What shows that a cell stops the hero low down: hedges, fences and railings, drawn as
// faces of the cell they stand on.
#pragma once

#include <vector>

#include "tools/forge/mapfaces.h"

// How high above the cell's top a fence's posts and a railing's posts reach.
const float FENCE_HEIGHT = 0.9f;
const float RAIL_HEIGHT = 0.9f;

// Whether a railing on the cell runs along its side (EDGE_SOUTH ... EDGE_NORTH): the ground
// drops away there, FLOOR_REACH or more, or ends.
bool rail_runs(const MapSource &src, int col, int row, int side);

// The cell's hedge, fence and railing, in that order.
void add_barrier_faces(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row);
