// The map compiler's baked light: sunlight with cast shadows, darkening at the foot of
// walls, and glowing surfaces, painted with the surface's texture into each shadow cell.
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "tools/forge/mapfaces.h"

// The light of one map. prepare() must run before any face is baked.
struct Lighting {
    const MapSource &src;
    float sun[3];
    float ox, oz;
    // What shades: each cell's style, looked up once instead of at every step of every ray.
    std::vector<const CellStyle *> cells;
    float highest = -1e9f;  // nothing stands above this
    bool climbs = false;    // the sun stands above the horizon

    explicit Lighting(const MapSource &source);
    void prepare();
    // The height of whatever stands at (x, z): the cell's top, its crown, its post.
    float height_at(float x, float z) const;
    // 1 in sunlight, 0 in the shadow of something standing between the point and the sun.
    float sunlight(const float *p, const float *n) const;
    // Darkening of a floor point near the foot of a higher neighbour.
    float foot_darkening(const float *p, int col, int row) const;

private:
    float top(int col, int row) const;
};

// Paints the face's texture under its light into the 16 x 16 cell; false with a message
// when the surface is unknown.
bool bake_face(const Face &f, const Lighting &light, BITMAP *cell, std::string &error);
