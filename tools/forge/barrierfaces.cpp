// The barrier scenery: hedges, fences and railings, the things that show a cell stops the
// hero where its own top stands too low to; and the ledges of the shore.
#include "tools/forge/barrierfaces.h"

#include <algorithm>

#include "world/kinds.h"

namespace {

struct Box {
    float x0, z0, x1, z1;  // world units
    float y0, y1;
};

// An upright face of the box toward `side` (south, west or east) from `top` down to `bottom`:
// corners so that (p1 - p0) x (p3 - p0) points out of the box.
void set_box_side(Face &f, const Box &b, int side, float top, float bottom)
{
    const float x[3][2] = {{b.x0, b.x1}, {b.x0, b.x0}, {b.x1, b.x1}};
    const float z[3][2] = {{b.z1, b.z1}, {b.z0, b.z1}, {b.z1, b.z0}};
    const float n[3][3] = {{0, 0, 1}, {-1, 0, 0}, {1, 0, 0}};
    const float corner[4][3] = {{x[side][0], top, z[side][0]},
                                {x[side][0], bottom, z[side][0]},
                                {x[side][1], bottom, z[side][1]},
                                {x[side][1], top, z[side][1]}};
    for (int k = 0; k < 4; k++)
        std::copy(corner[k], corner[k] + 3, f.p[k]);
    std::copy(n[side], n[side] + 3, f.n);
}

Face scenery_face(int col, int row, const std::string &surface, int transparency)
{
    Face f;
    f.surface = surface;
    f.wall = true;  // scenery is seen; the cell is what blocks
    f.transparency = transparency;
    f.col = col;
    f.row = row;
    return f;
}

// The box's top (when asked) and the sides the camera can see; `down[side]` is how far down
// each side reaches (the box's foot, or the top of what hides the rest), and a side that
// reaches nowhere is left out. Sides are cut into pieces at most one unit tall, as walls are.
void add_box(std::vector<Face> &faces, int col, int row, const Box &b, const float down[3],
             const std::string &surface, int transparency, bool with_top)
{
    Face top = scenery_face(col, row, surface, transparency);
    const float corner[4][3] = {{b.x0, b.y1, b.z0}, {b.x0, b.y1, b.z1}, {b.x1, b.y1, b.z1}, {b.x1, b.y1, b.z0}};
    for (int k = 0; k < 4; k++)
        std::copy(corner[k], corner[k] + 3, top.p[k]);
    top.n[0] = top.n[2] = 0;
    top.n[1] = 1;
    top.v_span = 1;
    if (with_top)
        faces.push_back(top);
    for (int side = EDGE_SOUTH; side <= EDGE_EAST; side++)
        for (float y = b.y1; y - down[side] > 1e-4f;) {
            float lo = std::max(down[side], y - 1.0f);
            Face f = scenery_face(col, row, surface, transparency);
            set_box_side(f, b, side, y, lo);
            f.v_span = y - lo;
            faces.push_back(f);
            y = lo;
        }
}

void add_solid_box(std::vector<Face> &faces, int col, int row, const Box &b, const std::string &surface)
{
    const float down[3] = {b.y0, b.y0, b.y0};
    add_box(faces, col, row, b, down, surface, 0, true);
}

const CellStyle &beside(const MapSource &src, int col, int row, int side)
{
    int dc, dr;
    edge_step(side, &dc, &dr);
    return cell_style(src, col + dc, row + dr);
}

// A hedge is see-through where the hero can stand just north of it, so that it never hides
// him; elsewhere it is as dense as a thicket.
const int HEDGE_TRANSPARENCY = 30;
// Where a hedge ends it stands back from the cell's edge a little, so that it reads as grown,
// not built; hedges side by side grow into one. Its upper part is narrower: a rounded crown.
const float HEDGE_GAP = 0.04f, HEDGE_CROWN_INSET = 0.14f, HEDGE_SHOULDER = 0.7f;

void add_hedge(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row)
{
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row;
    float top = s.height + s.hedge_height, shoulder = s.height + s.hedge_height * HEDGE_SHOULDER;
    float gap[4], crown_gap[4], down[3], crown_down[3];
    int joined_sides = 0;
    for (int side = EDGE_SOUTH; side <= EDGE_NORTH; side++) {
        const CellStyle &n = beside(src, col, row, side);
        bool joined = !n.is_void && !n.hedge_surface.empty();
        joined_sides += joined;
        gap[side] = joined ? 0 : HEDGE_GAP;
        crown_gap[side] = joined ? 0 : HEDGE_CROWN_INSET;
        if (side == EDGE_NORTH)
            continue;
        // A side shows only above what stands against it: the next hedge, a thicket, a wall.
        float against = n.is_void ? s.height : joined ? n.height + n.hedge_height * HEDGE_SHOULDER : n.height;
        down[side] = std::max(s.height, std::min(shoulder, against));
        crown_down[side] = joined ? std::max(shoulder, std::min(top, n.height + n.hedge_height)) : shoulder;
    }
    const CellStyle &north = beside(src, col, row, EDGE_NORTH);
    int trans = !north.is_void && !north.blocking ? HEDGE_TRANSPARENCY : 0;
    Box body{x + gap[EDGE_WEST], z + gap[EDGE_NORTH], x + 1 - gap[EDGE_EAST], z + 1 - gap[EDGE_SOUTH], s.height,
             shoulder};
    // Grown together on every side, the crown covers the whole cell and the body's top with it.
    add_box(faces, col, row, body, down, s.hedge_surface, trans, joined_sides < 4);
    Box crown{x + crown_gap[EDGE_WEST], z + crown_gap[EDGE_NORTH], x + 1 - crown_gap[EDGE_EAST],
              z + 1 - crown_gap[EDGE_SOUTH], shoulder, top};
    add_box(faces, col, row, crown, crown_down, s.hedge_surface, trans, true);
}

bool fenced(const MapSource &src, int col, int row, int side)
{
    const CellStyle &n = beside(src, col, row, side);
    return !n.is_void && !n.fence_surface.empty();
}

// Two posts and two rails across the cell, east-west or north-south through its middle.
void add_fence_run(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row,
                   bool east_west)
{
    const float post = 0.07f, rail = 0.04f, rail_depth = 0.12f;
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row, y = s.height;
    for (float along : {0.2f, 0.8f}) {
        float px = east_west ? along : 0.5f, pz = east_west ? 0.5f : along;
        add_solid_box(faces, col, row, {x + px - post, z + pz - post, x + px + post, z + pz + post, y, y + FENCE_HEIGHT},
                      s.fence_surface);
    }
    for (float ry : {0.35f, 0.7f}) {
        Box b = east_west ? Box{x, z + 0.5f - rail, x + 1, z + 0.5f + rail, y + ry, y + ry + rail_depth}
                          : Box{x + 0.5f - rail, z, x + 0.5f + rail, z + 1, y + ry, y + ry + rail_depth};
        add_solid_box(faces, col, row, b, s.fence_surface);
    }
}

// A fence runs along the line the fenced cells make: east-west unless its only fenced
// neighbours lie north or south of it, and both ways where two lines meet.
void add_fence(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row)
{
    bool north_south = fenced(src, col, row, EDGE_NORTH) || fenced(src, col, row, EDGE_SOUTH);
    bool east_west = fenced(src, col, row, EDGE_WEST) || fenced(src, col, row, EDGE_EAST) || !north_south;
    if (east_west)
        add_fence_run(faces, src, s, col, row, true);
    if (north_south)
        add_fence_run(faces, src, s, col, row, false);
}

// A railing along one side of the cell, just inside its edge: two posts and two rails.
void add_railing(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row, int side)
{
    const float inset = 0.06f, post = 0.06f, rail = 0.035f;
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row, y = s.height;
    bool east_west = side == EDGE_SOUTH || side == EDGE_NORTH;
    // The line the railing follows, across the cell: z for an east-west one, x for the other.
    float line = side == EDGE_NORTH ? inset : side == EDGE_WEST ? inset : 1 - inset;
    for (float along : {0.15f, 0.85f}) {
        float px = east_west ? along : line, pz = east_west ? line : along;
        add_solid_box(faces, col, row, {x + px - post, z + pz - post, x + px + post, z + pz + post, y, y + RAIL_HEIGHT},
                      s.rail_surface);
    }
    for (float ry : {RAIL_HEIGHT / 2, RAIL_HEIGHT - 2 * rail}) {
        Box b = east_west ? Box{x, z + line - rail, x + 1, z + line + rail, y + ry - rail, y + ry + rail}
                          : Box{x + line - rail, z, x + line + rail, z + 1, y + ry - rail, y + ry + rail};
        add_solid_box(faces, col, row, b, s.rail_surface);
    }
}

// Ledges over the water east and west of a floor cell: the cell's top carried out over it,
// with the bank beneath. The side against the floor is never seen; the south side shows only
// below what lies south of the ledge.
void add_shore_ledges(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row)
{
    float x = map_origin_x(src) + col, z = map_origin_z(src) + row;
    for (int side : {EDGE_WEST, EDGE_EAST}) {
        const CellStyle &n = beside(src, col, row, side);
        if (n.is_void || !reads_as_water(n) || s.height - n.height < FLOOR_REACH)
            continue;
        int dc = side == EDGE_WEST ? -1 : 1;
        float foot = n.has_bed ? n.bed_height : n.height;
        const CellStyle &south = cell_style(src, col + dc, row + 1);
        float down[3];
        down[EDGE_SOUTH] = south.is_void ? foot : std::max(foot, std::min(s.height, south.height));
        down[EDGE_WEST] = side == EDGE_WEST ? foot : s.height;
        down[EDGE_EAST] = side == EDGE_EAST ? foot : s.height;
        float x0 = side == EDGE_WEST ? x - SHORE_LEDGE : x + 1, x1 = x0 + SHORE_LEDGE;
        size_t first = faces.size();
        add_box(faces, col, row, {x0, z, x1, z + 1, foot, s.height}, down, s.surface, 0, true);
        faces[first].floor = true;  // lit as the ground it carries on, never walked on
        for (size_t i = first + 1; i < faces.size(); i++)
            faces[i].surface = s.side_surface;
    }
}

}  // namespace

bool reads_as_water(const CellStyle &s)
{
    return s.surface == "water" || s.surface == "lava";
}

bool rail_runs(const MapSource &src, int col, int row, int side)
{
    const CellStyle &s = cell_style(src, col, row), &n = beside(src, col, row, side);
    return !s.is_void && (n.is_void || s.height - n.height >= FLOOR_REACH);
}

void add_barrier_faces(std::vector<Face> &faces, const MapSource &src, const CellStyle &s, int col, int row)
{
    if (!s.hedge_surface.empty())
        add_hedge(faces, src, s, col, row);
    if (!s.fence_surface.empty())
        add_fence(faces, src, s, col, row);
    if (!s.rail_surface.empty())
        for (int side = EDGE_SOUTH; side <= EDGE_NORTH; side++)
            if (rail_runs(src, col, row, side))
                add_railing(faces, src, s, col, row, side);
    if (!s.blocking && !s.has_stairs)
        add_shore_ledges(faces, src, s, col, row);
}
