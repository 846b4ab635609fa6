// Reading the map file (".dtl") and its shadow-map strips.
//
// The loader walks the text twice: the first walk checks every count and index, the
// presence of every strip it will need and that the text reads to its end, storing
// nothing, so a refused map leaves the map being played untouched; the second walk stores.
// Both walks are the same code.
#include "world/mapfile.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "world/datafile.h"
#include "world/kinds.h"
#include "world/mapstrip.h"
#include "world/tables.h"

enum { HEADER_WORD_LIMIT = 99, TRIANGLE_RECORD = 17, MAP_EXTRA_INTS = 3 };
// The largest a map file can be: every plane active and full, every value at its widest.
static const size_t MAP_FILE_LIMIT = text_size_limit(
    3 + (size_t)MAX_PLANES * (2 + 6 + MAX_PLANE_TRIANGLES * TRIANGLE_RECORD + MAX_MAP_EXTRAS * MAP_EXTRA_INTS),
    (size_t)MAX_PLANES * (13 + MAX_PLANE_VERTICES * VERTEX_FILE_ELEMENTS + MAX_MAP_EXTRAS), 2);
// A text buffer this large is let go after the load rather than kept for the next map.
static const size_t KEPT_TEXT_LIMIT = 16 << 20;

std::string map_file_path(const char *name, const char *extension)
{
    return std::string("data/maps/") + name + extension;
}

void clear_bitmap_of(BITMAP *bitmap)
{
    clear_bitmap(bitmap);
}

static void draw_load_progress(int p, int last_plane)
{
    int grey = makecol(192, 192, 192);
    int red = makecol(80, 0, 0);
    int x0 = screen_half_width - 128;
    int y0 = screen_half_height - 8;
    double fraction = last_plane == 0 ? 1.0 : (double)p / last_plane;
    int x_end = (int)(x0 + 252 * fraction);
    textout(screen, font, "Loading...", x0 + 2, y0 + 2, grey);
    rect(screen, x0, y0 + 16, x0 + 256, y0 + 32, grey);
    rectfill(screen, x0 + 2, y0 + 18, x_end, y0 + 30, red);
}

static bool check_header_word(TextReader &r, const char *which)
{
    size_t length;
    if (read_word(r, length) && length > HEADER_WORD_LIMIT)
        return refuse(r, "header word %s has %zu characters, limit %d", which, length, HEADER_WORD_LIMIT);
    return true;
}

// Reads a count into `value` when the file has it; false (refused) when outside low..high.
static bool read_count(TextReader &r, int &value, bool &got, const char *field, int plane, long low, long high)
{
    long v;
    got = read_int(r, v);
    if (!got)
        return true;
    if (v < low || v > high) {
        if (plane >= 0)
            return refuse(r, "plane %d %s is %ld, limit %ld..%ld", plane, field, v, low, high);
        return refuse(r, "%s is %ld, limit %ld..%ld", field, v, low, high);
    }
    value = (int)v;
    return true;
}

// A triangle the scene may use: corners among the plane's vertices, and none of them left
// out when the triangle itself is in.
static bool triangle_usable(const PlaneTriangle &tri, int last_vertex, const float *skip)
{
    for (int c = 0; c < 3; c++) {
        int v = tri.e[c];
        if (v < 0 || v > last_vertex)
            return false;
        if (tri.e[TRIANGLE_INCLUDE] < 2 && skip[v] != 0)
            return false;
    }
    return true;
}

// Where the hero will stand on the map being checked, and whether a floor was found there.
struct Arrival {
    bool wanted;
    float x, y, z;
    bool found;
};

// Whether the triangle with corners a, b, c (x, z in the first and third element) covers
// the point, edges included.
static bool covers(const float *a, const float *b, const float *c, float x, float z)
{
    const float *p[3] = {a, b, c};
    float d[3];
    for (int k = 0; k < 3; k++) {
        const float *u = p[k], *v = p[(k + 1) % 3];
        d[k] = (v[0] - u[0]) * (z - u[2]) - (v[2] - u[2]) * (x - u[0]);
    }
    const float e = 1e-4f;
    return (d[0] >= -e && d[1] >= -e && d[2] >= -e) || (d[0] <= e && d[1] <= e && d[2] <= e);
}

// What a walk knows of the plane it is in: the counts it will use, where the plane stands,
// and for each vertex whether it is left out and where it stands in the world (for the
// arrival). Values the file does not supply are those already in the tables.
struct PlaneWalk {
    int p;
    bool active;
    int last_vertex, last_triangle;
    float origin[3];
};
static float skip[MAX_PLANE_VERTICES];
static float corner[MAX_PLANE_VERTICES][3];
static Strip strip;

// The file's header: the plane and map extra counts.
static bool walk_header(TextReader &r, bool store, int &last_plane, int &extras)
{
    long v;
    bool got;
    at_record(r, "the header");
    read_int(r, v);  // format number
    if (!check_header_word(r, "1"))
        return false;
    last_plane = plane_last;
    if (!read_count(r, last_plane, got, "plane_last", -1, 0, MAX_PLANES - 1))
        return false;
    extras = map_extra_count;
    if (!read_count(r, extras, got, "map_extra_count", -1, 0, MAX_MAP_EXTRAS))
        return false;
    if (!check_header_word(r, "2"))
        return false;
    if (store) {
        plane_last = (s16)last_plane;
        map_extra_count = (s16)extras;
        for (int p = 0; p < MAX_PLANES; p++)
            planes[p].active = 0;
    }
    return true;
}

// A plane's own fields, up to its vertices.
static bool walk_plane_header(TextReader &r, bool store, PlaneWalk &w)
{
    Plane &pl = planes[w.p];
    long v;
    float f;
    bool got;
    w.active = read_int(r, v) && v == 1;
    if (read_int(r, v) && store && (v == 0 || v == 1))
        pl.flag_b = (uint8_t)v;
    float *header_floats[13] = {&pl.origin_x, &pl.origin_y, &pl.origin_z};
    for (int i = 0; i < 10; i++)
        header_floats[3 + i] = &pl.params[i];
    w.origin[0] = pl.origin_x;
    w.origin[1] = pl.origin_y;
    w.origin[2] = pl.origin_z;
    for (int i = 0; i < 13; i++) {
        if (!read_float(r, f))
            continue;
        if (i < 3)
            w.origin[i] = f;
        if (store)
            *header_floats[i] = f;
    }
    if (read_int(r, v) && store)
        pl.value_a = (s16)v;
    if (read_int(r, v) && store)
        pl.value_b = (s16)v;
    w.last_vertex = pl.last_vertex;
    if (!read_count(r, w.last_vertex, got, "last_vertex", w.p, 0, MAX_PLANE_VERTICES - 1))
        return false;
    if (got && store)
        pl.last_vertex = (s16)w.last_vertex;
    w.last_triangle = pl.last_triangle;
    if (!read_count(r, w.last_triangle, got, "last_triangle", w.p, 0, MAX_PLANE_TRIANGLES - 1))
        return false;
    if (got && store)
        pl.last_triangle = (s16)w.last_triangle;
    if (read_int(r, v) && store)
        pl.view_vertex_count = (s16)v;
    if (read_int(r, v) && store)
        pl.view_triangle_count = (s16)v;
    return true;
}

// Every vertex where the hero can reach it, as every place in the tables is: a corner far
// outside the world (1e30, or a floor a billion units under the start) is refused by name.
static bool walk_vertices(TextReader &r, bool store, const PlaneWalk &w)
{
    float f;
    for (int i = 0; i <= w.last_vertex; i++) {
        at_record(r, "plane", w.p, "vertex", i);
        PlaneVertex &vx = planes[w.p].vertices[i];
        skip[i] = vx.e[VERTEX_SKIP];
        float local[3] = {vx.e[3], vx.e[4], vx.e[5]};
        for (int j = 0; j < VERTEX_FILE_ELEMENTS; j++) {
            if (!read_float(r, f))
                break;
            if (j == VERTEX_SKIP)
                skip[i] = f;
            if (j >= 3 && j <= 5)
                local[j - 3] = f;
            if (store)
                vx.e[j] = f;
        }
        for (int k = 0; k < 3; k++) {
            corner[i][k] = w.origin[k] + local[k];
            if (!r.stopped && !(std::fabs(corner[i][k]) <= WORLD_REACH))
                return refuse(r, "plane %d vertex %d %c is %g in the world, limit -%d..%d", w.p, i, "xyz"[k],
                              corner[i][k], (int)WORLD_REACH, (int)WORLD_REACH);
        }
    }
    return true;
}

// Whether a complete triangle record is a floor for the hero at the arrival: in the scene,
// not a wall, within a step of his feet and under him.
static bool floor_at_arrival(const long *rec, const Arrival &arrival)
{
    if (rec[TRIANGLE_INCLUDE] >= 2 || rec[TRIANGLE_WALL] == 1)
        return false;
    const float *a = corner[rec[0]], *b = corner[rec[1]], *c = corner[rec[2]];
    float top = std::max(a[1], std::max(b[1], c[1]));
    return top > arrival.y - FLOOR_REACH && top < arrival.y + FLOOR_REACH && covers(a, b, c, arrival.x, arrival.z);
}

// Stores triangle t, and its cell when the strip has one.
static void store_triangle(const PlaneWalk &w, int t, const long *rec, bool have_strip)
{
    Plane &pl = planes[w.p];
    PlaneTriangle &tri = pl.triangles[t];
    for (int j = 0; j < TRIANGLE_FILE_ELEMENTS; j++)
        tri.e[j] = (s16)rec[j];
    for (int j = 0; j < 6; j++)
        pl.triangle_uvs[t][j] = (s16)rec[TRIANGLE_FILE_ELEMENTS + j];
    tri.e[TRIANGLE_DRAWN] = 0;
    if (rec[TRIANGLE_RECORD - 1] == 1 && have_strip) {
        if (pl.triangle_shadow_state[t] == 0 || !pl.triangle_shadow[t]) {
            pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
            pl.triangle_shadow_state[t] = pl.triangle_shadow[t] ? 1 : 0;
        }
        if (pl.triangle_shadow[t]) {
            copy_cell(strip, t, pl.triangle_shadow[t]);
            pl.triangle_shadow_state[t] = 2;
        }
    }
}

static bool walk_triangle(TextReader &r, bool store, const PlaneWalk &w, int t, bool have_strip, Arrival &arrival)
{
    int p = w.p, last_vertex = w.last_vertex;
    at_record(r, "plane", p, "triangle", t);
    long rec[TRIANGLE_RECORD];
    int n = 0;
    while (n < TRIANGLE_RECORD && read_int(r, rec[n]))
        n++;
    if (n < TRIANGLE_RECORD)
        return true;  // the reading stopped: the file is refused for that
    for (int j = 0; j < 3; j++)
        if (rec[j] < 0 || rec[j] > last_vertex)
            return refuse(r, "plane %d triangle %d corner %d is vertex %ld, limit 0..%d", p, t, j, rec[j],
                          last_vertex);
    if (rec[TRIANGLE_TEXTURE] < 0 || rec[TRIANGLE_TEXTURE] >= TEXTURE_SLOTS)
        return refuse(r, "plane %d triangle %d texture is %ld, limit 0..%d", p, t, rec[TRIANGLE_TEXTURE],
                      TEXTURE_SLOTS - 1);
    PlaneTriangle seen = {};
    for (int j = 0; j < TRIANGLE_FILE_ELEMENTS; j++)
        seen.e[j] = (s16)rec[j];
    if (!triangle_usable(seen, last_vertex, skip))
        return refuse(r, "plane %d triangle %d is in the scene but uses a left-out vertex", p, t);
    if (arrival.wanted && !arrival.found && floor_at_arrival(rec, arrival))
        arrival.found = true;
    if (store)
        store_triangle(w, t, rec, have_strip);
    return true;
}

// The vertices, the strip and the triangles of an active plane.
static bool walk_active_plane(TextReader &r, const char *name, bool store, PlaneWalk &w, Arrival &arrival)
{
    // A count kept from an earlier map may be out of range only if that map was never
    // checked; clamp anyway so no walk leaves the tables.
    if (w.last_vertex < 0 || w.last_vertex >= MAX_PLANE_VERTICES)
        w.last_vertex = -1;
    if (w.last_triangle < 0 || w.last_triangle >= MAX_PLANE_TRIANGLES)
        w.last_triangle = -1;
    if (!walk_vertices(r, store, w))
        return false;

    // The strip is needed only when there are cells left to read.
    bool have_strip = false;
    if (!r.stopped) {
        std::string path = strip_path(name, w.p);
        long need_width = (long)SHADOW_CELL * (w.last_triangle + 1);
        if (!store && !check_strip(r, w.p, path, need_width))
            return false;
        if (store)
            have_strip = read_strip(r, path, need_width, strip);
    }
    for (int t = 0; t <= w.last_triangle; t++)
        if (!walk_triangle(r, store, w, t, have_strip, arrival))
            return false;
    return true;
}

static void walk_extras(TextReader &r, bool store, int p, int extras)
{
    long v;
    float f;
    for (int k = 0; k < extras; k++) {
        at_record(r, "plane", p, "map extra", k);
        MapExtra &x = map_extras[k];
        if (read_float(r, f) && store)
            x.value = f;
        for (int j = 0; j < 3; j++)
            if (read_int(r, v) && store)
                x.data[j] = (s16)v;
    }
}

// One walk over the map text. With store false nothing is written anywhere; the walk only
// answers whether the file may be loaded. A file that ends early or holds a bad token is
// refused where the reading stopped; until then, values it did not supply are those
// already in the tables, so that the walk never leaves them.
static bool walk_map(TextReader &r, const char *name, bool store, Arrival &arrival)
{
    int last_plane, extras;
    if (!walk_header(r, store, last_plane, extras))
        return false;
    int active_planes = 0;
    for (int p = 0; p <= last_plane && !r.stopped; p++) {
        if (store)
            draw_load_progress(p, last_plane);
        at_record(r, "plane", p);
        PlaneWalk w;
        w.p = p;
        if (!walk_plane_header(r, store, w))
            return false;
        if (w.active) {
            active_planes++;
            if (store)
                planes[p].active = 1;
            if (!walk_active_plane(r, name, store, w, arrival))
                return false;
        }
        walk_extras(r, store, p, extras);
    }
    // Where the reading stopped says more than whatever the rest of the map lacks for it.
    if (!read_to_end(r))
        return false;
    // A map whose planes are all inactive is a void with no way out.
    if (active_planes == 0)
        return refuse(r, "has no active plane");
    if (arrival.wanted && !arrival.found)
        return refuse(r, "has no floor under the arrival point (%g, %g, %g)", arrival.x, arrival.y, arrival.z);
    return true;
}

// The map's pick-ups go into the item slots; arrows in flight end with the old map.
static void place_pickups()
{
    for (int i = 0; i < MAP_ITEM_SLOTS; i++)
        map_items[i].present = 0;
    int n = 0;
    int count = std::min<int>(item_count, MAX_ITEM_PLACEMENTS);
    for (int i = 0; i < count && n < MAP_ITEM_SLOTS; i++) {
        const ItemPlacement &ip = item_placements[i];
        if (ip.map != current_map || current_map == 0 || !ip.present)
            continue;
        MapItem &it = map_items[n++];
        it.present = 1;
        it.x = ip.x;
        it.y = ip.y;
        it.z = ip.z;
        it.type = ip.type;
        it.target_x = ip.x;
        it.target_y = ip.y + ITEM_RISE;
        it.target_z = ip.z;
        it.placement = (s16)i;
    }
}

bool load_map(const char *name, const float *arrival_point)
{
    std::string path = map_file_path(name, ".dtl");
    // Per-map tables are indexed by the number, so it must be one of the game's maps.
    double number = strtod(name, nullptr);
    if (!(number > -1.0 && number < MAP_NUMBERS)) {
        fprintf(stderr, "%s: refused: map number %s outside 0..%d\n", path.c_str(), name, MAP_NUMBERS - 1);
        return false;
    }

    static TextReader r;
    if (!open_text(r, path.c_str(), MAP_FILE_LIMIT))
        return false;
    Arrival arrival = {arrival_point != nullptr, 0, 0, 0, false};
    if (arrival_point) {
        arrival.x = arrival_point[0];
        arrival.y = arrival_point[1];
        arrival.z = arrival_point[2];
    }
    bool loaded = check_then_store(r, [&](TextReader &text, bool store) {
        if (store) {
            current_map = (s16)(int)number;
            arrival.wanted = false;  // found by the check
        }
        return walk_map(text, name, store, arrival);
    });
    if (r.text.capacity() > KEPT_TEXT_LIMIT)
        std::vector<char>().swap(r.text);
    if (loaded)
        place_pickups();
    return loaded;
}
