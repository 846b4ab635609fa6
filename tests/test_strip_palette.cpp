// The forge's 8-bit shadow strips: written through the game's map writer with the forge's
// palette reducer and read back by the game's loader.
#include <allegro.h>
#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "tests/map_fixture.h"
#include "tools/forge/forge.h"
#include "tools/forge/quantize.h"
#include "world/mapfile.h"

namespace {

typedef int (*CellPainter)(int t, int x, int y);

// Cells are worked at 32 bits, so that what is measured is the palette's error alone and
// not the 16-bit screen's.
class StripPalette : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_map_tables();
        set_color_depth(32);
        make_map_folders();
        strip_reducer = reduce_strip;
    }
    ScratchDir dir;
    void TearDown() override
    {
        strip_reducer = nullptr;
        reset_map_tables();
        set_color_depth(16);
    }

    // One active plane of `cells` triangles; those listed in `empty` have no cell.
    void build_plane(int cells, CellPainter paint, const std::set<int> &empty = {})
    {
        Plane &pl = planes[0];
        pl.active = 1, pl.last_vertex = 2, pl.last_triangle = (s16)(cells - 1);
        for (int i = 0; i < 3; i++) {
            pl.vertices[i].e[3] = (float)(i == 1);
            pl.vertices[i].e[5] = (float)(i == 2);
        }
        for (int t = 0; t < cells; t++) {
            for (int k = 0; k < 3; k++)
                pl.triangles[t].e[k] = (s16)k;
            if (empty.count(t))
                continue;
            pl.triangle_shadow[t] = create_bitmap(SHADOW_CELL, SHADOW_CELL);
            pl.triangle_shadow_state[t] = 2;
            for (int y = 0; y < SHADOW_CELL; y++)
                for (int x = 0; x < SHADOW_CELL; x++)
                    putpixel(pl.triangle_shadow[t], x, y, paint(t, x, y));
        }
    }

    struct Error {
        double mean = 0;
        int worst = 0;
        size_t colours = 0;  // distinct colours written
    };

    // Saves the map, loads it again and compares every painted pixel, channel by channel.
    Error round_trip(int cells, CellPainter paint, const std::set<int> &empty = {})
    {
        build_plane(cells, paint, empty);
        EXPECT_TRUE(save_map("5"));
        reset_map_tables();
        EXPECT_TRUE(load_map("5"));
        Error e;
        std::set<int> colours;
        long sum = 0, n = 0;
        for (int t = 0; t < cells; t++) {
            if (empty.count(t))
                continue;
            BITMAP *cell = planes[0].triangle_shadow[t];
            EXPECT_NE(cell, nullptr) << "cell " << t;
            if (!cell)
                continue;
            for (int y = 0; y < SHADOW_CELL; y++)
                for (int x = 0; x < SHADOW_CELL; x++) {
                    int want = paint(t, x, y), got = getpixel(cell, x, y);
                    colours.insert(want);
                    int d[3] = {getr(want) - getr(got), getg(want) - getg(got), getb(want) - getb(got)};
                    for (int k : d) {
                        sum += std::abs(k);
                        n++;
                        e.worst = std::max(e.worst, std::abs(k));
                    }
                    EXPECT_NE(makecol16(getr(got), getg(got), getb(got)), MASK_COLOR_16) << t << " " << x << "," << y;
                }
        }
        e.mean = n ? (double)sum / n : 0;
        e.colours = colours.size();
        return e;
    }
};

std::vector<unsigned char> file_bytes(const char *path)
{
    std::string text = file_text(path);
    return std::vector<unsigned char>(text.begin(), text.end());
}

// Six surfaces, as a plane's corner of a map has, each cell under its own light and
// darkening toward its foot, as the forge bakes them: thousands of colours in clusters.
std::vector<BITMAP *> surfaces;  // freed by the test that paints with them

int lit_texture(int t, int x, int y)
{
    if (surfaces.empty())
        for (int s : {SURFACE_GRASS, SURFACE_DIRT, SURFACE_WALL, SURFACE_BARK, SURFACE_LEAVES, SURFACE_ROCK})
            surfaces.push_back(make_surface(s));
    int c = getpixel(surfaces[t % surfaces.size()], x, y);
    float light = (0.42f + 0.58f * ((t * 7) % 13) / 12.0f) * (0.78f + 0.22f * (1 - y / 16.0f));
    return makecol(std::min(255, (int)(getr32(c) * light)), std::min(255, (int)(getg32(c) * light)),
                   std::min(255, (int)(getb32(c) * light)));
}

// A flat colour per cell, no two within a palette step of each other.
int flat(int t, int, int)
{
    return makecol(8 + 24 * (t % 10), 255 - 20 * (t % 12), 12 * (t % 21));
}

// Colours with no pattern at all; some of them next to the mask colour.
int noise(int t, int x, int y)
{
    if (t == 3)
        return makecol(255 - (x & 3), y & 1, 255 - (y & 3));
    unsigned h = hash3(x + 16 * t, y, 99);
    return makecol(h & 255, (h >> 8) & 255, (h >> 16) & 255);
}

}  // namespace

TEST_F(StripPalette, FewColoursComeBackWithinAPaletteStepAndBlackExactly)
{
    // A palette entry holds 6 bits a channel: 255 / 63 apart, so at most 2 off.
    Error e = round_trip(40, flat);
    EXPECT_LT(e.colours, 256u);
    EXPECT_LE(e.worst, 2);

    // One colour, black, the colour of the empty entry too: exact.
    reset_map_tables();
    e = round_trip(2, [](int, int, int) { return makecol(0, 0, 0); });
    EXPECT_EQ(e.worst, 0);
    std::vector<unsigned char> strip = file_bytes("data/maps/shadowmap/i5_0.bmp");
    ASSERT_GE(strip.size(), 54 + 1024 + 2 * 16 * 16u);
    EXPECT_EQ(strip[28], 8);
}

TEST_F(StripPalette, BakedTexturesComeBackWithinASixteenBitStep)
{
    // Thousands of colours. The game keeps its cells in 16 bits, where a step of red or blue
    // is 8: the mean must stay within a quarter of a step (1.3 measured) and no pixel may be
    // off by two steps (11 measured).
    Error e = round_trip(120, lit_texture);
    for (BITMAP *surface : surfaces)
        destroy_bitmap(surface);
    surfaces.clear();
    EXPECT_GT(e.colours, 2000u);
    EXPECT_LT(e.mean, 2.0);
    EXPECT_LE(e.worst, 16);
    std::vector<unsigned char> strip = file_bytes("data/maps/shadowmap/i5_0.bmp");
    ASSERT_TRUE(strip.size() > 54u && strip.size() < 54 + 1024 + 120 * 16 * 16 + 64u) << strip.size();
    EXPECT_EQ(strip[28], 8) << "bits a pixel";
}

TEST_F(StripPalette, EmptyCellsStayColourZeroAndNoiseStillLoads)
{
    // Far more colours than entries, some beside the mask colour: every cell still loads, no
    // pixel turns into the mask colour (checked in round_trip), and the error stays that of
    // 255 colours spread over the whole cube (9.6 mean and 39 worst measured).
    std::set<int> empty = {0, 5, 6, 63};
    Error e = round_trip(64, noise, empty);
    EXPECT_GT(e.colours, 10000u);
    EXPECT_LT(e.mean, 12.0);
    EXPECT_LE(e.worst, 64);

    std::vector<unsigned char> strip = file_bytes("data/maps/shadowmap/i5_0.bmp");
    ASSERT_GE(strip.size(), 54 + 1024 + 64 * 16 * 16u);
    EXPECT_EQ(strip[28], 8);
    EXPECT_EQ(strip[54] | strip[55] | strip[56], 0) << "entry 0 is black";
    uint32_t offset = strip[10] | strip[11] << 8 | strip[12] << 16 | (uint32_t)strip[13] << 24;
    int stray = 0;
    for (int t : empty)
        for (int y = 0; y < SHADOW_CELL; y++)
            for (int x = 0; x < SHADOW_CELL; x++)
                stray += strip[offset + y * 64 * SHADOW_CELL + t * SHADOW_CELL + x] != 0;
    EXPECT_EQ(stray, 0);

    // The same strip always gives the same bytes.
    reset_map_tables();
    build_plane(64, noise, empty);
    ASSERT_TRUE(save_map("5"));
    EXPECT_TRUE(file_bytes("data/maps/shadowmap/i5_0.bmp") == strip);
}

TEST_F(StripPalette, WithoutTheReducerTheWriterKeepsItsDepth)
{
    strip_reducer = nullptr;
    build_plane(3, flat);
    ASSERT_TRUE(save_map("5"));
    std::vector<unsigned char> strip = file_bytes("data/maps/shadowmap/i5_0.bmp");
    ASSERT_GT(strip.size(), 54u);
    EXPECT_EQ(strip[28], 24);
}

TEST(ForgedStrips, AreWrittenWithEightBits)
{
    // The build's own data, forged from the campaign: the forge sets the reducer.
    std::vector<unsigned char> strip = file_bytes("data/maps/shadowmap/i901_0.bmp");
    ASSERT_GT(strip.size(), 54u);
    EXPECT_EQ(strip[28], 8);
    EXPECT_EQ(strip_reducer, nullptr) << "the forge leaves the writers as it found them";
}
