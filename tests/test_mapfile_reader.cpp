// The map reader on hand-written files: short, stopped, refused and missing files, the float
// reader against the C library, and strips of every kind against the bitmap loader.
#include <cmath>
#include <cstdlib>
#include <unistd.h>

#include "tests/crafted_pictures.h"
#include "tests/map_fixture.h"

namespace {

struct RefusedMap {
    const char *field;  // what the refusal's line must hold
    std::string text;
};

// Loads map 7 of two planes, then each case as map 8: every one is refused in one line that
// names it, and map 7 stays as it was, down to its cells and pick-ups.
void expect_refused_leaving_map_7(const ScratchDir &dir, const std::vector<RefusedMap> &cases)
{
    PlaneSpec on;
    write_map(dir, "7", {on, on}, red_cells, 1);
    item_count = 1;
    item_placements[0] = ItemPlacement{1, 1, 2, 3, 4, 7};
    ASSERT_TRUE(load_map("7"));
    std::unique_ptr<Plane[]> kept(new Plane[2]);
    memcpy(kept.get(), planes, 2 * sizeof(Plane));
    MapExtra extra = map_extras[0];
    MapItem item = map_items[0];
    write_strip("8", 0, 2, blue_cells);
    write_strip("8", 1, 2, blue_cells);
    for (const RefusedMap &c : cases) {
        SCOPED_TRACE(c.field);
        ASSERT_FALSE(c.text.empty());
        dir.write("data/maps/8.dtl", c.text);
        std::string err = stderr_of([] { EXPECT_FALSE(load_map("8")); });
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find("data/maps/8.dtl: refused"), std::string::npos) << err;
        EXPECT_NE(err.find(c.field), std::string::npos) << err;
        EXPECT_TRUE(current_map == 7 && plane_last == 1 && map_extra_count == 1);
        EXPECT_EQ(memcmp(kept.get(), planes, 2 * sizeof(Plane)), 0);
        EXPECT_EQ(memcmp(&extra, &map_extras[0], sizeof(extra)), 0);
        EXPECT_EQ(memcmp(&item, &map_items[0], sizeof(item)), 0);
        EXPECT_EQ(getpixel(planes[1].triangle_shadow[0], 0, 0), makecol(255, 0, 0));
    }
}

}  // namespace

TEST_F(MapFile, RefusedFilesLeaveTheCurrentMapAlone)
{
    auto with = [](void (*change)(PlaneSpec &)) {
        PlaneSpec bad;
        change(bad);
        PlaneSpec good;
        return map_text({good, bad}, 1);
    };
    std::string long_word(100, 'w');
    PlaneSpec good;
    expect_refused_leaving_map_7(dir, {
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
        {"i8_2.bmp", map_text({good, good, good}, 1)},                    // strip missing
    });

    // The limits themselves are accepted: a 99-character word, a strip wider than needed.
    dir.write("data/maps/8.dtl", "1 " + std::string(99, 'w') + " 1 0 x " + plane_text(good, 0) + plane_text(good, 0));
    EXPECT_TRUE(load_map("8"));
}

// A map cut short, NaN in a late plane, a count no integer holds, or text past the last
// plane: refused where the reading stopped and why, not played without what is missing.
TEST_F(MapFile, TextThatDoesNotReadToItsEndIsRefusedWhereItStops)
{
    PlaneSpec good;
    std::string whole = map_text({good, good}, 1);
    auto replaced = [&whole](const std::string &from, const std::string &to, int nth) {
        size_t at = 0;
        for (int i = 0; i <= nth; i++)
            at = whole.find(from, i ? at + 1 : 0);
        return whole.substr(0, at) + to + whole.substr(at + from.size());
    };
    // The third vertex record of a plane (vertex i: i, i + 0.25, ..., its seventh value 0).
    std::string vertex_2 = "\n2\n2.25\n2.5\n2.75\n";
    expect_refused_leaving_map_7(dir, {
        {"reading stopped at plane 1 triangle 1: the file ends",
         whole.substr(0, whole.rfind("0 1 2 3 0 0 0 0 0 1") + 8)},
        {"reading stopped at plane 0 triangle 1: the file ends", whole.substr(0, whole.size() / 2)},
        {"reading stopped at plane 0: \"1x\" is not a whole number", replaced("11\n22\n", "1x\n22\n", 0)},
        {"reading stopped at plane 1 vertex 2: \"nan\" is not a number (NaN)",
         replaced(vertex_2, "\n2\nnan\n2.5\n2.75\n", 1)},
        {"reading stopped at plane 1 vertex 2: \"-1e39\" is infinite or beyond the range of a float",
         replaced(vertex_2, "\n2\n-1e39\n2.5\n2.75\n", 1)},
        {"reading stopped at plane 1: \"2147483648\" is beyond a 32-bit integer",
         replaced("22\n2\n1\n", "22\n2147483648\n1\n", 1)},
        {"text goes on after its last record (plane 1 map extra 0): \"0\"", whole + "0\n"},
        // Corners out of every map's reach, where the hero would fall for ever: plane 1's
        // origin is (0, 0.5, 1) and its vertex 2 stands at (2.75, 3, 3.25) from it.
        {"plane 1 vertex 2 x is 1e+30 in the world, limit -10000..10000", replaced("\n2.75\n3\n", "\n1e30\n3\n", 1)},
        {"plane 0 vertex 2 y is -3e+38 in the world", replaced("\n2.75\n3\n", "\n2.75\n-3e38\n", 0)},
        {"plane 1 vertex 2 z is 10000.2 in the world", replaced("\n2.75\n3\n3.25\n", "\n2.75\n3\n9999.25\n", 1)},
    });
    // The reach itself is accepted.
    dir.write("data/maps/8.dtl", replaced("\n2.75\n3\n3.25\n", "\n2.75\n3\n9999\n", 1));
    EXPECT_TRUE(load_map("8"));
}

TEST_F(MapFile, MissingFilesAndBadNames)
{
    std::string err = stderr_of([] { EXPECT_FALSE(load_map("404")); });
    EXPECT_EQ(line_count(err), 1);
    EXPECT_NE(err.find("data/maps/404.dtl"), std::string::npos) << err;

    // A folder where the map file should be.
    make_map_folders();
    mkdir("data/maps/5.dtl", 0777);
    err = stderr_of([] { EXPECT_FALSE(load_map("5")); });
    EXPECT_EQ(err, "data/maps/5.dtl: refused: is a folder, not a file\n");

    // Map numbers index the per-map tables.
    for (const char *name : {"1000", "-1", "nan"}) {
        err = stderr_of([=] { EXPECT_FALSE(load_map(name)) << name; });
        EXPECT_EQ(line_count(err), 1) << err;
    }

    // A strip that is not a plain bitmap is refused before the bitmap loader sees it.
    PlaneSpec on;
    dir.write("data/maps/7.dtl", map_text({on}));
    dir.write("data/maps/shadowmap/i7_0.bmp", "BM not really a bitmap, but long enough to have a header at all");
    err = stderr_of([] { EXPECT_FALSE(load_map("7")); });
    EXPECT_NE(err.find("not a plain Windows bitmap"), std::string::npos) << err;

    // A strip cut short.
    write_strip("7", 0, 2, red_cells);
    std::string whole = dir.read("data/maps/shadowmap/i7_0.bmp");
    dir.write("data/maps/shadowmap/i7_0.bmp", whole.substr(0, whole.size() - 10));
    err = stderr_of([] { EXPECT_FALSE(load_map("7")); });
    EXPECT_NE(err.find("cut short"), std::string::npos) << err;
}

// A map or strip that is a link to a device would be read for ever, a pipe would wait for a
// writer, and a folder is no picture: each is refused unread, and the map played stays.
TEST_F(MapFile, SpecialFilesAreRefusedUnread)
{
    PlaneSpec on;
    write_map(dir, "7", {on}, red_cells);
    ASSERT_TRUE(load_map("7"));
    const char *map = "data/maps/8.dtl", *strip = "data/maps/shadowmap/i8_0.bmp";
    // One line, starting with `line`.
    auto expect_refused = [](const std::string &line) {
        std::string err = stderr_of([] { EXPECT_FALSE(load_map("8")); });
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_EQ(err.compare(0, line.size(), line), 0) << err;
        EXPECT_EQ(current_map, 7);
    };
    alarm(60);  // a reader that hangs fails here rather than holding the suite
    ASSERT_EQ(symlink("/dev/zero", map), 0);
    expect_refused("data/maps/8.dtl: refused: is not a plain file (a device, a pipe or a socket)\n");
    ASSERT_EQ(unlink(map), 0);
    ASSERT_EQ(mkfifo(map, 0644), 0);
    expect_refused("data/maps/8.dtl: refused: is not a plain file (a device, a pipe or a socket)\n");
    ASSERT_EQ(unlink(map), 0);
    dir.write(map, "");
    ASSERT_EQ(truncate(map, 600L << 20), 0);  // sparse: past the fullest map the format holds
    expect_refused("data/maps/8.dtl: refused: is larger than such a file can be (629145600 bytes, limit ");
    dir.write(map, map_text({on}));
    ASSERT_EQ(mkdir(strip, 0755), 0);
    expect_refused("data/maps/8.dtl: refused: plane 0 shadow map data/maps/shadowmap/i8_0.bmp is a folder, not a "
                   "file (needs 32 x 16)\n");
    ASSERT_EQ(rmdir(strip), 0);
    ASSERT_EQ(symlink("/dev/zero", strip), 0);
    expect_refused("data/maps/8.dtl: refused: plane 0 shadow map data/maps/shadowmap/i8_0.bmp is not a plain file (a "
                   "device, a pipe or a socket) (needs 32 x 16)\n");
    alarm(0);
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

    // 32 bits, uncompressed: the writers only make 24-bit strips, but other tools may not.
    dir.write("data/maps/shadowmap/i7_0.bmp", crafted_bmp(32, 16, 32));
    ASSERT_TRUE(load_map("7"));
    expect_cells_match_loader("data/maps/shadowmap/i7_0.bmp", 2);

    // 24 bits, three cells wide for two triangles: a wider strip is fine.
    write_strip("7", 0, 3, shaded_cells);
    ASSERT_TRUE(load_map("7"));
    expect_cells_match_loader("data/maps/shadowmap/i7_0.bmp", 2);
}
