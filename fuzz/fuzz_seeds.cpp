// Writes the seed corpus of the fuzz targets, valid files made by the game's own writers:
//   fuzz_seeds <corpus folder>   ->   <folder>/map, items, monsters, triggers, names, picture
#include <allegro.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>

#include "fuzz/fuzz_common.h"
#include "tests/crafted_pictures.h"
#include "world/mapfile.h"
#include "world/tables.h"

static std::string corpus;

static std::string slurp(const char *path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

static void seed(const char *reader, const char *name, const std::string &bytes)
{
    std::string dir = corpus + "/" + reader;
    mkdir(dir.c_str(), 0777);
    std::ofstream((dir + "/" + name).c_str(), std::ios::binary) << bytes;
}

// Planes 0 and 2 active with two triangles each, plane 1 inactive, one map-extra record.
static void build_map()
{
    plane_last = 2;
    map_extra_count = 1;
    map_extras[0] = MapExtra{0.5f, {1, 2, 3}};
    for (int p = 0; p <= 2; p++) {
        Plane &pl = planes[p];
        pl.active = p != 1;
        pl.origin_x = 4.0f * p;
        pl.last_vertex = 3;
        pl.last_triangle = 1;
        for (int i = 0; i <= 3; i++) {
            pl.vertices[i].e[3] = (float)(i % 2);
            pl.vertices[i].e[5] = (float)(i / 2) + 0.125f;
        }
        for (int t = 0; t <= 1; t++) {
            s16 corners[3] = {0, (s16)(1 + t), (s16)(2 + t)};
            memcpy(pl.triangles[t].e, corners, sizeof(corners));
            pl.triangles[t].e[TRIANGLE_TEXTURE] = (s16)(t + 1);
            pl.triangles[t].e[TRIANGLE_KIND] = t ? 1001 : 7;
            pl.triangle_uvs[t][2] = pl.triangle_uvs[t][5] = 15;
            pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
            clear_to_color(pl.triangle_shadow[t], makecol(40 * t, 90, 200));
            pl.triangle_shadow_state[t] = 2;
        }
    }
}

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    mkdir(argv[1], 0777);
    char full[PATH_MAX];
    if (!realpath(argv[1], full)) {
        perror(argv[1]);
        return 1;
    }
    corpus = full;
    start_fuzzing();

    build_map();
    if (!save_map("1"))
        return 1;
    std::string text = slurp("data/maps/1.dtl");
    seed("map", "three_planes", text + STRIP_MARK + slurp("data/maps/shadowmap/i1_0.bmp"));
    seed("map", "cut_short", text.substr(0, text.size() / 2) + STRIP_MARK + slurp("data/maps/shadowmap/i1_0.bmp"));
    BITMAP *indexed = create_bitmap_ex(8, 32, 16);
    for (int x = 0; x < 32; x++)
        vline(indexed, x, 0, 15, x * 7);
    save_bitmap("indexed.bmp", indexed, palette);
    destroy_bitmap(indexed);
    seed("map", "indexed_strip", text + STRIP_MARK + slurp("indexed.bmp"));
    // A late plane's vertex as NaN, and text past the last plane: both refused.
    std::string late_nan = text;
    late_nan.replace(late_nan.rfind("0.125000"), 8, "nan");
    seed("map", "nan_in_last_plane", late_nan + STRIP_MARK + slurp("data/maps/shadowmap/i1_0.bmp"));
    seed("map", "text_after_the_end", text + "1\n" + STRIP_MARK + slurp("data/maps/shadowmap/i1_0.bmp"));

    item_count = 3;
    item_placements[0] = ItemPlacement{1, 1.5f, 0, -2.25f, 0, 1};
    item_placements[1] = ItemPlacement{1, 3, 1, 4, 9, 901};
    item_placements[2] = ItemPlacement{1, 0, 0, 0, 5, 0};
    if (!save_items())
        return 1;
    seed("items", "three", slurp("data/items.dat"));
    // What the game once took without a word: a key on no map, or far off every map.
    seed("items", "map_99999", "1\n1\n99999\n0.5\n0\n0.5\n1\n");
    seed("items", "x_3e38", "1\n1\n101\n3e38\n0\n0.5\n1\n");
    seed("items", "nan", "1\n1\n101\nnan\n0\n0.5\n1\n");
    seed("items", "format_999", "999\n1\n101\n0.5\n0\n0.5\n1\n");

    monster_counts[0] = 2, monsters[0][0].kind = 3, monsters[0][1].kind = 15;
    monster_counts[901] = 1, monsters[901][0].kind = 1;
    if (!save_monsters())
        return 1;
    seed("monsters", "three", slurp("data/monsters.dat"));
    // Kind 0 counted toward victory but could not be hit.
    monsters[901][0].kind = 0;
    if (!save_monsters())
        return 1;
    seed("monsters", "kind_zero", slurp("data/monsters.dat"));

    std::ostringstream triggers;
    for (int i = 0; i < 20; i++)
        for (int j = 0; j < 9; j++)
            triggers << (j == 0 ? 901 + i % 3 : i * 0.5 + j) << "\n";
    seed("triggers", "twenty", triggers.str());
    seed("triggers", "map_99999", "99999 0 0 0 0 0 0 0 0\n");
    seed("triggers", "map_minus_half", "-0.5 0 0 0 0 0 0 0 0\n");
    seed("triggers", "nan_and_1e39", "901 nan 0 0 0 0 0 0 0\n901 0 1e39 0 0 0 0 0 0\n");

    seed("names", "two", "1\n2\n901 2 Sorvane Gate\n101 3 The Old Forest\n");
    seed("names", "byte_195", "1\n1\n5 1 Caf\xc3\xa9\n");
    seed("names", "twice", "1\n2\n5 1 One\n5 1 Two\n");

    // Pictures: the hostile and broken ones the check must refuse, and sound ones.
    for (const CraftedPicture &c : crafted_pictures())
        seed("picture", c.name, c.bytes);
    seed("picture", "indexed_strip", slurp("indexed.bmp"));
    seed("picture", "strip_24_bits", slurp("data/maps/shadowmap/i1_0.bmp"));
    return 0;
}
