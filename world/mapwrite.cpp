// The map writers: the loaded map back to its file (".dtl") or the reduced one (".smp"),
// with its shadow-map strips, behind a progress panel.
#include "world/mapfile.h"

#include <algorithm>
#include <vector>

#include "world/datafile.h"
#include "world/mapstrip.h"
#include "world/picture.h"
#include "world/upcalls.h"

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

BITMAP *(*strip_reducer)(BITMAP *strip, RGB *pal) = nullptr;

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
    static PALETTE reduced_colours;
    BITMAP *reduced = strip_reducer ? strip_reducer(strip, reduced_colours) : nullptr;
    bool ok = reduced ? write_picture_file(out, out.path, reduced, reduced_colours)
                      : write_picture_file(out, out.path, strip, palette);
    if (reduced)
        destroy_bitmap(reduced);
    destroy_bitmap(strip);
    return ok;
}

// A plane's own fields, its vertices and its triangles; the reduced file leaves out the
// pruned ones, keeping only their flag.
static void write_plane(FILE *f, const Plane &pl, bool pruned)
{
    fprintf(f, "%d\n", pl.active ? 1 : 0);
    fprintf(f, "%d\n", pl.flag_b ? 1 : 0);
    if (pl.active || !pruned) {
        fprintf(f, "%f\n%f\n%f\n", pl.origin_x, pl.origin_y, pl.origin_z);
        for (int i = 0; i < 10; i++)
            fprintf(f, "%f\n", pl.params[i]);
        fprintf(f, "%d\n%d\n%d\n%d\n%d\n%d\n", pl.value_a, pl.value_b, pl.last_vertex, pl.last_triangle,
                pl.view_vertex_count, pl.view_triangle_count);
    }
    if (!pl.active)
        return;
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
}

// Puts the finished files under their final names, the strips first, so the map file never
// names missing cells; when anything failed, nothing is renamed and every temporary goes.
static bool commit_map(SafeFile &out, std::vector<SafeFile> &strips, bool ok)
{
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
    for (SafeFile &s : strips)
        if (!commit_write(s))
            ok = false;
    if (!ok) {
        discard_write(out);
        return false;
    }
    return commit_write(out);
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
        write_plane(f, pl, pruned);
        if (pl.active) {
            SafeFile strip;
            strip.path = strip_path(name, p);
            strip.file = nullptr;
            if (write_strip(pl, clamp_last(pl.last_triangle, MAX_PLANE_TRIANGLES), pruned, strip))
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
    return commit_map(out, strips, ok);
}

bool save_map(const char *name)
{
    return write_map(name, false);
}

bool save_pruned_map(const char *name)
{
    return write_map(name, true);
}
