// The floor maps: the floor around the hero, painted each pass from the depth buckets that
// ordering has just filled, with its heights and its kinds.
#include "game/floormap.h"

#include <algorithm>
#include <cmath>

#include "game/scene.h"
#include "render/ordering.h"

BITMAP *height_map;
BITMAP *kind_map;
BITMAP *paint_scratch;
float floor_map_x, floor_map_y, floor_map_z;

int floor_map_pixel(BITMAP *map, float column, float row)
{
    // Anything this far out is outside the map; it must not reach the int conversion.
    if (!(std::fabs(column) < 1e6f && std::fabs(row) < 1e6f))
        return -1;
    return getpixel(map, (int)column, (int)row);
}

static int nearest_pixel(float at)
{
    return (int)std::floor(at + 0.5f);
}

int floor_target(float at, float move)
{
    int own = nearest_pixel(at);
    if (move > 0) {
        int end = (int)std::ceil(at + move);
        return end > own ? end : own + 1;
    }
    if (move < 0) {
        int end = (int)std::floor(at + move);
        return end < own ? end : own - 1;
    }
    return own;
}

FloorAhead floor_ahead(float column, float row, float dc, float dr, int white)
{
    const float far = 1e6f;  // nothing this far out is on the map, nor must reach an int
    if (!(std::fabs(column) + std::fabs(dc) < far && std::fabs(row) + std::fabs(dr) < far))
        return FLOOR_OFF_MAP;
    int c = nearest_pixel(column), r = nearest_pixel(row);
    int tc = floor_target(column, dc), tr = floor_target(row, dr);
    FloorAhead found = FLOOR_OPEN;
    for (int i = std::min(c, tc); i <= std::max(c, tc); i++)
        for (int j = std::min(r, tr); j <= std::max(r, tr); j++) {
            if (i == c && j == r)
                continue;
            int v = getpixel(height_map, i, j);
            if (v < 0)
                return FLOOR_OFF_MAP;
            if (v == white)
                found = FLOOR_BLOCKED;
        }
    return found;
}

static float map_column(float x, float px)
{
    return (x - px + 8) * FLOOR_MAP_SCALE;
}

// Lowers lo and raises hi to the truncated coordinate, kept within a pixel or two of the
// map: the scan below reads only pixels inside it, and nothing outside can be floor.
static void widen_box(float coordinate, int *lo, int *hi)
{
    float c = coordinate < -2 ? -2 : coordinate > FLOOR_MAP_SIZE + 2 ? FLOOR_MAP_SIZE + 2 : coordinate;
    if (c < *lo)
        *lo = (int)c;
    if (c > *hi)
        *hi = (int)c;
}

static bool is_floor_now(const ViewTriangle &t)
{
    return !t.wall && (!ground_reached || floor_open_now(t));
}

static void paint_triangle(const ViewTriangle &t, float px, float py, float pz, int white)
{
    const ViewVertex *v[3];
    for (int i = 0; i < 3; i++) {
        if (t.vertex[i] < 0 || (size_t)t.vertex[i] >= view_vertices.size())
            return;
        v[i] = &view_vertices[t.vertex[i]];
    }
    float cx = (v[0]->world_x + v[1]->world_x + v[2]->world_x) / 3;
    float cz = (v[0]->world_z + v[1]->world_z + v[2]->world_z) / 3;
    float top = v[0]->world_y;
    for (int i = 1; i < 3; i++)
        if (v[i]->world_y > top)
            top = v[i]->world_y;
    if (!(cx - px > -PAINT_RADIUS && cx - px < PAINT_RADIUS && cz - pz > -PAINT_RADIUS && cz - pz < PAINT_RADIUS))
        return;
    if (!(top - py > -FLOOR_REACH && top - py < FLOOR_REACH))
        return;

    int colour = (int)((top - py + 2) * 256);
    V3D_f corner[3];
    int min_col = FLOOR_MAP_SIZE, min_row = FLOOR_MAP_SIZE, max_col = -1, max_row = -1;
    for (int i = 0; i < 3; i++) {
        corner[i].x = map_column(v[i]->world_x, px);
        corner[i].y = map_column(v[i]->world_z, pz);
        corner[i].z = 1;
        corner[i].u = corner[i].v = 0;
        corner[i].c = i == 0 ? colour : 0;
        widen_box(corner[i].x, &min_col, &max_col);
        widen_box(corner[i].y, &min_row, &max_row);
    }
    if (min_col < 0)
        min_col = 0;
    if (min_row < 0)
        min_row = 0;
    if (max_col > FLOOR_MAP_SIZE - 1)
        max_col = FLOOR_MAP_SIZE - 1;
    if (max_row > FLOOR_MAP_SIZE - 1)
        max_row = FLOOR_MAP_SIZE - 1;
    if (min_col > max_col || min_row > max_row)
        return;

    // Only the box is read back, so only the box needs clearing.
    rectfill(paint_scratch, min_col, min_row, max_col, max_row, 0);
    triangle3d_f(paint_scratch, POLYTYPE_FLAT, NULL, &corner[0], &corner[1], &corner[2]);

    bool ordinary = !t.cleared_floor && !t.gated_floor;
    for (int col = min_col; col <= max_col; col++) {
        for (int row = min_row; row <= max_row; row++) {
            int s = getpixel(paint_scratch, col, row);
            int h = getpixel(height_map, col, row);
            if (h == white)
                h = 0;
            if (s > 0 && h < s) {
                if (ordinary && col == FLOOR_MAP_CENTER && row == FLOOR_MAP_CENTER)
                    ground_reached = 1;
                putpixel(height_map, col, row, s);
                putpixel(kind_map, col, row, t.kind);
            }
        }
    }
}

void paint_floor_maps(float px, float py, float pz)
{
    int white = makecol(255, 255, 255);
    floor_map_x = px;
    floor_map_y = py;
    floor_map_z = pz;
    drawing_mode(DRAW_MODE_SOLID, NULL, 0, 0);
    clear_to_color(height_map, white);
    clear_to_color(kind_map, 0);
    int high = depth_high < DEPTH_BUCKETS ? depth_high : DEPTH_BUCKETS - 1;
    int low = depth_low > 0 ? depth_low : 0;
    for (int n = high; n >= low; n--) {
        int code = depth_buckets[n];
        if (code < BUCKET_TRIANGLE_BASE)
            continue;
        size_t t = code - BUCKET_TRIANGLE_BASE;
        if (t < view_triangles.size() && is_floor_now(view_triangles[t]))
            paint_triangle(view_triangles[t], px, py, pz, white);
    }
}

