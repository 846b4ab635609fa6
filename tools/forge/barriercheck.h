// What stops the hero must look like it does: seen from the tilted camera, a cell that
// blocks the way but stands only a little above the floor reads as a strip of floor or a
// line, and a drop whose face points away from the camera is not seen at all.
#pragma once

#include <string>
#include <vector>

#include "tools/forge/campaignmaps.h"

// Whatever blocks the hero rises at least this far above the floor beside it: its top, or
// scenery standing on it (a post, a fence, a hedge, a crown that comes down to the ground).
const float BARRIER_MIN_RISE = 0.8f;

// One edge between floor the hero reaches and what stops him there, where nothing shows it.
struct BarrierBreak {
    int col = 0, row = 0;  // the cell that must show it: the low wall, or the floor above a drop
    int side = 0;          // where the floor (or the drop) lies from it (EDGE_SOUTH ... EDGE_NORTH)
    float rise = 0;        // how far it rises above that floor; for a drop, how deep the drop is
    bool drop = false;
};

// How far the cell's top or its scenery rises above a floor at `floor`.
float barrier_rise(const CellStyle &s, float floor);

// Every edge of the map that breaks the rule.
std::vector<BarrierBreak> barrier_breaks(const Campaign &campaign, const MapSource &m);

// Appends the map's breaks, the first few named by cell, the rest counted.
void check_barriers(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems);
