// The map compiler's faces: the quads of a map's cells and scenery, before they are cut
// into triangles and baked.
#pragma once

#include <string>
#include <vector>

#include "tools/forge/mapsource.h"

// The sides of a cell: banks face south, west or east (the camera never sees a north one).
enum { EDGE_SOUTH, EDGE_WEST, EDGE_EAST, EDGE_NORTH };

struct Face {
    float p[4][3];  // corners; (p1 - p0) x (p3 - p0) is the outward normal
    float n[3];
    float v_span;   // texture repeats per unit: v runs 0..16 * v_span from p0 to p1
    std::string surface;
    int kind = 0;
    bool wall = false;
    int transparency = 0;
    bool floor = false;   // a top face: takes cast shadows and the darkening at wall feet
    int col = 0, row = 0; // the cell it belongs to
    bool cell_top = false; // the top of its cell (not a bed, stairs or scenery)
    int bank = -1;         // a bank down to a lower neighbour, toward EDGE_SOUTH, _WEST or _EAST ...
    bool bank_top = false; // ... and its highest piece, the one that meets the top
    // Drawn as this many strips from p0-p3 to p1-p2, each showing its part of the face's one
    // picture: the renderer orders a triangle by its middle, and a raised top in one piece
    // would be drawn over the hero where it lies behind him.
    int strips = 1;
};

// The triangles a face becomes: two a strip.
inline int face_triangles(const Face &f)
{
    return 2 * f.strips;
}

// Every face of the map in cell order: tops, the sides the camera can see, stairs, scenery
// and curtains.
std::vector<Face> collect_faces(const MapSource &src);
