// The map compiler: geometry, winding, planes and baked lighting.
#include "tools/forge/mapbuild.h"

#include <algorithm>
#include <cstring>
#include <cmath>
#include <tuple>
#include <vector>

#include "tools/forge/forge.h"

namespace {

const float AMBIENT = 0.42f;
const float DIFFUSE = 0.72f;
const float CURTAIN_HEIGHT = 2.0f;
const float SKIRT_DEPTH = 1.0f;  // how far a map's outer edge reaches down into the dark

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
};

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
            if (dir == 0) {
                set_corner(f.p[0], x0, y, z1);
                set_corner(f.p[1], x0, lo, z1);
                set_corner(f.p[2], x1, lo, z1);
                set_corner(f.p[3], x1, y, z1);
                set_corner(f.n, 0, 0, 1);
            } else if (dir == 1) {
                set_corner(f.p[0], x0, y, z0);
                set_corner(f.p[1], x0, lo, z0);
                set_corner(f.p[2], x0, lo, z1);
                set_corner(f.p[3], x0, y, z1);
                set_corner(f.n, -1, 0, 0);
            } else {
                set_corner(f.p[0], x1, y, z1);
                set_corner(f.p[1], x1, lo, z1);
                set_corner(f.p[2], x1, lo, z0);
                set_corner(f.p[3], x1, y, z0);
                set_corner(f.n, 1, 0, 0);
            }
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
    if (!s.fence_surface.empty()) {
        const float post = 0.07f, rail = 0.04f, top = s.height + 0.9f;
        for (float px : {0.2f, 0.8f})
            add_box(faces, col, row, x + px - post, z + 0.5f - post, x + px + post, z + 0.5f + post, s.height, top,
                    s.fence_surface, s.fence_surface, 0, false);
        for (float ry : {0.35f, 0.7f})
            add_box(faces, col, row, x, z + 0.5f - rail, x + 1, z + 0.5f + rail, s.height + ry, s.height + ry + 0.12f,
                    s.fence_surface, s.fence_surface, 0, false);
    }
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
            float xa = dir == 2 ? x + 1 : x;
            if (dir == 0) {
                set_corner(f.p[0], x, h, z1);
                set_corner(f.p[1], x, foot, z1);
                set_corner(f.p[2], x + 1, foot, z1);
                set_corner(f.p[3], x + 1, h, z1);
                set_corner(f.n, 0, 0, 1);
            } else if (dir == 1) {
                set_corner(f.p[0], xa, h, z0);
                set_corner(f.p[1], xa, foot, z0);
                set_corner(f.p[2], xa, foot, z1);
                set_corner(f.p[3], xa, h, z1);
                set_corner(f.n, -1, 0, 0);
            } else {
                set_corner(f.p[0], xa, h, z1);
                set_corner(f.p[1], xa, foot, z1);
                set_corner(f.p[2], xa, foot, z0);
                set_corner(f.p[3], xa, h, z0);
                set_corner(f.n, 1, 0, 0);
            }
            f.v_span = std::min(1.0f, h - foot);
            f.surface = s.side_surface;
            f.wall = true;
            f.col = col;
            f.row = row;
            faces.push_back(f);
        }
    }
}

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
                if (target < s.height - 1e-4f)
                    add_side(faces, src, col, row, dir, s.height, std::max(target, s.height - 6.0f),
                             s.side_surface, 0, 0);
            }

            if (s.curtain_kind) {
                // The curtain stands across the way through the cell: facing the camera when
                // the way runs north-south, edge-on (both sides drawn) when it runs east-west.
                auto passable = [&](int c, int r) {
                    const CellStyle &n = cell_style(src, c, r);
                    return !n.is_void && !n.blocking && std::fabs(n.height - s.height) < 1.5f;
                };
                bool east_west = passable(col - 1, row) && passable(col + 1, row);
                bool north_south = passable(col, row - 1) && passable(col, row + 1);
                float top = s.height + CURTAIN_HEIGHT;
                if (north_south || !east_west) {
                    add_side(faces, src, col, row, 0, top, s.height, s.curtain_surface, s.curtain_kind, 0, 0.5f);
                } else {
                    add_side(faces, src, col, row, 1, top, s.height, s.curtain_surface, s.curtain_kind, 0, 0.5f);
                    add_side(faces, src, col, row, 2, top, s.height, s.curtain_surface, s.curtain_kind, 0, 0.5f);
                }
            }
        }
    return faces;
}

// ---- baked lighting ----

struct Lighting {
    const MapSource &src;
    float sun[3];
    float ox, oz;

    explicit Lighting(const MapSource &source)
        : src(source), sun{source.sun[0], source.sun[1], source.sun[2]}, ox(map_origin_x(source)),
          oz(map_origin_z(source))
    {
    }
    // What shades: each cell's style, looked up once instead of at every step of every ray.
    std::vector<const CellStyle *> cells;
    float highest = -1e9f;  // nothing stands above this
    bool climbs = false;    // the sun stands above the horizon

    void prepare()
    {
        cells.resize((size_t)src.width * src.height);
        climbs = sun[1] > 0;
        for (int row = 0; row < src.height; row++)
            for (int col = 0; col < src.width; col++) {
                const CellStyle &s = cell_style(src, col, row);
                cells[(size_t)row * src.width + col] = &s;
                if (s.is_void)
                    continue;
                highest = std::max(highest, s.height);
                if (s.crown_top > 0)
                    highest = std::max(highest, s.height + s.crown_top);
                if (s.post_width > 0)
                    highest = std::max(highest, s.height + s.post_height);
            }
    }

    float height_at(float x, float z) const
    {
        int col = (int)std::floor(x - ox), row = (int)std::floor(z - oz);
        if (row < 0 || row >= src.height || col < 0 || col >= src.width)
            return -1e9f;
        const CellStyle &s = *cells[(size_t)row * src.width + col];
        if (s.is_void)
            return -1e9f;
        float h = s.height;
        // Crowns shade their whole cell; posts only where they stand.
        if (s.crown_top > 0)
            h = std::max(h, s.height + s.crown_top);
        float fx = x - ox - col - 0.5f, fz = z - oz - row - 0.5f;
        if (s.post_width > 0 && std::fabs(fx) < s.post_width / 2 && std::fabs(fz) < s.post_width / 2)
            h = std::max(h, s.height + s.post_height);
        return h;
    }

    // 1 in sunlight, 0 in the shadow of something standing between the point and the sun.
    // The sun stands above the horizon, so the ray only climbs: once it is above everything
    // nothing further along can shade the point.
    float sunlight(const float *p, const float *n) const
    {
        float q[3] = {p[0] + n[0] * 0.02f, p[1] + n[1] * 0.02f, p[2] + n[2] * 0.02f};
        for (float t = 0.05f; t < 10.0f; t += 0.08f) {
            float x = q[0] + sun[0] * t, y = q[1] + sun[1] * t, z = q[2] + sun[2] * t;
            if (climbs && highest <= y + 1e-3f)
                return 1;
            if (height_at(x, z) > y + 1e-3f)
                return 0;
        }
        return 1;
    }

    // Darkening of a floor point near the foot of a higher neighbour.
    float top(int col, int row) const
    {
        if (row < 0 || row >= src.height || col < 0 || col >= src.width)
            return -1e9f;
        const CellStyle &s = *cells[(size_t)row * src.width + col];
        return s.is_void ? -1e9f : s.height;
    }

    float foot_darkening(const float *p, int col, int row) const
    {
        float own = top(col, row);
        float factor = 1;
        float fx = p[0] - (ox + col), fz = p[2] - (oz + row);
        for (int dr = -1; dr <= 1; dr++)
            for (int dc = -1; dc <= 1; dc++) {
                if (!dr && !dc)
                    continue;
                float rise = top(col + dc, row + dr) - own;
                if (rise < 0.3f)
                    continue;
                float dx = dc < 0 ? fx : dc > 0 ? 1 - fx : 0;
                float dz = dr < 0 ? fz : dr > 0 ? 1 - fz : 0;
                float d = std::sqrt(dx * dx + dz * dz);
                float k = std::max(0.0f, 1 - d / 0.55f) * std::min(1.0f, rise);
                factor = std::min(factor, 1 - 0.45f * k);
            }
        return factor;
    }
};

bool bake_face(const Face &f, const Lighting &light, BITMAP *cell, std::string &error)
{
    BITMAP *tex = surface_texture(f.surface);
    if (!tex) {
        error = "unknown surface \"" + f.surface + "\"";
        return false;
    }
    bool glows = surface_glows(f.surface);
    float lambert = std::max(0.0f, f.n[0] * light.sun[0] + f.n[1] * light.sun[1] + f.n[2] * light.sun[2]);
    for (int v = 0; v < SHADOW_CELL; v++)
        for (int u = 0; u < SHADOW_CELL; u++) {
            float s = (u + 0.5f) / SHADOW_CELL, t = (v + 0.5f) / SHADOW_CELL;
            float p[3];
            for (int i = 0; i < 3; i++)
                p[i] = f.p[0][i] + s * (f.p[3][i] - f.p[0][i]) + t * (f.p[1][i] - f.p[0][i]);
            float lit = AMBIENT;
            if (lambert > 0)
                lit += DIFFUSE * lambert * light.sunlight(p, f.n);
            if (f.floor)
                lit *= light.foot_darkening(p, f.col, f.row);
            else
                lit *= 0.78f + 0.22f * (1 - t * f.v_span);  // faces darken toward their foot
            if (glows)
                lit = std::max(lit, 0.95f);
            // The texture repeats once per unit along v on tall faces.
            int tv = (int)(t * f.v_span * SHADOW_CELL) % SHADOW_CELL;
            int c = getpixel(tex, u, tv);
            int r = std::min(255, (int)(getr(c) * lit));
            int g = std::min(255, (int)(getg(c) * lit));
            int b = std::min(255, (int)(getb(c) * lit));
            // Keep the mask colour out of lit texels: it would punch holes in the floor.
            if (r == 255 && g == 0 && b == 255)
                g = 1;
            putpixel(cell, u, v, makecol(r, g, b));
        }
    return true;
}

}  // namespace

float map_origin_x(const MapSource &src)
{
    return (float)-(src.width / 2);
}

float map_origin_z(const MapSource &src)
{
    return (float)-(src.height / 2);
}

void cell_center(const MapSource &src, int col, int row, float *x, float *y, float *z)
{
    *x = map_origin_x(src) + col + 0.5f;
    *z = map_origin_z(src) + row + 0.5f;
    const CellStyle &s = cell_style(src, col, row);
    *y = s.is_void ? 0 : s.height;
}

bool cell_is_floor(const MapSource &src, int col, int row)
{
    const CellStyle &s = cell_style(src, col, row);
    return !s.is_void && !s.blocking;
}

bool cell_is_plain_floor(const MapSource &src, int col, int row)
{
    const CellStyle &s = cell_style(src, col, row);
    return cell_is_floor(src, col, row) && (s.kind == 0 || s.kind == 7) && s.exit_map.empty();
}

bool build_map_tables(const MapSource &src, const std::map<std::string, int> &exit_triggers, BuildStats &stats,
                      std::string &error, bool bake)
{
    std::vector<Face> faces = collect_faces(src);
    Lighting light(src);
    if (bake)
        light.prepare();

    // Faces go to the plane of their cell's chunk, chunks in row order; a chunk that
    // outgrows a plane continues in the next one.
    int chunks_x = (src.width + PLANE_CHUNK - 1) / PLANE_CHUNK;
    int chunks_z = (src.height + PLANE_CHUNK - 1) / PLANE_CHUNK;
    std::vector<std::vector<const Face *>> by_chunk(chunks_x * chunks_z);
    for (const Face &f : faces)
        by_chunk[(f.row / PLANE_CHUNK) * chunks_x + f.col / PLANE_CHUNK].push_back(&f);

    for (int p = 0; p < MAX_PLANES; p++)
        planes[p].active = 0;
    stats = BuildStats();
    int plane = -1;
    for (int chunk = 0; chunk < (int)by_chunk.size(); chunk++) {
        if (by_chunk[chunk].empty())
            continue;
        float origin_x = map_origin_x(src) + (chunk % chunks_x) * PLANE_CHUNK;
        float origin_z = map_origin_z(src) + (chunk / chunks_x) * PLANE_CHUNK;
        std::map<std::tuple<float, float, float>, int> index;
        Plane *pl = nullptr;
        for (const Face *f : by_chunk[chunk]) {
            // Start a plane when none is open or this quad would not fit.
            if (!pl || pl->last_vertex + 4 >= MAX_PLANE_VERTICES || pl->last_triangle + 2 >= MAX_PLANE_TRIANGLES) {
                if (++plane >= MAX_PLANES) {
                    error = "the map needs more than " + std::to_string(MAX_PLANES) + " planes";
                    return false;
                }
                pl = &planes[plane];
                pl->active = 1;
                pl->flag_b = 0;
                pl->origin_x = origin_x;
                pl->origin_y = 0;
                pl->origin_z = origin_z;
                for (float &v : pl->params)
                    v = 0;
                pl->value_a = pl->value_b = 0;
                pl->last_vertex = pl->last_triangle = -1;
                pl->view_vertex_count = pl->view_triangle_count = 0;
                index.clear();
            }
            int corner[4];
            for (int k = 0; k < 4; k++) {
                float lx = f->p[k][0] - pl->origin_x, ly = f->p[k][1], lz = f->p[k][2] - pl->origin_z;
                auto key = std::make_tuple(lx, ly, lz);
                auto it = index.find(key);
                if (it != index.end()) {
                    corner[k] = it->second;
                    continue;
                }
                int v = ++pl->last_vertex;
                PlaneVertex &pv = pl->vertices[v];
                for (float &e : pv.e)
                    e = 0;
                pv.e[3] = lx;
                pv.e[4] = ly;
                pv.e[5] = lz;
                index[key] = v;
                corner[k] = v;
            }
            int kind = f->kind;
            const CellStyle &s = cell_style(src, f->col, f->row);
            if (f->floor && !f->wall && !s.exit_map.empty()) {
                auto it = exit_triggers.find(s.exit_map + ":" + s.exit_spot);
                if (it == exit_triggers.end()) {
                    error = "no trigger for exit " + s.exit_map + ":" + s.exit_spot;
                    return false;
                }
                kind = it->second;
            }
            // Both triangles share one baked cell picture; each triangle owns its own copy.
            const int tri_corners[2][3] = {{0, 1, 3}, {3, 1, 2}};
            const int uv[4][2] = {{0, 0}, {0, 16}, {16, 16}, {16, 0}};
            for (int half = 0; half < 2; half++) {
                int t = ++pl->last_triangle;
                PlaneTriangle &tri = pl->triangles[t];
                for (s16 &e : tri.e)
                    e = 0;
                for (int k = 0; k < 3; k++) {
                    int c = tri_corners[half][k];
                    tri.e[k] = (s16)corner[c];
                    pl->triangle_uvs[t][k * 2] = (s16)uv[c][0];
                    pl->triangle_uvs[t][k * 2 + 1] = (s16)uv[c][1];
                }
                tri.e[TRIANGLE_TEXTURE] = (s16)(surface_index(f->surface) % TEXTURE_SLOTS);
                tri.e[TRIANGLE_WALL] = f->wall ? 1 : 0;
                tri.e[TRIANGLE_TRANSPARENCY] = (s16)f->transparency;
                tri.e[TRIANGLE_KIND] = (s16)kind;
                if (pl->triangle_shadow_state[t] == 0) {
                    pl->triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
                    if (!pl->triangle_shadow[t]) {
                        error = "out of memory for shadow cells";
                        return false;
                    }
                }
                pl->triangle_shadow_state[t] = 2;
                if (!bake) {
                    if (!surface_texture(f->surface)) {
                        error = "unknown surface \"" + f->surface + "\"";
                        return false;
                    }
                } else if (half == 0) {
                    if (!bake_face(*f, light, pl->triangle_shadow[t], error))
                        return false;
                } else {
                    blit(pl->triangle_shadow[t - 1], pl->triangle_shadow[t], 0, 0, 0, 0, SHADOW_CELL, SHADOW_CELL);
                }
                if (kind == KIND_SPAWN)
                    stats.spawn_triangles++;
            }
        }
    }
    plane_last = (s16)plane;
    map_extra_count = 0;
    stats.planes = plane + 1;
    for (int p = 0; p <= plane; p++) {
        stats.vertices += planes[p].last_vertex + 1;
        stats.triangles += planes[p].last_triangle + 1;
    }
    return true;
}

// ---- the overview picture ----

namespace {

const int OVERVIEW_CELL = 12;

int average_colour(BITMAP *tex, float light)
{
    long r = 0, g = 0, b = 0;
    for (int y = 0; y < tex->h; y++)
        for (int x = 0; x < tex->w; x++) {
            int c = getpixel(tex, x, y);
            r += getr(c);
            g += getg(c);
            b += getb(c);
        }
    long n = (long)tex->w * tex->h;
    return makecol(std::min(255, (int)(r / n * light)), std::min(255, (int)(g / n * light)),
                   std::min(255, (int)(b / n * light)));
}

void mark(BITMAP *pic, int col, int row, const char *text, int colour)
{
    int x = col * OVERVIEW_CELL + OVERVIEW_CELL / 2 - 4 * (int)strlen(text);
    int y = 14 + row * OVERVIEW_CELL + 2;
    textout_ex(pic, font, text, x + 1, y + 1, makecol(0, 0, 0), -1);
    textout_ex(pic, font, text, x, y, colour, -1);
}

}  // namespace

BITMAP *draw_map_overview(const MapSource &src)
{
    std::vector<std::string> legend;
    for (const auto &entry : src.legend)
        if (!entry.second.exit_map.empty())
            legend.push_back(std::string(1, entry.first) + " leads to map " + entry.second.exit_map + ", spot " +
                             entry.second.exit_spot);
    legend.push_back("S start  o arrival  x spawn  G gem gate  C opens when cleared  K needs the key");
    legend.push_back("h heart  1-5 keys  6-9 gems   darker = lower, outlined = wall");
    int w = std::max(src.width * OVERVIEW_CELL, 8 * 72);
    int h = 14 + src.height * OVERVIEW_CELL + 4 + 10 * (int)legend.size();
    BITMAP *pic = create_bitmap(w, h);
    if (!pic)
        return nullptr;
    clear_to_color(pic, makecol(0, 0, 0));
    std::string title = "map " + std::to_string(src.number) + (src.title.empty() ? "" : ": " + src.title);
    textout_ex(pic, font, title.c_str(), 2, 2, makecol(255, 255, 255), -1);

    for (int row = 0; row < src.height; row++)
        for (int col = 0; col < src.width; col++) {
            const CellStyle &s = cell_style(src, col, row);
            if (s.is_void)
                continue;
            BITMAP *tex = surface_texture(s.surface);
            float light = std::max(0.35f, std::min(1.3f, 0.8f + s.height * 0.12f));
            int colour = tex ? average_colour(tex, light) : makecol(255, 0, 255);
            int x = col * OVERVIEW_CELL, y = 14 + row * OVERVIEW_CELL;
            rectfill(pic, x, y, x + OVERVIEW_CELL - 1, y + OVERVIEW_CELL - 1, colour);
            if (s.blocking)
                rect(pic, x, y, x + OVERVIEW_CELL - 1, y + OVERVIEW_CELL - 1, makecol(20, 20, 20));
            int yellow = makecol(255, 230, 60);
            if (!s.exit_map.empty())
                mark(pic, col, row, std::string(1, s.symbol).c_str(), yellow);
            else if (s.kind == KIND_SPAWN)
                mark(pic, col, row, "x", makecol(255, 60, 60));
            else if (s.kind == KIND_GEM_GATE)
                mark(pic, col, row, "G", yellow);
            else if (s.kind == KIND_CLEARED_FLOOR || s.curtain_kind == KIND_CLEARED_SHOW)
                mark(pic, col, row, "C", makecol(120, 255, 255));
            else if (s.kind == KIND_GATED_FLOOR || s.curtain_kind == KIND_GATED_SHOW)
                mark(pic, col, row, "K", makecol(120, 255, 255));
        }
    for (const SourceSpot &s : src.spots)
        mark(pic, s.col, s.row, s.name == "start" ? "S" : "o", makecol(80, 255, 80));
    for (const SourceItem &it : src.items) {
        char text[2] = {it.type == 0 ? 'h' : (char)('0' + it.type), 0};
        mark(pic, it.col, it.row, text, it.type == 0 ? makecol(255, 90, 120) : makecol(255, 255, 255));
    }
    int y = 14 + src.height * OVERVIEW_CELL + 4;
    for (const std::string &line : legend) {
        textout_ex(pic, font, line.c_str(), 2, y, makecol(200, 200, 200), -1);
        y += 10;
    }
    return pic;
}
