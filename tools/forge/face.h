// One face of a map: a quad of a cell's top, a bank, a step or a piece of scenery, as the
// faces stage gives it to the light and the written map, before it is cut into triangles
// and baked.
#pragma once

#include <string>

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
