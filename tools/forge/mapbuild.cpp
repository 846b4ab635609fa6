// The map compiler: a map's faces cut into triangles, gathered into planes by chunk of the
// grid, each with its baked shadow cell.
#include "tools/forge/mapbuild.h"

#include <cstring>
#include <cmath>
#include <tuple>
#include <vector>

#include "tools/forge/forge.h"
#include "tools/forge/inscriptions.h"
#include "tools/forge/mapfaces.h"
#include "tools/forge/maplight.h"

namespace {

typedef std::map<std::tuple<float, float, float>, int> VertexIndex;

// Starts the next plane at the chunk's corner; null with a message when every plane is used.
Plane *open_plane(int &plane, float origin_x, float origin_z, std::string &error)
{
    if (++plane >= MAX_PLANES) {
        error = "the map needs more than " + std::to_string(MAX_PLANES) + " planes";
        return nullptr;
    }
    Plane *pl = &planes[plane];
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
    return pl;
}

// The plane's vertex at a point of a face, shared with the plane's earlier faces.
int face_vertex(Plane &pl, const float *p, VertexIndex &index)
{
    float lx = p[0] - pl.origin_x, ly = p[1], lz = p[2] - pl.origin_z;
    auto key = std::make_tuple(lx, ly, lz);
    auto it = index.find(key);
    if (it != index.end())
        return it->second;
    int v = ++pl.last_vertex;
    PlaneVertex &pv = pl.vertices[v];
    for (float &e : pv.e)
        e = 0;
    pv.e[3] = lx;
    pv.e[4] = ly;
    pv.e[5] = lz;
    index[key] = v;
    return v;
}

// The corners of strip k of the face, in the face's own order (p0 and p3 at its start, p1
// and p2 at its end), and their vertices.
void strip_corners(Plane &pl, const Face &f, int k, VertexIndex &index, int corner[4])
{
    float a = (float)k / f.strips, b = (float)(k + 1) / f.strips;
    auto point = [&](int from, int to, float t) {
        float p[3];
        for (int i = 0; i < 3; i++)  // the face's own corners exactly, so that its neighbours share them
            p[i] = t == 0 ? f.p[from][i] : t == 1 ? f.p[to][i] : f.p[from][i] + (f.p[to][i] - f.p[from][i]) * t;
        return face_vertex(pl, p, index);
    };
    corner[0] = point(0, 1, a);
    corner[1] = point(0, 1, b);
    corner[2] = point(3, 2, b);
    corner[3] = point(3, 2, a);
}

// The face's triangle kind: an exit floor takes its trigger's. False with a message when
// the exit has no trigger.
bool face_kind(const MapSource &src, const Face &f, const std::map<std::string, int> &exit_triggers, int &kind,
               std::string &error)
{
    kind = f.kind;
    const CellStyle &s = cell_style(src, f.col, f.row);
    if (f.floor && !f.wall && !s.exit_map.empty()) {
        auto it = exit_triggers.find(s.exit_map + ":" + s.exit_spot);
        if (it == exit_triggers.end()) {
            error = "no trigger for exit " + s.exit_map + ":" + s.exit_spot;
            return false;
        }
        kind = it->second;
    }
    return true;
}

// The face's triangles, two a strip. All show one baked cell picture, each strip its part of
// it; each triangle owns its own copy. Without `bake` the cells are left unpainted.
bool add_face_triangles(Plane &pl, const Face &f, int kind, VertexIndex &index, const Lighting &light, bool bake,
                        BuildStats &stats, std::string &error)
{
    const int tri_corners[2][3] = {{0, 1, 3}, {3, 1, 2}};
    int first = pl.last_triangle + 1, corner[4];
    for (int half = 0; half < face_triangles(f); half++) {
        int strip = half / 2;
        if (half % 2 == 0)
            strip_corners(pl, f, strip, index, corner);
        int v0 = 16 * strip / f.strips, v1 = 16 * (strip + 1) / f.strips;
        const int uv[4][2] = {{0, v0}, {0, v1}, {16, v1}, {16, v0}};
        int t = ++pl.last_triangle;
        PlaneTriangle &tri = pl.triangles[t];
        for (s16 &e : tri.e)
            e = 0;
        for (int k = 0; k < 3; k++) {
            int c = tri_corners[half % 2][k];
            tri.e[k] = (s16)corner[c];
            pl.triangle_uvs[t][k * 2] = (s16)uv[c][0];
            pl.triangle_uvs[t][k * 2 + 1] = (s16)uv[c][1];
        }
        tri.e[TRIANGLE_TEXTURE] = (s16)(surface_index(f.surface) % TEXTURE_SLOTS);
        tri.e[TRIANGLE_WALL] = f.wall ? 1 : 0;
        tri.e[TRIANGLE_TRANSPARENCY] = (s16)f.transparency;
        tri.e[TRIANGLE_KIND] = (s16)kind;
        if (pl.triangle_shadow_state[t] == 0) {
            pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
            if (!pl.triangle_shadow[t]) {
                error = "out of memory for shadow cells";
                return false;
            }
        }
        pl.triangle_shadow_state[t] = 2;
        if (!bake) {
            if (!surface_texture(f.surface)) {
                error = "unknown surface \"" + f.surface + "\"";
                return false;
            }
        } else if (half == 0) {
            if (!bake_face(f, light, pl.triangle_shadow[t], error))
                return false;
        } else {
            blit(pl.triangle_shadow[first], pl.triangle_shadow[t], 0, 0, 0, 0, SHADOW_CELL, SHADOW_CELL);
        }
        if (kind == KIND_SPAWN)
            stats.spawn_triangles++;
    }
    return true;
}

}  // namespace

std::vector<int> face_order(const MapSource &src, const std::vector<Face> &faces)
{
    int chunks_x = (src.width + PLANE_CHUNK - 1) / PLANE_CHUNK;
    int chunks_z = (src.height + PLANE_CHUNK - 1) / PLANE_CHUNK;
    std::vector<std::vector<int>> by_chunk(chunks_x * chunks_z);
    for (size_t i = 0; i < faces.size(); i++)
        by_chunk[(faces[i].row / PLANE_CHUNK) * chunks_x + faces[i].col / PLANE_CHUNK].push_back((int)i);
    std::vector<int> order;
    for (const std::vector<int> &chunk : by_chunk)
        order.insert(order.end(), chunk.begin(), chunk.end());
    return order;
}

bool build_map_tables(const MapSource &src, const std::map<std::string, int> &exit_triggers, BuildStats &stats,
                      std::string &error, bool bake)
{
    std::vector<Face> faces = collect_faces(src);
    Lighting light(src);
    // The name's plaques go over the baked tops (a map without room for one is refused
    // before anything is baked).
    std::map<std::pair<int, int>, InscribedCell> ink;
    if (bake) {
        light.prepare();
        std::vector<std::string> unplaced;
        for (const Inscription &p : plan_inscriptions(src, exit_triggers, unplaced))
            for (const InscribedCell &c : p.cells)
                ink[{c.col, c.row}] = c;
    }

    // Faces go to the plane of their cell's chunk, chunks in row order; a chunk that
    // outgrows a plane continues in the next one.
    int chunks_x = (src.width + PLANE_CHUNK - 1) / PLANE_CHUNK;
    for (int p = 0; p < MAX_PLANES; p++)
        planes[p].active = 0;
    stats = BuildStats();
    int plane = -1, open_chunk = -1;
    VertexIndex index;
    Plane *pl = nullptr;
    for (int i : face_order(src, faces)) {
        const Face &f = faces[i];
        int chunk = (f.row / PLANE_CHUNK) * chunks_x + f.col / PLANE_CHUNK;
        // Start a plane for a new chunk, or when this face would not fit.
        if (chunk != open_chunk || pl->last_vertex + 2 * (f.strips + 1) >= MAX_PLANE_VERTICES ||
            pl->last_triangle + face_triangles(f) >= MAX_PLANE_TRIANGLES) {
            float origin_x = map_origin_x(src) + (chunk % chunks_x) * PLANE_CHUNK;
            float origin_z = map_origin_z(src) + (chunk / chunks_x) * PLANE_CHUNK;
            if (!(pl = open_plane(plane, origin_x, origin_z, error)))
                return false;
            index.clear();
            open_chunk = chunk;
        }
        int kind;
        if (!face_kind(src, f, exit_triggers, kind, error) ||
            !add_face_triangles(*pl, f, kind, index, light, bake, stats, error))
            return false;
        auto inscribed = f.cell_top ? ink.find({f.col, f.row}) : ink.end();
        if (inscribed != ink.end())
            for (int t = pl->last_triangle - 1; t <= pl->last_triangle; t++)
                inscribe_cell(pl->triangle_shadow[t], inscribed->second);
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
