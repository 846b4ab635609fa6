// The map compiler's baked light: sunlight with cast shadows, darkening at the foot of
// walls, and glowing surfaces, painted with the surface's texture into each shadow cell.
#pragma once

#include <allegro.h>
#include <string>
#include <vector>

#include "tools/forge/mapfaces.h"

// The rims of a raised top, in texels from its edge: a lip over a bank, an outline at its back.
const int RIM_TEXELS = 2;
// The line of sight falls this much for every unit north: in the middle of the view (the
// camera's tilt, height squashed to 0.8), and three units north of it, where steps are still
// read.
const float VIEW_FALL_NEAR = 1.25f, VIEW_FALL_FAR = 0.75f;

// How a top's texel is drawn: as it lies, or as a rim along an edge that drops.
enum Rim { RIM_NONE, RIM_LIP, RIM_OUTLINE };
// A texel's colour drawn as a rim: a lip is lit and lighter, an outline dark.
int rim_colour(int c, Rim rim);

// What the camera sees past the north edge of a raised top: the top of a cell further
// north, or the south bank of one that rises again.
struct Behind {
    bool found = false;  // nothing but the dark beyond the map otherwise
    int col = 0, row = 0;
    bool bank = false;   // the cell's south bank, else its top
    float into = 0;      // on a top, how far north of its south edge; on a bank, how far below its top
};

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
    // How far the neighbour toward a side (EDGE_SOUTH ...) lies below the cell's top; 0 when
    // there is nothing there.
    float drop(int col, int row, int side) const;
    // What the camera sees just past the north edge of a cell's top, along a line of sight
    // that falls `fall` units for every unit north: VIEW_FALL_NEAR near the middle of the
    // view, VIEW_FALL_FAR toward its top.
    Behind behind_north(int col, int row, float fall) const;
    // The light on the top of a cell at a point of it (x, z), shadows and wall feet counted.
    float top_light(int col, int row, float x, float z) const;
    // About how bright (luminance, 0 to 255) what is seen behind a north edge shows at x,
    // through a see-through top as the game blends it.
    float seen_luminance(const Behind &b, float x) const;

private:
    float top(int col, int row) const;
};

// Paints the face's texture under its light into the 16 x 16 cell; false with a message
// when the surface is unknown.
bool bake_face(const Face &f, const Lighting &light, BITMAP *cell, std::string &error);
