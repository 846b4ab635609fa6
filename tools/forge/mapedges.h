// How a map's steps read: the brightness on the two sides of every edge where the ground's
// height changes by half a unit or more, taken from the baked pictures of the faces there.
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "tools/forge/mapfaces.h"
#include "tools/forge/maplight.h"
#include "world/world.h"

// A change of height this large must read on screen.
const float EDGE_MIN_RISE = 0.5f;
// The least difference in brightness (luminance, 0 to 255) between the band of the higher
// top along the edge and the band beyond it: its bank, or the lower floor behind it.
const float EDGE_MIN_CONTRAST = 24.0f;
// The bands are as deep as a top's rim, in world units.
const float EDGE_BAND = (float)RIM_TEXELS / SHADOW_CELL;

struct HeightEdge {
    int col = 0, row = 0;  // the higher cell
    int side = 0;          // where the lower one lies (EDGE_SOUTH ... EDGE_NORTH)
    float rise = 0;
    float contrast = 0;    // filled in by measure_height_edges ...
    bool measured = false; // ... unless what shows behind a back edge is stairs or scenery
};

// Every step of EDGE_MIN_RISE or more with reachable floor on one side or the other
// (reach as reachable_floor gives it). Stairs are left out: they are all steps.
std::vector<HeightEdge> height_edges(const MapSource &m, const std::vector<char> &reach);

// Bakes the faces each step shows and fills in its contrast; false with a message when a
// face cannot be baked.
bool measure_height_edges(const MapSource &m, std::vector<HeightEdge> &edges, std::string &error);

// Mean luminance of a rectangle of texels, both corners included.
float mean_luminance(BITMAP *bmp, int x0, int y0, int x1, int y1);
