// The map compiler's geometry: the faces of tops, banks, stairs, scenery and curtains.
#include "tools/forge/mapfaces.h"

#include <algorithm>
#include <cmath>

#include "tools/forge/barrierfaces.h"
#include "tools/forge/forge.h"

namespace {

const float CURTAIN_HEIGHT = 2.0f;
const int CURTAIN_STRIPS = 4;
// A gated floor wears its seal a hair above its top: drawn over it, opaque while shut and
// see-through once open, and never walked on.
const float SEAL_LIFT = 0.03f;
const float SKIRT_DEPTH = 1.0f;  // how far a map's outer edge reaches down into the dark
// The renderer draws the hero over whatever lies less than a few units of depth nearer than
// his feet, and orders a face by its triangles' middles: a top this high above floor beside it
// reaches that near, and in one piece its half behind him would be drawn over him too. Such a
// top is cut into strips across, each ordered by its own middle.
const float STRIP_RISE = 1.0f;
const int TOP_STRIPS = 4;

// The lowest visible point of a cell: its bed when it has one, the foot of its stairs.
float bottom_of(const MapSource &src, int col, int row)
{
    const CellStyle &s = cell_style(src, col, row);
    if (s.is_void)
        return -1e9f;
    return s.has_bed ? s.bed_height : s.has_stairs ? s.stairs_low : s.height;
}

void set_corner(float *p, float x, float y, float z)
{
    p[0] = x;
    p[1] = y;
    p[2] = z;
}

void add_top(std::vector<Face> &faces, const MapSource &src, int col, int row, float y,
             const std::string &surface, int kind, bool wall, int transparency)
{
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row;
    Face f;
    set_corner(f.p[0], x, y, z);
    set_corner(f.p[1], x, y, z + 1);
    set_corner(f.p[2], x + 1, y, z + 1);
    set_corner(f.p[3], x + 1, y, z);
    set_corner(f.n, 0, 1, 0);
    f.v_span = 1;
    f.surface = surface;
    f.kind = kind;
    f.wall = wall;
    f.transparency = transparency;
    f.floor = true;
    f.col = col;
    f.row = row;
    faces.push_back(f);
}

// A vertical face from `top` down to `bottom` along one cell edge, split into segments of at
// most one unit so that whole-triangle culling at the screen edges loses little.
// dir: 0 faces +z (south), 1 faces -x (west), 2 faces +x (east).
void add_side(std::vector<Face> &faces, const MapSource &src, int col, int row, int dir, float top, float bottom,
              const std::string &surface, int kind, int transparency, float offset = -1)
{
    float x0 = map_origin_x(src) + col, z0 = map_origin_z(src) + row;
    float y = top;
    while (y - bottom > 1e-4f) {
        float h = std::min(1.0f, y - bottom);
        Face f;
        float lo = y - h;
        if (dir == 0) {
            float z = offset >= 0 ? z0 + offset : z0 + 1;
            set_corner(f.p[0], x0, y, z);
            set_corner(f.p[1], x0, lo, z);
            set_corner(f.p[2], x0 + 1, lo, z);
            set_corner(f.p[3], x0 + 1, y, z);
            set_corner(f.n, 0, 0, 1);
        } else if (dir == 1) {
            float x = offset >= 0 ? x0 + offset : x0;
            set_corner(f.p[0], x, y, z0);
            set_corner(f.p[1], x, lo, z0);
            set_corner(f.p[2], x, lo, z0 + 1);
            set_corner(f.p[3], x, y, z0 + 1);
            set_corner(f.n, -1, 0, 0);
        } else {
            float x = offset >= 0 ? x0 + offset : x0 + 1;
            set_corner(f.p[0], x, y, z0 + 1);
            set_corner(f.p[1], x, lo, z0 + 1);
            set_corner(f.p[2], x, lo, z0);
            set_corner(f.p[3], x, y, z0);
            set_corner(f.n, 1, 0, 0);
        }
        f.v_span = h;
        f.surface = surface;
        f.kind = kind;
        f.wall = true;  // a vertical face would rasterise as a line of floor at its top
        f.transparency = transparency;
        f.col = col;
        f.row = row;
        faces.push_back(f);
        y = lo;
    }
}

// A box of scenery standing in cell (col, row): x0..x1, z0..z1 in world units, from y0 up
// to y1. Its top and the three faces the camera can see (south, west, east); the top is
// floor only for stairs. Sides are cut into pieces at most one unit tall, as walls are.
// The corners and normal of an upright face of the box (x0..x1, z0..z1) between heights
// `bottom` and `top`: dir 0 its south side, 1 its west side, 2 its east side.
void set_side(Face &f, int dir, float x0, float z0, float x1, float z1, float top, float bottom)
{
    if (dir == 0) {
        set_corner(f.p[0], x0, top, z1);
        set_corner(f.p[1], x0, bottom, z1);
        set_corner(f.p[2], x1, bottom, z1);
        set_corner(f.p[3], x1, top, z1);
        set_corner(f.n, 0, 0, 1);
    } else if (dir == 1) {
        set_corner(f.p[0], x0, top, z0);
        set_corner(f.p[1], x0, bottom, z0);
        set_corner(f.p[2], x0, bottom, z1);
        set_corner(f.p[3], x0, top, z1);
        set_corner(f.n, -1, 0, 0);
    } else {
        set_corner(f.p[0], x1, top, z1);
        set_corner(f.p[1], x1, bottom, z1);
        set_corner(f.p[2], x1, bottom, z0);
        set_corner(f.p[3], x1, top, z0);
        set_corner(f.n, 1, 0, 0);
    }
}

void add_box(std::vector<Face> &faces, int col, int row, float x0, float z0, float x1, float z1, float y0, float y1,
             const std::string &top_surface, const std::string &side_surface, int transparency, bool floor_top)
{
    Face top;
    set_corner(top.p[0], x0, y1, z0);
    set_corner(top.p[1], x0, y1, z1);
    set_corner(top.p[2], x1, y1, z1);
    set_corner(top.p[3], x1, y1, z0);
    set_corner(top.n, 0, 1, 0);
    top.v_span = 1;
    top.surface = top_surface;
    top.wall = !floor_top;
    top.floor = floor_top;
    top.transparency = transparency;
    top.col = col;
    top.row = row;
    faces.push_back(top);
    for (int dir = 0; dir < 3; dir++) {
        float y = y1;
        while (y - y0 > 1e-4f) {
            float h = std::min(1.0f, y - y0), lo = y - h;
            Face f;
            set_side(f, dir, x0, z0, x1, z1, y, lo);
            f.v_span = h;
            f.surface = side_surface;
            f.wall = true;
            f.transparency = transparency;
            f.col = col;
            f.row = row;
            faces.push_back(f);
            y = lo;
        }
    }
}

// A crown is drawn half see-through, so that the hero is never lost behind a tree.
const int CROWN_TRANSPARENCY = 50;

void add_scenery(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row)
{
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row;
    if (s.post_width > 0) {
        float a = 0.5f - s.post_width / 2, b = 0.5f + s.post_width / 2;
        add_box(faces, col, row, x + a, z + a, x + b, z + b, s.height, s.height + s.post_height, s.post_surface,
                s.post_surface, 0, false);
    }
    if (s.crown_top > 0) {
        // Two tiers, so that it does not read as a crate: the lower a little wider than the
        // cell, so that neighbouring crowns grow into one canopy, the upper narrower.
        const float over = 0.15f, inset = 0.2f;
        float mid = s.height + s.crown_bottom + (s.crown_top - s.crown_bottom) * 0.6f;
        add_box(faces, col, row, x - over, z - over, x + 1 + over, z + 1 + over, s.height + s.crown_bottom, mid,
                s.crown_surface, s.crown_surface, CROWN_TRANSPARENCY, false);
        add_box(faces, col, row, x + inset, z + inset, x + 1 - inset, z + 1 - inset, mid, s.height + s.crown_top,
                s.crown_surface, s.crown_surface, CROWN_TRANSPARENCY, false);
    }
    add_barrier_faces(faces, src, s, col, row);
}

// How many strips the cell's top is cut into: several when it stands high above floor beside
// it where the hero can stand (not water or lava, which he never enters: a shore needs none).
int top_strips(const MapSource &src, int col, int row)
{
    const float rise = cell_style(src, col, row).height - STRIP_RISE;
    const int dcol[4] = {0, 0, -1, 1}, drow[4] = {-1, 1, 0, 0};
    for (int dir = 0; dir < 4; dir++) {
        const CellStyle &n = cell_style(src, col + dcol[dir], row + drow[dir]);
        if (cell_is_floor(src, col + dcol[dir], row + drow[dir]) && !reads_as_water(n) && n.height <= rise)
            return TOP_STRIPS;
    }
    return 1;
}

// The seal the cell's kind lays over it: over a sealed floor the map group's key or gem,
// over a floor that opens when the map is clean the barrier, over the gem gate its stones. It is
// cut as its top is, so that each piece is drawn over the piece of top under it.
void add_seal(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row, int strips)
{
    const FloorKind &k = floor_kind(s.kind);
    if (!k.seal)
        return;
    add_top(faces, src, col, row, s.height + SEAL_LIFT, drawn_surface(k.seal_surface, src.number), k.seal, true, 0);
    faces.back().strips = strips;
}

// Stairs: three strips climbing north, each a floor with its riser and its own ends.
void add_stairs(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row)
{
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row;
    float west = bottom_of(src, col - 1, row), east = bottom_of(src, col + 1, row);
    for (int k = 0; k < 3; k++) {
        float h = s.stairs_low + (s.height - s.stairs_low) * (3 - k) / 3;
        float below = k < 2 ? s.stairs_low + (s.height - s.stairs_low) * (2 - k) / 3
                            : std::max(bottom_of(src, col, row + 1), s.stairs_low - SKIRT_DEPTH);
        float z0 = z + k / 3.0f, z1 = z + (k + 1) / 3.0f;
        Face top;
        set_corner(top.p[0], x, h, z0);
        set_corner(top.p[1], x, h, z1);
        set_corner(top.p[2], x + 1, h, z1);
        set_corner(top.p[3], x + 1, h, z0);
        set_corner(top.n, 0, 1, 0);
        top.v_span = 1.0f / 3;  // a third of the picture, not all of it squeezed
        top.surface = s.surface;
        top.kind = s.kind;
        top.floor = true;
        top.col = col;
        top.row = row;
        faces.push_back(top);
        // The riser, and the ends where a neighbour lies lower.
        const float ends[3] = {below, west, east};
        for (int dir = 0; dir < 3; dir++) {
            float foot = std::max(ends[dir], h - 6.0f);
            if (ends[dir] < -1e8f)
                foot = h - SKIRT_DEPTH;
            if (foot >= h - 1e-4f)
                continue;
            Face f;
            set_side(f, dir, x, z0, x + 1, z1, h, foot);
            f.v_span = std::min(1.0f, h - foot);
            f.surface = s.side_surface;
            f.wall = true;
            f.col = col;
            f.row = row;
            faces.push_back(f);
        }
    }
}

}  // namespace

std::vector<Face> collect_faces(const MapSource &src)
{
    std::vector<Face> faces;
    for (int row = 0; row < src.height; row++)
        for (int col = 0; col < src.width; col++) {
            const CellStyle &s = cell_style(src, col, row);
            if (s.is_void)
                continue;
            add_scenery(faces, src, s, col, row);
            if (s.has_stairs) {
                add_stairs(faces, src, s, col, row);
                continue;
            }
            if (s.has_bed)
                add_top(faces, src, col, row, s.bed_height, s.bed_surface, 0, true, 0);
            add_top(faces, src, col, row, s.height, s.surface, s.kind, s.blocking, s.transparency);
            faces.back().cell_top = true;
            faces.back().strips = top_strips(src, col, row);
            add_seal(faces, src, s, col, row, faces.back().strips);

            // Faces down to every lower neighbour seen from the camera's side (never north:
            // the camera looks toward -z and would only see their backs).
            const int dcol[3] = {0, -1, 1}, drow[3] = {1, 0, 0};
            float own_bottom = bottom_of(src, col, row);
            for (int dir = 0; dir < 3; dir++) {
                int nc = col + dcol[dir], nr = row + drow[dir];
                const CellStyle &n = cell_style(src, nc, nr);
                float target = n.is_void ? own_bottom - SKIRT_DEPTH : bottom_of(src, nc, nr);
                if (dir == 0 && n.has_stairs)
                    target = n.height;  // stairs to the south meet this cell with their top step
                // A cell with a bed shows its own bank only down to the bed, from inside.
                if (target < s.height - 1e-4f) {
                    size_t first = faces.size();
                    add_side(faces, src, col, row, dir, s.height, std::max(target, s.height - 6.0f),
                             s.side_surface, 0, 0);
                    for (size_t i = first; i < faces.size(); i++) {
                        faces[i].bank = dir;
                        faces[i].bank_top = i == first;
                    }
                }
            }

            if (s.curtain_kind) {
                // The curtain stands across the way through the cell: facing the camera when
                // the way runs north-south, edge-on (both sides drawn) when it runs east-west.
                auto passable = [&](int c, int r) {
                    const CellStyle &n = cell_style(src, c, r);
                    return !n.is_void && !n.blocking && std::fabs(n.height - s.height) < FLOOR_REACH;
                };
                bool east_west = passable(col - 1, row) && passable(col + 1, row);
                bool north_south = passable(col, row - 1) && passable(col, row + 1);
                float top = s.height + CURTAIN_HEIGHT;
                // A seal shows the colour of the map group's key or gem.
                std::string curtain = drawn_surface(s.curtain_surface, src.number);
                size_t first = faces.size();
                if (north_south || !east_west) {
                    add_side(faces, src, col, row, 0, top, s.height, curtain, s.curtain_kind, 0, 0.5f);
                } else {
                    add_side(faces, src, col, row, 1, top, s.height, curtain, s.curtain_kind, 0, 0.5f);
                    add_side(faces, src, col, row, 2, top, s.height, curtain, s.curtain_kind, 0, 0.5f);
                }
                // The hero passes right in front of it: in bands, only its top is drawn over him.
                for (size_t i = first; i < faces.size(); i++)
                    faces[i].strips = CURTAIN_STRIPS;
            }
        }
    return faces;
}
