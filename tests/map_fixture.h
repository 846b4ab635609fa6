// The map-file tests' fixture: clean map tables, a scratch folder, a map built in the
// tables, hand-written map files and their strips.
#pragma once

#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <sstream>
#include <sys/stat.h>
#include <set>
#include <vector>

#include "tests/headless.h"
#include "world/datafile.h"
#include "world/mapfile.h"

inline void reset_map_tables()
{
    // Other suites may leave one cell in several slots: free each bitmap once.
    std::set<BITMAP *> cells;
    for (int p = 0; p < MAX_PLANES; p++) {
        Plane &pl = planes[p];
        for (int t = 0; t < MAX_PLANE_TRIANGLES; t++)
            if (pl.triangle_shadow[t])
                cells.insert(pl.triangle_shadow[t]);
        memset(&pl, 0, sizeof(pl));
    }
    for (BITMAP *cell : cells)
        destroy_bitmap(cell);
    plane_last = 0;
    map_extra_count = 0;
    current_map = 0;
    memset(map_extras, 0, sizeof(map_extras));
    memset(map_items, 0, sizeof(map_items));
    memset(item_placements, 0, sizeof(item_placements));
    item_count = 0;
}

class MapFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_map_tables();
        clear_bitmap(screen);
    }
    void TearDown() override { reset_map_tables(); }
    ScratchDir dir;
};

// What a float becomes after being written with six decimals and read back.
inline float six_decimals(float x)
{
    char text[64];
    snprintf(text, sizeof(text), "%f", x);
    return strtof(text, nullptr);
}

inline int cell_colour(int p, int t, int x, int y)
{
    return makecol((x * 16 + t * 40) & 255, (y * 16 + p * 60) & 255, (x * y * 7 + t) & 255);
}

inline void paint_cell(int p, int t, s16 state)
{
    Plane &pl = planes[p];
    pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
    pl.triangle_shadow_state[t] = state;
    for (int y = 0; y < SHADOW_CELL; y++)
        for (int x = 0; x < SHADOW_CELL; x++)
            putpixel(pl.triangle_shadow[t], x, y, cell_colour(p, t, x, y));
}

inline void expect_cell_painted(int p, int t)
{
    BITMAP *cell = planes[p].triangle_shadow[t];
    ASSERT_NE(cell, nullptr) << "plane " << p << " triangle " << t;
    int wrong = 0;
    for (int y = 0; y < SHADOW_CELL; y++)
        for (int x = 0; x < SHADOW_CELL; x++)
            wrong += getpixel(cell, x, y) != cell_colour(p, t, x, y);
    EXPECT_EQ(wrong, 0) << "plane " << p << " triangle " << t;
}

// Three planes: 0 active with three triangles (cells in states 2, 0 and 1), 1 inactive with
// counts, 2 active with one triangle; two map-extra records.
inline void build_map()
{
    plane_last = 2;
    map_extra_count = 2;
    map_extras[0] = MapExtra{1.25f, {1, 2, 3}};
    map_extras[1] = MapExtra{-7.1234567f, {-4, 5, 32767}};
    for (int p = 0; p <= 2; p++) {
        Plane &pl = planes[p];
        pl.active = p != 1;
        pl.flag_b = p == 0;
        pl.origin_x = 1.5f + p, pl.origin_y = -2.2500004f, pl.origin_z = 1000.1234567f;
        for (int i = 0; i < 10; i++)
            pl.params[i] = i * 0.1234567f - p;
        pl.value_a = (s16)(-5 - p), pl.value_b = 300;
        pl.last_vertex = p == 1 ? 5 : 3;
        pl.last_triangle = p == 0 ? 2 : (p == 1 ? 4 : 0);
        pl.view_vertex_count = 7, pl.view_triangle_count = (s16)(9 + p);
    }
    for (int p : {0, 2}) {
        Plane &pl = planes[p];
        for (int i = 0; i <= pl.last_vertex; i++)
            for (int j = 0; j < VERTEX_FILE_ELEMENTS; j++)
                pl.vertices[i].e[j] = j == VERTEX_SKIP ? 0.0f : i * 10 + j + 0.1234567f - p * 50;
        for (int t = 0; t <= pl.last_triangle; t++) {
            s16 values[TRIANGLE_FILE_ELEMENTS] = {0, (s16)(1 + t % 2), 3, (s16)(t + 5 + p), 77, (s16)t, 0,
                                                  (s16)(t == 1), 30, (s16)(1000 + t)};
            memcpy(pl.triangles[t].e, values, sizeof(values));
            for (int k = 0; k < 6; k++)
                pl.triangle_uvs[t][k] = (s16)(k * 3 + t - 1);
        }
    }
    paint_cell(0, 0, 2);
    paint_cell(0, 2, 1);
    paint_cell(2, 0, 2);
}

inline std::vector<std::string> tokens_of(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

// ---- hand-written map files ----

struct PlaneSpec {
    int active = 1;
    int flag_b = 0;
    int last_vertex = 2;
    int last_triangle = 1;
    int corner = 2;      // third corner of every triangle
    int texture = 3;
    int include = 0;
    float skip_of_vertex_2 = 0;
    int cell = 1;
};

inline std::string plane_text(const PlaneSpec &s, int extras, int group = 0)
{
    std::ostringstream o;
    o << s.active << "\n" << s.flag_b << "\n";
    for (int i = 0; i < 13; i++)
        o << i * 0.5 << "\n";
    o << "11\n22\n" << s.last_vertex << "\n" << s.last_triangle << "\n0\n0\n";
    if (s.active == 1) {
        for (int i = 0; i <= s.last_vertex; i++)
            for (int j = 0; j < 11; j++)
                o << (j == 7 ? (i == 2 ? s.skip_of_vertex_2 : 0) : i + j * 0.25) << "\n";
        for (int t = 0; t <= s.last_triangle; t++)
            o << "0 1 " << s.corner << " " << s.texture << " 0 0 " << s.include << " 0 0 " << t
              << " 0 0 15 0 0 15 " << s.cell << "\n";
    }
    for (int k = 0; k < extras; k++)
        o << group + 0.5 << " " << k << " " << group << " 3\n";
    return o.str();
}

inline std::string map_text(const std::vector<PlaneSpec> &specs, int extras = 0)
{
    std::ostringstream o;
    o << "1\nendplane\n" << specs.size() - 1 << "\n" << extras << "\nplane_info\n";
    for (size_t p = 0; p < specs.size(); p++)
        o << plane_text(specs[p], extras, (int)p);
    return o.str();
}

inline void make_map_folders()
{
    mkdir("data", 0777);
    mkdir("data/maps", 0777);
    mkdir("data/maps/shadowmap", 0777);
}

// A strip of `cells` cells, each a flat colour from `colour_of(t)`.
inline void write_strip(const std::string &name, int plane, int cells, int (*colour_of)(int))
{
    make_map_folders();
    BITMAP *strip = create_bitmap(SHADOW_CELL * cells, SHADOW_CELL);
    for (int t = 0; t < cells; t++)
        rectfill(strip, t * SHADOW_CELL, 0, t * SHADOW_CELL + 15, 15, colour_of(t));
    std::string path = "data/maps/shadowmap/i" + name + "_" + std::to_string(plane) + ".bmp";
    ASSERT_EQ(save_bitmap(path.c_str(), strip, palette), 0);
    destroy_bitmap(strip);
}

// Map `name` from the specs, with a strip of cells for each plane that reads triangles.
inline void write_map(const ScratchDir &dir, const std::string &name, const std::vector<PlaneSpec> &specs,
                      int (*colour_of)(int), int extras = 0)
{
    dir.write("data/maps/" + name + ".dtl", map_text(specs, extras));
    for (size_t p = 0; p < specs.size(); p++)
        if (specs[p].active == 1)
            write_strip(name, (int)p, specs[p].last_triangle + 1, colour_of);
}

inline int red_cells(int) { return makecol(255, 0, 0); }
inline int blue_cells(int) { return makecol(0, 0, 255); }
inline int shaded_cells(int t) { return makecol(t * 20, 100, 50); }

