// The map file: round trip through the writers, the reduced form, partial and refused
// files, shadow cells and the placement of pick-ups.
#include <allegro.h>
#include <cmath>
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

namespace {

void reset_map_tables()
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
float six_decimals(float x)
{
    char text[64];
    snprintf(text, sizeof(text), "%f", x);
    return strtof(text, nullptr);
}

int cell_colour(int p, int t, int x, int y)
{
    return makecol((x * 16 + t * 40) & 255, (y * 16 + p * 60) & 255, (x * y * 7 + t) & 255);
}

void paint_cell(int p, int t, s16 state)
{
    Plane &pl = planes[p];
    pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
    pl.triangle_shadow_state[t] = state;
    for (int y = 0; y < SHADOW_CELL; y++)
        for (int x = 0; x < SHADOW_CELL; x++)
            putpixel(pl.triangle_shadow[t], x, y, cell_colour(p, t, x, y));
}

void expect_cell_painted(int p, int t)
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
void build_map()
{
    plane_last = 2;
    map_extra_count = 2;
    map_extras[0] = MapExtra{1.25f, {1, 2, 3}};
    map_extras[1] = MapExtra{-7.1234567f, {-4, 5, 32767}};
    for (int p = 0; p <= 2; p++) {
        Plane &pl = planes[p];
        pl.active = p != 1;
        pl.flag_b = p == 0;
        pl.origin_x = 1.5f + p;
        pl.origin_y = -2.2500004f;
        pl.origin_z = 1000.1234567f;
        for (int i = 0; i < 10; i++)
            pl.params[i] = i * 0.1234567f - p;
        pl.value_a = (s16)(-5 - p);
        pl.value_b = 300;
        pl.last_vertex = p == 1 ? 5 : 3;
        pl.last_triangle = p == 0 ? 2 : (p == 1 ? 4 : 0);
        pl.view_vertex_count = 7;
        pl.view_triangle_count = (s16)(9 + p);
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

std::vector<std::string> tokens_of(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    std::string t;
    while (in >> t)
        out.push_back(t);
    return out;
}

int line_count(const std::string &text)
{
    int n = 0;
    for (char c : text)
        n += c == '\n';
    return n;
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

std::string plane_text(const PlaneSpec &s, int extras, int group = 0)
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

std::string map_text(const std::vector<PlaneSpec> &specs, int extras = 0)
{
    std::ostringstream o;
    o << "1\nendplane\n" << specs.size() - 1 << "\n" << extras << "\nplane_info\n";
    for (size_t p = 0; p < specs.size(); p++)
        o << plane_text(specs[p], extras, (int)p);
    return o.str();
}

void make_map_folders()
{
    mkdir("data", 0777);
    mkdir("data/maps", 0777);
    mkdir("data/maps/shadowmap", 0777);
}

// A strip of `cells` cells, each a flat colour from `colour_of(t)`.
void write_strip(const std::string &name, int plane, int cells, int (*colour_of)(int))
{
    make_map_folders();
    BITMAP *strip = create_bitmap(SHADOW_CELL * cells, SHADOW_CELL);
    for (int t = 0; t < cells; t++)
        rectfill(strip, t * SHADOW_CELL, 0, t * SHADOW_CELL + 15, 15, colour_of(t));
    std::string path = "data/maps/shadowmap/i" + name + "_" + std::to_string(plane) + ".bmp";
    ASSERT_EQ(save_bitmap(path.c_str(), strip, palette), 0);
    destroy_bitmap(strip);
}

int red_cells(int)
{
    return makecol(255, 0, 0);
}

int blue_cells(int)
{
    return makecol(0, 0, 255);
}

int shaded_cells(int t)
{
    return makecol(t * 20, 100, 50);
}

}  // namespace

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
    testing::internal::CaptureStderr();
    ASSERT_TRUE(load_map("7"));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");

    EXPECT_EQ(current_map, 7);
    EXPECT_EQ(plane_last, 2);
    EXPECT_EQ(map_extra_count, 2);
    for (int k = 0; k < 2; k++) {
        EXPECT_EQ(map_extras[k].value, six_decimals(extras_before[k].value));
        for (int j = 0; j < 3; j++)
            EXPECT_EQ(map_extras[k].data[j], extras_before[k].data[j]);
    }
    for (int p = 0; p <= 2; p++) {
        const Plane &want = before[p];
        const Plane &got = planes[p];
        SCOPED_TRACE("plane " + std::to_string(p));
        EXPECT_EQ(got.active, want.active);
        EXPECT_EQ(got.flag_b, want.flag_b);
        EXPECT_EQ(got.origin_x, six_decimals(want.origin_x));
        EXPECT_EQ(got.origin_y, six_decimals(want.origin_y));
        EXPECT_EQ(got.origin_z, six_decimals(want.origin_z));
        for (int i = 0; i < 10; i++)
            EXPECT_EQ(got.params[i], six_decimals(want.params[i]));
        EXPECT_EQ(got.value_a, want.value_a);
        EXPECT_EQ(got.value_b, want.value_b);
        EXPECT_EQ(got.last_vertex, want.last_vertex);
        EXPECT_EQ(got.last_triangle, want.last_triangle);
        EXPECT_EQ(got.view_vertex_count, want.view_vertex_count);
        EXPECT_EQ(got.view_triangle_count, want.view_triangle_count);
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
    EXPECT_EQ(next(), "1");
    EXPECT_EQ(next(), "endplane");
    EXPECT_EQ(next(), "2");
    EXPECT_EQ(next(), "2");
    EXPECT_EQ(next(), "plane_info");
    // Plane 0: flags, header, vertices 0..2 kept, vertex 3 only its mark.
    EXPECT_EQ(next(), "1");
    EXPECT_EQ(next(), "1");
    skip(13 + 6);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(next(), "0.000000") << "vertex " << i;
        EXPECT_EQ(next(), std::to_string(i * 10) + ".123457") << "vertex " << i << " element 0";
        skip(10);
    }
    EXPECT_EQ(next(), "1.000000");
    // Triangles: 0 kept, 1 only its include field, 2 kept.
    EXPECT_EQ(next(), "0");
    EXPECT_EQ(next(), "0");  // corner 0 of triangle 0
    skip(16);
    EXPECT_EQ(next(), "2");
    EXPECT_EQ(next(), "-1");
    EXPECT_EQ(next(), "0");
    skip(16);
    skip(2 * 4);
    // Plane 1 is inactive: flags and the map extras only.
    EXPECT_EQ(next(), "0");
    EXPECT_EQ(next(), "0");
    EXPECT_EQ(next(), "1.250000");
    skip(3 + 4);
    // Plane 2.
    EXPECT_EQ(next(), "1");
    EXPECT_EQ(next(), "0");
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
    dir.write("data/maps/7.dtl", map_text({off, on, on}, 2));
    write_strip("7", 1, 2, shaded_cells);
    write_strip("7", 2, 2, shaded_cells);
    ASSERT_TRUE(load_map("7"));
    EXPECT_EQ(planes[0].active, 0);
    EXPECT_EQ(planes[0].last_vertex, 5);
    EXPECT_EQ(planes[0].last_triangle, 4);
    EXPECT_EQ(planes[0].value_b, 22);
    EXPECT_EQ(planes[1].active, 1);
    EXPECT_EQ(planes[1].flag_b, 1);
    EXPECT_FLOAT_EQ(planes[1].vertices[2].e[0], 2.0f);
    EXPECT_EQ(planes[1].triangles[1].e[TRIANGLE_KIND], 1);
    // Every plane block rewrites the same records: the last group stays.
    EXPECT_EQ(map_extra_count, 2);
    EXPECT_FLOAT_EQ(map_extras[0].value, 2.5f);
    EXPECT_EQ(map_extras[1].data[0], 1);
    EXPECT_EQ(map_extras[1].data[1], 2);
    EXPECT_EQ(planes[2].triangle_shadow_state[1], 2);
    EXPECT_EQ(getpixel(planes[2].triangle_shadow[1], 7, 7), makecol(20, 100, 50));
}

TEST_F(MapFile, ActiveAndFlagValuesOtherThanZeroOrOne)
{
    PlaneSpec odd;
    odd.active = 2;  // neither 0 nor 1: stays cleared
    odd.flag_b = 5;  // leaves flag_b as it was
    // A second, ordinary plane: a map with no active plane at all is refused.
    dir.write("data/maps/7.dtl", map_text({odd, PlaneSpec()}));
    write_strip("7", 1, 2, red_cells);
    planes[0].active = 1;
    planes[0].flag_b = 1;
    ASSERT_TRUE(load_map("7"));
    EXPECT_EQ(planes[0].active, 0);
    EXPECT_EQ(planes[0].flag_b, 1);
}

TEST_F(MapFile, CellsAreReusedAcrossMaps)
{
    PlaneSpec two;
    dir.write("data/maps/7.dtl", map_text({two}));
    write_strip("7", 0, 2, red_cells);
    ASSERT_TRUE(load_map("7"));
    BITMAP *first = planes[0].triangle_shadow[0];
    BITMAP *second = planes[0].triangle_shadow[1];
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(bitmap_color_depth(first), bitmap_color_depth(screen));
    EXPECT_EQ(getpixel(first, 0, 0), makecol(255, 0, 0));

    PlaneSpec one;
    one.last_triangle = 0;
    dir.write("data/maps/8.dtl", map_text({one}));
    write_strip("8", 0, 1, blue_cells);
    ASSERT_TRUE(load_map("8"));
    EXPECT_EQ(planes[0].triangle_shadow[0], first) << "the slot's cell is reused";
    EXPECT_EQ(getpixel(first, 15, 15), makecol(0, 0, 255)) << "and repainted";
    EXPECT_EQ(planes[0].triangle_shadow[1], second) << "a slot the new map does not use keeps its cell";
    EXPECT_EQ(planes[0].triangle_shadow_state[1], 2);

    // A cell flag of 0 leaves the cell as it was.
    one.cell = 0;
    dir.write("data/maps/9.dtl", map_text({one}));
    write_strip("9", 0, 1, red_cells);
    ASSERT_TRUE(load_map("9"));
    EXPECT_EQ(getpixel(first, 15, 15), makecol(0, 0, 255));
}

TEST_F(MapFile, FewerPlanesThanBefore)
{
    PlaneSpec on;
    dir.write("data/maps/7.dtl", map_text({on, on, on}));
    for (int p = 0; p < 3; p++)
        write_strip("7", p, 2, red_cells);
    ASSERT_TRUE(load_map("7"));
    EXPECT_EQ(planes[2].active, 1);
    dir.write("data/maps/8.dtl", map_text({on}));
    write_strip("8", 0, 2, red_cells);
    ASSERT_TRUE(load_map("8"));
    EXPECT_EQ(plane_last, 0);
    EXPECT_EQ(planes[1].active, 0);
    EXPECT_EQ(planes[2].active, 0);
}

TEST_F(MapFile, ShortFileKeepsTheRestAndWarnsOnce)
{
    PlaneSpec on;
    std::string text = map_text({on, on}, 1);
    // Cut inside triangle 1 of plane 0, after its corners and texture.
    size_t cut = text.find("0 1 2 3 0 0 0 0 0 1");
    ASSERT_NE(cut, std::string::npos);
    dir.write("data/maps/7.dtl", text.substr(0, cut + 8));
    write_strip("7", 0, 2, red_cells);
    planes[0].triangles[1].e[TRIANGLE_KIND] = 44;
    planes[0].triangles[1].e[TRIANGLE_INCLUDE] = 1;
    planes[1].active = 1;
    map_extras[0].value = 9.0f;

    testing::internal::CaptureStderr();
    ASSERT_TRUE(load_map("7"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("data/maps/7.dtl"), std::string::npos) << err;
    EXPECT_NE(err.find("plane 0 triangle 1"), std::string::npos) << err;

    EXPECT_EQ(plane_last, 1);
    EXPECT_EQ(planes[0].active, 1);
    EXPECT_EQ(planes[0].triangles[0].e[TRIANGLE_KIND], 0);
    EXPECT_EQ(planes[0].triangle_shadow_state[0], 2);
    EXPECT_EQ(planes[0].triangles[1].e[TRIANGLE_TEXTURE], 3) << "read before the cut";
    EXPECT_EQ(planes[0].triangles[1].e[TRIANGLE_KIND], 44) << "kept after the cut";
    EXPECT_EQ(planes[0].triangles[1].e[TRIANGLE_INCLUDE], 1);
    EXPECT_EQ(planes[0].triangle_shadow_state[1], 0) << "no cell flag was read";
    EXPECT_EQ(planes[1].active, 0) << "never reached: stays cleared";
    EXPECT_EQ(map_extras[0].value, 9.0f);
}

TEST_F(MapFile, BadTokenStopsTheReading)
{
    PlaneSpec on;
    std::string text = map_text({on});
    size_t at = text.find("11\n22\n");
    text.replace(at, 2, "1x");
    dir.write("data/maps/7.dtl", text);
    planes[0].last_vertex = 1;
    planes[0].last_triangle = 0;
    write_strip("7", 0, 2, red_cells);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(load_map("7"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("plane 0 (bad token \"1x\")"), std::string::npos) << err;
    EXPECT_EQ(planes[0].active, 1);
    EXPECT_EQ(planes[0].last_vertex, 1) << "the counts keep their values";
    EXPECT_EQ(planes[0].origin_y, 0.5f);
}

TEST_F(MapFile, UnfinishedTriangleNeverReachesPastItsPlane)
{
    // The old map left triangle 0 using vertex 9; the new plane has three vertices and its
    // file stops before that triangle's corners. The triangle must drop out of the scene.
    planes[0].triangles[0].e[2] = 9;
    PlaneSpec on;
    on.last_triangle = 0;
    std::string text = map_text({on});
    dir.write("data/maps/7.dtl", text.substr(0, text.find("0 1 2 3")));
    write_strip("7", 0, 1, red_cells);
    testing::internal::CaptureStderr();
    ASSERT_TRUE(load_map("7"));
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(planes[0].triangles[0].e[TRIANGLE_INCLUDE], 2);
}

TEST_F(MapFile, RefusedFilesLeaveTheCurrentMapAlone)
{
    PlaneSpec on;
    dir.write("data/maps/7.dtl", map_text({on, on}, 1));
    write_strip("7", 0, 2, red_cells);
    write_strip("7", 1, 2, red_cells);
    item_count = 1;
    item_placements[0] = ItemPlacement{1, 1, 2, 3, 4, 7};
    ASSERT_TRUE(load_map("7"));
    std::unique_ptr<Plane[]> kept(new Plane[2]);
    memcpy(kept.get(), planes, 2 * sizeof(Plane));
    MapExtra extra = map_extras[0];
    MapItem item = map_items[0];
    write_strip("8", 0, 2, blue_cells);
    write_strip("8", 1, 2, blue_cells);

    struct Case {
        const char *field;
        std::string text;
    };
    auto with = [](void (*change)(PlaneSpec &)) {
        PlaneSpec bad;
        change(bad);
        PlaneSpec good;
        return map_text({good, bad}, 1);
    };
    std::string long_word(100, 'w');
    std::vector<Case> cases = {
        {"plane_last", "1 endplane 500 0 plane_info"},
        {"plane_last", "1 endplane -1 0 plane_info"},
        {"map_extra_count", "1 endplane 0 201 plane_info"},
        {"map_extra_count", "1 endplane 0 -2 plane_info"},
        {"header word", "1 " + long_word + " 0 0 plane_info"},
        {"header word", "1 endplane 0 0 " + long_word},
        {"last_vertex", with([](PlaneSpec &s) { s.last_vertex = 1000; })},
        {"last_vertex", with([](PlaneSpec &s) { s.last_vertex = -1; })},
        {"last_triangle", with([](PlaneSpec &s) { s.last_triangle = 1000; })},
        {"last_triangle", with([](PlaneSpec &s) { s.last_triangle = -3; })},
        {"corner", with([](PlaneSpec &s) { s.corner = 3; })},
        {"corner", with([](PlaneSpec &s) { s.corner = -1; })},
        {"texture", with([](PlaneSpec &s) { s.texture = 300; })},
        {"texture", with([](PlaneSpec &s) { s.texture = -1; })},
        {"left-out vertex", with([](PlaneSpec &s) { s.skip_of_vertex_2 = 1.0f; })},
        {"shadow map", with([](PlaneSpec &s) { s.last_triangle = 2; })},  // strip of 2 cells too narrow
    };
    PlaneSpec good;
    cases.push_back({"i8_2.bmp", map_text({good, good, good}, 1)});  // strip missing

    for (const Case &c : cases) {
        SCOPED_TRACE(c.field);
        dir.write("data/maps/8.dtl", c.text);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(load_map("8"));
        std::string err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find("data/maps/8.dtl: refused"), std::string::npos) << err;
        EXPECT_NE(err.find(c.field), std::string::npos) << err;
        EXPECT_EQ(current_map, 7);
        EXPECT_EQ(plane_last, 1);
        EXPECT_EQ(map_extra_count, 1);
        EXPECT_EQ(memcmp(kept.get(), planes, 2 * sizeof(Plane)), 0);
        EXPECT_EQ(memcmp(&extra, &map_extras[0], sizeof(extra)), 0);
        EXPECT_EQ(memcmp(&item, &map_items[0], sizeof(item)), 0);
        EXPECT_EQ(getpixel(planes[1].triangle_shadow[0], 0, 0), makecol(255, 0, 0));
    }

    // The limits themselves are accepted: a 99-character word, a strip wider than needed.
    dir.write("data/maps/8.dtl", "1 " + std::string(99, 'w') + " 1 0 x " + plane_text(good, 0) + plane_text(good, 0));
    EXPECT_TRUE(load_map("8"));
}

TEST_F(MapFile, MissingFilesAndBadNames)
{
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_map("404"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line_count(err), 1);
    EXPECT_NE(err.find("data/maps/404.dtl"), std::string::npos) << err;

    // A folder where the map file should be.
    mkdir("data", 0777);
    mkdir("data/maps", 0777);
    mkdir("data/maps/5.dtl", 0777);
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_map("5"));
    err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("data/maps/5.dtl"), std::string::npos) << err;

    // Map numbers index the per-map tables.
    for (const char *name : {"1000", "-1", "nan"}) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(load_map(name)) << name;
        err = testing::internal::GetCapturedStderr();
        EXPECT_EQ(line_count(err), 1) << err;
    }

    // A strip that is not a plain bitmap is refused before the bitmap loader sees it.
    PlaneSpec on;
    dir.write("data/maps/7.dtl", map_text({on}));
    dir.write("data/maps/shadowmap/i7_0.bmp", "BM not really a bitmap, but long enough to have a header at all");
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_map("7"));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("not a plain Windows bitmap"), std::string::npos) << err;

    // A strip cut short.
    write_strip("7", 0, 2, red_cells);
    std::string whole = dir.read("data/maps/shadowmap/i7_0.bmp");
    dir.write("data/maps/shadowmap/i7_0.bmp", whole.substr(0, whole.size() - 10));
    testing::internal::CaptureStderr();
    EXPECT_FALSE(load_map("7"));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("cut short"), std::string::npos) << err;
}

TEST_F(MapFile, PickUpsArePlacedForTheNewMap)
{
    item_count = MAX_ITEM_PLACEMENTS;
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        item_placements[i] = ItemPlacement{1, (float)i, 2.0f, 3.0f, (s16)(i % 10), 7};
    item_placements[0].present = 0;  // collected earlier
    item_placements[1].map = 8;
    map_items[49].present = 1;  // an arrow in flight ends with the map
    map_items[49].type = 12;

    PlaneSpec on;
    dir.write("data/maps/7.dtl", map_text({on}));
    write_strip("7", 0, 2, red_cells);
    ASSERT_TRUE(load_map("7"));
    for (int n = 0; n < MAP_ITEM_SLOTS; n++) {
        const MapItem &it = map_items[n];
        ASSERT_EQ(it.present, 1) << n;
        EXPECT_EQ(it.placement, n + 2);
        EXPECT_EQ(it.x, (float)(n + 2));
        EXPECT_EQ(it.type, (n + 2) % 10);
        EXPECT_EQ(it.target_x, it.x);
        EXPECT_FLOAT_EQ(it.target_y, 3.5f);
        EXPECT_EQ(it.target_z, 3.0f);
    }

    // Map 0 never gets pick-ups, whatever the placements say.
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        item_placements[i].map = 0;
    dir.write("data/maps/0.dtl", map_text({on}));
    write_strip("0", 0, 2, red_cells);
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
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_map("7"));
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("data/maps/shadowmap/i7_0.bmp"), std::string::npos) << err;
    EXPECT_EQ(dir.read("data/maps/7.dtl"), "old map");
    struct stat st;
    EXPECT_NE(stat("data/maps/7.dtl.tmp", &st), 0) << "no temporary file is left";

    // No folder at all: the map file itself cannot be created.
    testing::internal::CaptureStderr();
    EXPECT_FALSE(save_pruned_map("x/7"));
    err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("data/maps/x/7.smp"), std::string::npos) << err;
}

TEST(FloatTokens, MatchTheLibraryConversion)
{
    auto parse = [](const std::string &s, float &v) { return parse_float_token(s.data(), s.data() + s.size(), v); };
    float v;
    for (const char *good : {"1.5", "-0.000001", "1e3", ".5", "5.", "7", "+2.25", "-0", "1E-2", "3.4e38",
                             "3.14159265358979323846264338", "0.000000000000000000000000000001", "1e-50"}) {
        ASSERT_TRUE(parse(good, v)) << good;
        EXPECT_EQ(v, strtof(good, nullptr)) << good;
    }
    for (const char *bad : {"", "+", "-", ".", "1.5x", "inf", "nan", "0x10", "1e", "1e+", "1..2", "3.5e39", "--1"})
        EXPECT_FALSE(parse(bad, v)) << bad;

    // Six-decimal values as the writers print them, and longer forms, across magnitudes.
    srand(12345);
    int wrong = 0;
    char text[64];
    for (int i = 0; i < 200000; i++) {
        double x = (rand() / (double)RAND_MAX - 0.5) * pow(10.0, rand() % 14 - 4);
        snprintf(text, sizeof(text), i % 2 ? "%f" : "%.9g", x);
        std::string s(text);
        if (!parse(s, v) || v != strtof(text, nullptr))
            wrong++;
    }
    EXPECT_EQ(wrong, 0);
}

namespace {

void put32(std::string &s, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; i++)
        s[at + i] = (char)(v >> (8 * i));
}

// A 32-bit uncompressed bitmap file of two cells, made by hand: the writers only make 24-bit
// ones, but other tools may not.
std::string bitmap_32(int width)
{
    std::string s(54 + width * 16 * 4, '\0');
    s[0] = 'B';
    s[1] = 'M';
    put32(s, 2, (uint32_t)s.size());
    put32(s, 10, 54);
    put32(s, 14, 40);
    put32(s, 18, width);
    put32(s, 22, 16);
    s[26] = 1;
    s[28] = 32;
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < width; x++) {
            size_t at = 54 + ((15 - y) * width + x) * 4;  // bottom-up rows
            s[at] = (char)(x * 7);
            s[at + 1] = (char)(y * 15);
            s[at + 2] = (char)(x + y * 9);
            s[at + 3] = (char)0xff;
        }
    return s;
}

// Every pixel of each cell against the bitmap loader's reading of the same strip.
void expect_cells_match_loader(const char *strip_file, int cells)
{
    BITMAP *reference = load_bitmap(strip_file, palette);
    ASSERT_NE(reference, nullptr);
    BITMAP *converted = create_bitmap(reference->w, reference->h);
    blit(reference, converted, 0, 0, 0, 0, reference->w, reference->h);
    for (int t = 0; t < cells; t++) {
        int wrong = 0;
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++)
                wrong += getpixel(planes[0].triangle_shadow[t], x, y) != getpixel(converted, 16 * t + x, y);
        EXPECT_EQ(wrong, 0) << strip_file << " cell " << t;
    }
    destroy_bitmap(converted);
    destroy_bitmap(reference);
}

}  // namespace

TEST_F(MapFile, StripsOfEveryKindGiveTheLoadersColours)
{
    PlaneSpec on;
    dir.write("data/maps/7.dtl", map_text({on}));

    // 8 bits with a palette.
    make_map_folders();
    BITMAP *indexed = create_bitmap_ex(8, 32, 16);
    PALETTE colours;
    for (int i = 0; i < 256; i++)
        colours[i] = RGB{(unsigned char)(i % 64), (unsigned char)((i * 3) % 64), (unsigned char)(63 - i % 64), 0};
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 32; x++)
            putpixel(indexed, x, y, (x * 16 + y * 5) & 255);
    ASSERT_EQ(save_bitmap("data/maps/shadowmap/i7_0.bmp", indexed, colours), 0);
    destroy_bitmap(indexed);
    ASSERT_TRUE(load_map("7"));
    expect_cells_match_loader("data/maps/shadowmap/i7_0.bmp", 2);

    dir.write("data/maps/shadowmap/i7_0.bmp", bitmap_32(32));
    ASSERT_TRUE(load_map("7"));
    expect_cells_match_loader("data/maps/shadowmap/i7_0.bmp", 2);

    // 24 bits, three cells wide for two triangles: a wider strip is fine.
    write_strip("7", 0, 3, shaded_cells);
    ASSERT_TRUE(load_map("7"));
    expect_cells_match_loader("data/maps/shadowmap/i7_0.bmp", 2);
}
