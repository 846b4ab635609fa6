// The map file written and read back: the round trip through the writers, the reduced
// form, the fields kept across maps, the placement of pick-ups and a failed save.
#include "tests/map_fixture.h"

TEST_F(MapFile, RoundTripRestoresEveryFieldAndPixel)
{
    build_map();
    std::vector<Plane> before(planes, planes + 3);
    make_map_folders();
    ASSERT_TRUE(save_map("7"));

    std::string text = dir.read("data/maps/7.dtl");
    EXPECT_EQ(text.compare(0, 26, "1\nendplane\n2\n2\nplane_info\n"), 0) << text.substr(0, 40);
    struct stat st;
    EXPECT_EQ(stat("data/maps/shadowmap/i7_0.bmp", &st), 0);
    EXPECT_NE(stat("data/maps/shadowmap/i7_1.bmp", &st), 0) << "an inactive plane has no strip";
    EXPECT_EQ(stat("data/maps/shadowmap/i7_2.bmp", &st), 0);

    // The triangle without a cell leaves colour 0 in the strip.
    BITMAP *strip = load_bitmap("data/maps/shadowmap/i7_0.bmp", palette);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(strip->w, 48);
    int lit = 0;
    for (int y = 0; y < 16; y++)
        for (int x = 16; x < 32; x++)
            lit += getpixel(strip, x, y) != 0;
    EXPECT_EQ(lit, 0);
    destroy_bitmap(strip);

    MapExtra extras_before[2] = {map_extras[0], map_extras[1]};
    reset_map_tables();
    EXPECT_EQ(stderr_of([] { EXPECT_TRUE(load_map("7")); }), "");

    EXPECT_TRUE(current_map == 7 && plane_last == 2 && map_extra_count == 2);
    for (int k = 0; k < 2; k++) {
        EXPECT_EQ(map_extras[k].value, six_decimals(extras_before[k].value));
        for (int j = 0; j < 3; j++)
            EXPECT_EQ(map_extras[k].data[j], extras_before[k].data[j]);
    }
    for (int p = 0; p <= 2; p++) {
        const Plane &want = before[p];
        const Plane &got = planes[p];
        SCOPED_TRACE("plane " + std::to_string(p));
        auto counts = [](const Plane &q) {
            return std::vector<int>({q.active, q.flag_b, q.value_a, q.value_b, q.last_vertex, q.last_triangle,
                                     q.view_vertex_count, q.view_triangle_count});
        };
        EXPECT_EQ(counts(got), counts(want));
        EXPECT_EQ(got.origin_x, six_decimals(want.origin_x));
        EXPECT_EQ(got.origin_y, six_decimals(want.origin_y));
        EXPECT_EQ(got.origin_z, six_decimals(want.origin_z));
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(got.params[i], six_decimals(want.params[i]));
        if (!want.active) {
            EXPECT_EQ(got.vertices[0].e[3], 0.0f) << "an inactive plane reads no vertices";
            continue;
        }
        for (int i = 0; i <= want.last_vertex; i++)
            for (int j = 0; j < VERTEX_FILE_ELEMENTS; j++)
                EXPECT_EQ(got.vertices[i].e[j], six_decimals(want.vertices[i].e[j])) << i << "," << j;
        for (int t = 0; t <= want.last_triangle; t++) {
            for (int j = 0; j < TRIANGLE_FILE_ELEMENTS; j++)
                EXPECT_EQ(got.triangles[t].e[j], want.triangles[t].e[j]) << t << "," << j;
            EXPECT_EQ(got.triangles[t].e[TRIANGLE_DRAWN], 0);
            for (int k = 0; k < 6; k++)
                EXPECT_EQ(got.triangle_uvs[t][k], want.triangle_uvs[t][k]);
            // Cells in state 1 or 2 were written and come back painted; none stays none.
            EXPECT_EQ(got.triangle_shadow_state[t], want.triangle_shadow_state[t] > 0 ? 2 : 0) << t;
            if (want.triangle_shadow_state[t] > 0)
                expect_cell_painted(p, t);
            else
                EXPECT_EQ(got.triangle_shadow[t], nullptr);
        }
    }
    for (int p = 3; p < MAX_PLANES; p++)
        ASSERT_EQ(planes[p].active, 0);
}

TEST_F(MapFile, PrunedFormKeepsOnlyMarkedVerticesAndTriangles)
{
    build_map();
    planes[0].vertices[3].e[VERTEX_SKIP] = 1.0f;
    planes[0].triangles[1].e[TRIANGLE_INCLUDE] = 2;
    paint_cell(0, 1, 2);  // left out, so not copied into the strip
    planes[0].triangles[2].e[TRIANGLE_INCLUDE] = -1;  // below 2: kept
    make_map_folders();
    ASSERT_TRUE(save_pruned_map("7"));

    std::vector<std::string> tok = tokens_of(dir.read("data/maps/7.smp"));
    size_t at = 0;
    auto next = [&]() { return at < tok.size() ? tok[at++] : std::string("<end>"); };
    auto skip = [&](int n) {
        for (int i = 0; i < n; i++)
            next();
    };
    auto expect_next = [&](std::initializer_list<const char *> want) {
        for (const char *w : want)
            EXPECT_EQ(next(), w) << "token " << at;
    };
    expect_next({"1", "endplane", "2", "2", "plane_info"});
    // Plane 0: flags, header, vertices 0..2 kept, vertex 3 only its mark.
    expect_next({"1", "1"});
    skip(13 + 6);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(next(), "0.000000") << "vertex " << i;
        EXPECT_EQ(next(), std::to_string(i * 10) + ".123457") << "vertex " << i << " element 0";
        skip(10);
    }
    EXPECT_EQ(next(), "1.000000");
    // Triangles: 0 kept, 1 only its include field, 2 kept.
    expect_next({"0", "0"});  // the include field and corner 0 of triangle 0
    skip(16);
    expect_next({"2", "-1", "0"});
    skip(16 + 2 * 4);
    // Plane 1 is inactive: flags and the map extras only.
    expect_next({"0", "0", "1.250000"});
    skip(3 + 4);
    // Plane 2.
    expect_next({"1", "0"});
    skip(13 + 6 + 4 * 12 + 18 + 8);
    EXPECT_EQ(at, tok.size()) << "nothing after the last plane";

    // The strip has the cells of the kept triangles only.
    BITMAP *strip = load_bitmap("data/maps/shadowmap/i7_0.bmp", palette);
    ASSERT_NE(strip, nullptr);
    EXPECT_EQ(getpixel(strip, 3, 5), cell_colour(0, 0, 3, 5));
    EXPECT_EQ(getpixel(strip, 16 + 3, 5), 0);
    EXPECT_EQ(getpixel(strip, 32 + 3, 5), cell_colour(0, 2, 3, 5));
    destroy_bitmap(strip);
}

TEST_F(MapFile, InactivePlaneConsumesOnlyItsHeaderAndExtras)
{
    PlaneSpec off;
    off.active = 0;
    off.last_vertex = 5;
    off.last_triangle = 4;
    PlaneSpec on;
    on.flag_b = 1;
    write_map(dir, "7", {off, on, on}, shaded_cells, 2);
    ASSERT_TRUE(load_map("7"));
    const Plane &off_read = planes[0];
    EXPECT_EQ(std::vector<int>({off_read.active, off_read.last_vertex, off_read.last_triangle, off_read.value_b}),
              std::vector<int>({0, 5, 4, 22}));
    EXPECT_TRUE(planes[1].active == 1 && planes[1].flag_b == 1);
    EXPECT_FLOAT_EQ(planes[1].vertices[2].e[0], 2.0f);
    EXPECT_EQ(planes[1].triangles[1].e[TRIANGLE_KIND], 1);
    // Every plane block rewrites the same records: the last group stays.
    EXPECT_EQ(map_extra_count, 2);
    EXPECT_FLOAT_EQ(map_extras[0].value, 2.5f);
    EXPECT_TRUE(map_extras[1].data[0] == 1 && map_extras[1].data[1] == 2);
    EXPECT_EQ(planes[2].triangle_shadow_state[1], 2);
    EXPECT_EQ(getpixel(planes[2].triangle_shadow[1], 7, 7), makecol(20, 100, 50));
}

TEST_F(MapFile, OddActiveAndFlagValuesAndFewerPlanesThanBefore)
{
    PlaneSpec odd;
    odd.active = 2;  // neither 0 nor 1: stays cleared
    odd.flag_b = 5;  // leaves flag_b as it was
    // A second, ordinary plane: a map with no active plane at all is refused.
    write_map(dir, "7", {odd, PlaneSpec()}, red_cells);
    planes[0].active = 1;
    planes[0].flag_b = 1;
    ASSERT_TRUE(load_map("7"));
    EXPECT_TRUE(planes[0].active == 0 && planes[0].flag_b == 1);

    // A map of fewer planes than the last one leaves none of the old ones active.
    PlaneSpec on;
    write_map(dir, "7", {on, on, on}, red_cells);
    ASSERT_TRUE(load_map("7"));
    EXPECT_EQ(planes[2].active, 1);
    write_map(dir, "8", {on}, red_cells);
    ASSERT_TRUE(load_map("8"));
    EXPECT_TRUE(plane_last == 0 && planes[1].active == 0 && planes[2].active == 0);
}

TEST_F(MapFile, CellsAreReusedAcrossMaps)
{
    PlaneSpec two;
    write_map(dir, "7", {two}, red_cells);
    ASSERT_TRUE(load_map("7"));
    BITMAP *first = planes[0].triangle_shadow[0];
    BITMAP *second = planes[0].triangle_shadow[1];
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(bitmap_color_depth(first), bitmap_color_depth(screen));
    EXPECT_EQ(getpixel(first, 0, 0), makecol(255, 0, 0));

    PlaneSpec one;
    one.last_triangle = 0;
    write_map(dir, "8", {one}, blue_cells);
    ASSERT_TRUE(load_map("8"));
    EXPECT_EQ(planes[0].triangle_shadow[0], first) << "the slot's cell is reused";
    EXPECT_EQ(getpixel(first, 15, 15), makecol(0, 0, 255)) << "and repainted";
    EXPECT_EQ(planes[0].triangle_shadow[1], second) << "a slot the new map does not use keeps its cell";
    EXPECT_EQ(planes[0].triangle_shadow_state[1], 2);

    // A cell flag of 0 leaves the cell as it was.
    one.cell = 0;
    write_map(dir, "9", {one}, red_cells);
    ASSERT_TRUE(load_map("9"));
    EXPECT_EQ(getpixel(first, 15, 15), makecol(0, 0, 255));
}

TEST_F(MapFile, PickUpsArePlacedForTheNewMap)
{
    item_count = MAX_ITEM_PLACEMENTS;
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        item_placements[i] = ItemPlacement{1, (float)i, 2.0f, 3.0f, (s16)(i % 10), 7};
    item_placements[0].present = 0;  // collected earlier
    item_placements[1].map = 8;
    map_items[49].present = 1, map_items[49].type = 12;  // an arrow in flight ends with the map

    PlaneSpec on;
    write_map(dir, "7", {on}, red_cells);
    ASSERT_TRUE(load_map("7"));
    for (int n = 0; n < MAP_ITEM_SLOTS; n++) {
        const MapItem &it = map_items[n];
        ASSERT_EQ(it.present, 1) << n;
        EXPECT_TRUE(it.placement == n + 2 && it.type == (n + 2) % 10) << n;
        // Where it lies, and where it rises to: half a unit up.
        expect_floats({it.x, it.target_x, it.target_y, it.target_z}, {(float)(n + 2), (float)(n + 2), 3.5f, 3});
    }

    // Map 0 never gets pick-ups, whatever the placements say.
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        item_placements[i].map = 0;
    write_map(dir, "0", {on}, red_cells);
    ASSERT_TRUE(load_map("0"));
    EXPECT_EQ(current_map, 0);
    for (int n = 0; n < MAP_ITEM_SLOTS; n++)
        EXPECT_EQ(map_items[n].present, 0);
}

TEST_F(MapFile, FailedSaveLeavesTheOldFiles)
{
    build_map();
    mkdir("data", 0777);
    mkdir("data/maps", 0777);
    dir.write("data/maps/7.dtl", "old map");
    // No shadow-map folder: the first strip cannot be written.
    std::string err = stderr_of([] { EXPECT_FALSE(save_map("7")); });
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("data/maps/shadowmap/i7_0.bmp"), std::string::npos) << err;
    EXPECT_EQ(dir.read("data/maps/7.dtl"), "old map");
    struct stat st;
    EXPECT_NE(stat("data/maps/7.dtl.tmp", &st), 0) << "no temporary file is left";

    // No folder at all: the map file itself cannot be created.
    err = stderr_of([] { EXPECT_FALSE(save_pruned_map("x/7")); });
    EXPECT_NE(err.find("data/maps/x/7.smp"), std::string::npos) << err;
}
