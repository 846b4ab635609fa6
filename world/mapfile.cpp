// The map file (".dtl"), its shadow-map strips, and the map writers.
//
// The loader walks the text twice: the first walk checks every count and index and the
// presence of every strip it will need, storing nothing, so a refused map leaves the map
// being played untouched; the second walk stores. Both walks are the same code.
#include "world/mapfile.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "shell/video.h"
#include "world/datafile.h"
#include "world/picture.h"

enum { HEADER_WORD_LIMIT = 99, TRIANGLE_RECORD = 17, STRIP_SIZE_LIMIT = 65536 };
// A floor this far above or below the hero's feet is not his floor.
static const float ARRIVAL_REACH = 1.5f;

static std::string map_file_path(const char *name, const char *extension)
{
    return std::string("data/maps/") + name + extension;
}

static std::string strip_path(const char *name, int plane)
{
    return std::string("data/maps/shadowmap/i") + name + "_" + std::to_string(plane) + ".bmp";
}

void clear_bitmap_of(BITMAP *bitmap)
{
    clear_bitmap(bitmap);
}

// ---- reading ----

// A shadow-map strip: a plain Windows bitmap, 8 bits with a palette of at most 256 colours
// or 24 or 32 bits, uncompressed, rows bottom-up. The cells are copied straight out of the
// file's pixels: the general bitmap loader reads byte by byte and converts through
// per-pixel calls, which for a map of 20 000 triangles alone takes longer than a map change
// may.
struct Strip {
    std::vector<unsigned char> bytes;  // the whole file; empty while only checked
    uint32_t offset;
    long width, height;
    int bits;
    int64_t row_bytes;
};

// Why the header in `h` (the first 54 bytes of a file of `size` bytes) is not a strip at least
// `need_width` pixels wide, or nullptr when it is one.
static const char *inspect_strip(const unsigned char *h, int64_t size, long need_width, Strip &s)
{
    PictureHeader p;
    const char *problem = inspect_picture(h, size < PICTURE_HEADER_SIZE ? 0 : PICTURE_HEADER_SIZE, size,
                                          STRIP_SIZE_LIMIT, p);
    if (problem)
        return problem;
    // The cells are copied by this reader itself, which knows fewer forms than the loader.
    bool layout_ok;
    if (p.compression != 0)
        layout_ok = false;
    else if (p.bits == 8)
        layout_ok = p.offset > PICTURE_HEADER_SIZE;
    else
        layout_ok = (p.bits == 24 || p.bits == 32) && p.offset == PICTURE_HEADER_SIZE;
    if (!layout_ok)
        return "has an unsupported layout (8 bits with a palette, or 24 or 32 bits, uncompressed)";
    if (p.width < need_width || p.height < SHADOW_CELL)
        return "is too small for the plane's cells";
    s.offset = p.offset;
    s.width = p.width;
    s.height = p.height;
    s.bits = p.bits;
    s.row_bytes = p.row_bytes;
    return nullptr;
}

// Checks a strip before anything is replaced.
static bool check_strip(const TextReader &r, int plane, const std::string &path, long need_width)
{
    FILE *f = fopen(path.c_str(), "rb");
    if (!f)
        return refuse(r, "plane %d shadow map %s: %s", plane, path.c_str(), strerror(errno));
    setvbuf(f, nullptr, _IONBF, 0);  // only the header is read: no buffer needed
    unsigned char h[54] = {0};
    size_t got = fread(h, 1, sizeof(h), f);
    struct stat st;
    int64_t size = fstat(fileno(f), &st) == 0 && S_ISREG(st.st_mode) ? (int64_t)st.st_size : 0;
    fclose(f);
    Strip s;
    const char *problem = inspect_strip(h, got < sizeof(h) ? 0 : size, need_width, s);
    if (problem)
        return refuse(r, "plane %d shadow map %s %s (needs %ld x %d)", plane, path.c_str(), problem, need_width,
                      SHADOW_CELL);
    return true;
}

// Reads the whole strip for copying cells; false after a warning when it has changed since
// it was checked. An 8-bit strip's colours go into `palette`, as the bitmap loader does.
static bool read_strip(const TextReader &r, const std::string &path, long need_width, Strip &s)
{
    s.bytes.clear();
    FILE *f = fopen(path.c_str(), "rb");
    if (f) {
        read_whole_file(f, s.bytes);
        fclose(f);
    }
    if (!f || inspect_strip(s.bytes.data(), s.bytes.size() >= 54 ? (int64_t)s.bytes.size() : 0, need_width, s)) {
        fprintf(stderr, "%s: warning: shadow map %s could not be read; its cells keep their pixels\n",
                r.path.c_str(), path.c_str());
        s.bytes.clear();
        return false;
    }
    if (s.bits == 8) {
        const unsigned char *c = s.bytes.data() + 54;
        for (uint32_t i = 0; i < (s.offset - 54) / 4; i++) {
            palette[i].b = c[4 * i] / 4;
            palette[i].g = c[4 * i + 1] / 4;
            palette[i].r = c[4 * i + 2] / 4;
        }
    }
    return true;
}

// The colour of pixel x of a strip row, as 8-bit red, green and blue.
static inline void strip_pixel(const Strip &s, const unsigned char *row, long x, int &r, int &g, int &b)
{
    if (s.bits == 8) {
        const RGB &c = palette[row[x]];
        r = _rgb_scale_6[c.r];
        g = _rgb_scale_6[c.g];
        b = _rgb_scale_6[c.b];
    } else {
        const unsigned char *p = row + x * (s.bits / 8);
        b = p[0];
        g = p[1];
        r = p[2];
    }
}

// Copies the cell of triangle t out of the strip, converting to the cell's colour depth.
static void copy_cell(const Strip &s, int t, BITMAP *cell)
{
    int depth = bitmap_color_depth(cell);
    long left = (long)SHADOW_CELL * t;
    int r, g, b;
    for (int y = 0; y < SHADOW_CELL; y++) {
        const unsigned char *row = s.bytes.data() + s.offset + s.row_bytes * (s.height - 1 - y);
        if (depth == 16 && s.bits == 24) {
            // The common case: the writers' 24-bit strips into 16-bit cells.
            uint16_t *out = (uint16_t *)cell->line[y];
            const unsigned char *p = row + left * 3;
            for (int x = 0; x < SHADOW_CELL; x++, p += 3)
                out[x] = (uint16_t)makecol16(p[2], p[1], p[0]);
            continue;
        }
        for (int x = 0; x < SHADOW_CELL; x++) {
            strip_pixel(s, row, left + x, r, g, b);
            if (depth == 16)
                ((uint16_t *)cell->line[y])[x] = (uint16_t)makecol16(r, g, b);
            else if (depth == 15)
                ((uint16_t *)cell->line[y])[x] = (uint16_t)makecol15(r, g, b);
            else if (depth == 32)
                ((uint32_t *)cell->line[y])[x] = (uint32_t)makecol32(r, g, b);
            else
                putpixel(cell, x, y, makecol_depth(depth, r, g, b));
        }
    }
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

// One walk over the map text. With store false nothing is written anywhere; the walk only
// answers whether the file may be loaded. Values the file does not supply (it ends early or
// holds a bad token) are those already in the tables, in both walks alike.
static bool walk_map(TextReader &r, const char *name, bool store, Arrival &arrival)
{
    long v;
    float f;
    bool got;

    at_record(r, "the header");
    read_int(r, v);  // format number
    if (!check_header_word(r, "1"))
        return false;
    int last_plane = plane_last;
    if (!read_count(r, last_plane, got, "plane_last", -1, 0, MAX_PLANES - 1))
        return false;
    int extras = map_extra_count;
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

    static float skip[MAX_PLANE_VERTICES];
    static float corner[MAX_PLANE_VERTICES][3];  // world position of each vertex, for the arrival
    static Strip strip;
    int active_planes = 0;
    for (int p = 0; p <= last_plane; p++) {
        Plane &pl = planes[p];
        if (store)
            draw_load_progress(p, last_plane);
        at_record(r, "plane", p);

        bool active = read_int(r, v) && v == 1;
        if (read_int(r, v) && store && (v == 0 || v == 1))
            pl.flag_b = (uint8_t)v;
        float *header_floats[13] = {&pl.origin_x, &pl.origin_y, &pl.origin_z};
        for (int i = 0; i < 10; i++)
            header_floats[3 + i] = &pl.params[i];
        float origin[3] = {pl.origin_x, pl.origin_y, pl.origin_z};
        for (int i = 0; i < 13; i++) {
            if (!read_float(r, f))
                continue;
            if (i < 3)
                origin[i] = f;
            if (store)
                *header_floats[i] = f;
        }
        if (read_int(r, v) && store)
            pl.value_a = (s16)v;
        if (read_int(r, v) && store)
            pl.value_b = (s16)v;
        int last_vertex = pl.last_vertex;
        if (!read_count(r, last_vertex, got, "last_vertex", p, 0, MAX_PLANE_VERTICES - 1))
            return false;
        if (got && store)
            pl.last_vertex = (s16)last_vertex;
        int last_triangle = pl.last_triangle;
        if (!read_count(r, last_triangle, got, "last_triangle", p, 0, MAX_PLANE_TRIANGLES - 1))
            return false;
        if (got && store)
            pl.last_triangle = (s16)last_triangle;
        if (read_int(r, v) && store)
            pl.view_vertex_count = (s16)v;
        if (read_int(r, v) && store)
            pl.view_triangle_count = (s16)v;

        if (active) {
            active_planes++;
            if (store)
                pl.active = 1;
            // A count kept from an earlier map may be out of range only if that map was never
            // checked; clamp anyway so no walk leaves the tables.
            if (last_vertex < 0 || last_vertex >= MAX_PLANE_VERTICES)
                last_vertex = -1;
            if (last_triangle < 0 || last_triangle >= MAX_PLANE_TRIANGLES)
                last_triangle = -1;

            for (int i = 0; i <= last_vertex; i++) {
                at_record(r, "plane", p, "vertex", i);
                PlaneVertex &vx = pl.vertices[i];
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
                for (int k = 0; k < 3; k++)
                    corner[i][k] = origin[k] + local[k];
            }

            // The strip is needed only when there are cells left to read.
            bool have_strip = false;
            if (!r.stopped) {
                std::string path = strip_path(name, p);
                long need_width = (long)SHADOW_CELL * (last_triangle + 1);
                if (!store && !check_strip(r, p, path, need_width))
                    return false;
                if (store)
                    have_strip = read_strip(r, path, need_width, strip);
            }

            for (int t = 0; t <= last_triangle; t++) {
                at_record(r, "plane", p, "triangle", t);
                PlaneTriangle &tri = pl.triangles[t];
                PlaneTriangle seen = tri;  // the record as it will stand after the load
                long rec[TRIANGLE_RECORD];
                int n = 0;
                while (n < TRIANGLE_RECORD && read_int(r, rec[n]))
                    n++;
                for (int j = 0; j < n && j < 3; j++)
                    if (rec[j] < 0 || rec[j] > last_vertex)
                        return refuse(r, "plane %d triangle %d corner %d is vertex %ld, limit 0..%d", p, t, j,
                                      rec[j], last_vertex);
                if (n > TRIANGLE_TEXTURE && (rec[TRIANGLE_TEXTURE] < 0 || rec[TRIANGLE_TEXTURE] >= TEXTURE_SLOTS))
                    return refuse(r, "plane %d triangle %d texture is %ld, limit 0..%d", p, t, rec[TRIANGLE_TEXTURE],
                                  TEXTURE_SLOTS - 1);
                for (int j = 0; j < n && j < TRIANGLE_FILE_ELEMENTS; j++)
                    seen.e[j] = (s16)rec[j];
                bool usable = triangle_usable(seen, last_vertex, skip);
                if (n == TRIANGLE_RECORD && !usable)
                    return refuse(r, "plane %d triangle %d is in the scene but uses a left-out vertex", p, t);
                // A floor for the hero: in the scene, not a wall, within a step of his feet.
                if (arrival.wanted && !arrival.found && n == TRIANGLE_RECORD && rec[TRIANGLE_INCLUDE] < 2 &&
                    rec[TRIANGLE_WALL] != 1) {
                    const float *a = corner[rec[0]], *b = corner[rec[1]], *c = corner[rec[2]];
                    float top = std::max(a[1], std::max(b[1], c[1]));
                    if (top > arrival.y - ARRIVAL_REACH && top < arrival.y + ARRIVAL_REACH &&
                        covers(a, b, c, arrival.x, arrival.z))
                        arrival.found = true;
                }
                if (!store)
                    continue;

                for (int j = 0; j < n && j < TRIANGLE_FILE_ELEMENTS; j++)
                    tri.e[j] = (s16)rec[j];
                for (int j = TRIANGLE_FILE_ELEMENTS; j < n && j < TRIANGLE_FILE_ELEMENTS + 6; j++)
                    pl.triangle_uvs[t][j - TRIANGLE_FILE_ELEMENTS] = (s16)rec[j];
                tri.e[TRIANGLE_DRAWN] = 0;
                // A triangle the file left unfinished keeps what it had, but never in a
                // form the scene could not hold.
                if (!usable)
                    tri.e[TRIANGLE_INCLUDE] = 2;
                if (n == TRIANGLE_RECORD && rec[TRIANGLE_RECORD - 1] == 1 && have_strip) {
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
        }

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
    // An empty or garbage file reads as planes that are all inactive: a void with no way out.
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
        it.target_y = ip.y + 1.5f;
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
    if (!open_text(r, path.c_str()))
        return false;
    Arrival arrival = {arrival_point != nullptr, 0, 0, 0, false};
    if (arrival_point) {
        arrival.x = arrival_point[0];
        arrival.y = arrival_point[1];
        arrival.z = arrival_point[2];
    }
    if (!walk_map(r, name, false, arrival))
        return false;
    rewind_text(r);
    current_map = (s16)(int)number;
    arrival.wanted = false;
    walk_map(r, name, true, arrival);
    warn_if_stopped(r);
    place_pickups();
    return true;
}

// ---- writing ----

struct SavePanel {
    int x0, y0, w, h;
    int green;
};

static SavePanel open_save_panel()
{
    SavePanel s;
    s.h = screen_half_height / 5;
    s.w = screen_half_width / 2;
    s.x0 = screen_half_width - s.w / 2;
    s.y0 = screen_half_height - s.h / 2;
    int x1 = s.x0 + s.w - 1;
    int y1 = s.y0 + s.h - 1;
    draw_panel(0, s.x0, s.y0, x1 + 6, y1);
    present_frame(1);
    s.green = makecol(0, 255, 0);
    return s;
}

static void draw_save_progress(const SavePanel &s, int p, int last_plane)
{
    double fraction = last_plane == 0 ? 1.0 : (double)p / last_plane;
    int x_end = (int)((s.x0 + 4) + (s.w - 8) * fraction);
    rectfill(screen, s.x0 + 4, s.y0 + 4, x_end, s.y0 + s.h - 4, s.green);
}

static int clamp_last(int last, int capacity)
{
    return last < -1 ? -1 : (last >= capacity ? capacity - 1 : last);
}

static void write_triangle(FILE *f, const Plane &pl, int t)
{
    for (int j = 0; j < TRIANGLE_FILE_ELEMENTS; j++)
        fprintf(f, "%d\n", pl.triangles[t].e[j]);
    for (int j = 0; j < 6; j++)
        fprintf(f, "%d\n", pl.triangle_uvs[t][j]);
    fprintf(f, "%d\n", pl.triangle_shadow_state[t] > 0 ? 1 : 0);
}

// Writes the plane's strip, complete and flushed, under its temporary name; false after a
// line on stderr.
static bool write_strip(const Plane &pl, int last_triangle, bool pruned, SafeFile &out)
{
    int cells = last_triangle + 1 > 0 ? last_triangle + 1 : 1;
    BITMAP *strip = create_bitmap(SHADOW_CELL * cells, SHADOW_CELL);
    if (!strip) {
        fprintf(stderr, "%s: cannot write: no memory for the bitmap\n", out.path.c_str());
        return false;
    }
    clear_bitmap_of(strip);
    for (int t = 0; t <= last_triangle; t++) {
        if (pruned && pl.triangles[t].e[TRIANGLE_INCLUDE] >= 2)
            continue;
        if (pl.triangle_shadow_state[t] > 0 && pl.triangle_shadow[t])
            blit(pl.triangle_shadow[t], strip, 0, 0, SHADOW_CELL * t, 0, SHADOW_CELL, SHADOW_CELL);
    }
    bool ok = write_picture_file(out, out.path, strip, palette);
    destroy_bitmap(strip);
    return ok;
}

static bool write_map(const char *name, bool pruned)
{
    SafeFile out;
    if (!begin_write(out, map_file_path(name, pruned ? ".smp" : ".dtl")))
        return false;
    FILE *f = out.file;
    fprintf(f, "%d\n", 1);
    fprintf(f, "endplane\n");
    fprintf(f, "%d\n", plane_last);
    fprintf(f, "%d\n", map_extra_count);
    fprintf(f, "plane_info\n");

    SavePanel panel = open_save_panel();
    int last_plane = clamp_last(plane_last, MAX_PLANES);
    int extras = std::max(0, std::min<int>(map_extra_count, MAX_MAP_EXTRAS));
    std::vector<SafeFile> strips;
    bool ok = true;
    for (int p = 0; p <= last_plane && ok; p++) {
        const Plane &pl = planes[p];
        draw_save_progress(panel, p, last_plane);
        fprintf(f, "%d\n", pl.active ? 1 : 0);
        fprintf(f, "%d\n", pl.flag_b ? 1 : 0);
        if (pl.active || !pruned) {
            fprintf(f, "%f\n%f\n%f\n", pl.origin_x, pl.origin_y, pl.origin_z);
            for (int i = 0; i < 10; i++)
                fprintf(f, "%f\n", pl.params[i]);
            fprintf(f, "%d\n%d\n%d\n%d\n%d\n%d\n", pl.value_a, pl.value_b, pl.last_vertex, pl.last_triangle,
                    pl.view_vertex_count, pl.view_triangle_count);
        }
        if (pl.active) {
            int last_vertex = clamp_last(pl.last_vertex, MAX_PLANE_VERTICES);
            int last_triangle = clamp_last(pl.last_triangle, MAX_PLANE_TRIANGLES);
            for (int i = 0; i <= last_vertex; i++) {
                const float *e = pl.vertices[i].e;
                if (pruned) {
                    fprintf(f, "%f\n", e[VERTEX_SKIP]);
                    if (e[VERTEX_SKIP] != 0)
                        continue;
                }
                for (int j = 0; j < VERTEX_FILE_ELEMENTS; j++)
                    fprintf(f, "%f\n", e[j]);
            }
            for (int t = 0; t <= last_triangle; t++) {
                if (pruned) {
                    fprintf(f, "%d\n", pl.triangles[t].e[TRIANGLE_INCLUDE]);
                    if (pl.triangles[t].e[TRIANGLE_INCLUDE] >= 2)
                        continue;
                }
                write_triangle(f, pl, t);
            }
            SafeFile strip;
            strip.path = strip_path(name, p);
            strip.file = nullptr;
            if (write_strip(pl, last_triangle, pruned, strip))
                strips.push_back(strip);
            else
                ok = false;
        }
        for (int k = 0; k < extras; k++) {
            fprintf(f, "%f\n", map_extras[k].value);
            for (int j = 0; j < 3; j++)
                fprintf(f, "%d\n", map_extras[k].data[j]);
        }
    }

    if (!ok) {
        discard_write(out);
    } else if (!end_write(out)) {
        ok = false;
    }
    if (!ok) {
        for (SafeFile &s : strips)
            discard_write(s);
        return false;
    }
    // Everything is written: the strips first, so the map file never names missing cells.
    for (SafeFile &s : strips)
        if (!commit_write(s))
            ok = false;
    if (!ok) {
        discard_write(out);
        return false;
    }
    return commit_write(out);
}

bool save_map(const char *name)
{
    return write_map(name, false);
}

bool save_pruned_map(const char *name)
{
    return write_map(name, true);
}
