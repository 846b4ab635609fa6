// Map sources: the text a map maker writes, and the mistakes the reader must catch.
#include <gtest/gtest.h>

#include "tools/forge/mapsource.h"

namespace {

const char *small_map = R"(# a comment line
map 123 "Test Field"   # trailing comment
sun 0 2 0
cell # wall 2 wall
cell . grass 0
cell ~ water -2 kind=1 trans=35 bed=dirt:-3
cell | planks 0 kind=5 curtain=seal:6
cell E trigger 0 exit=901:start
cell S dirt 0 spot=start
cell k grass 0 item=key2
cell x grass 0 kind=7
grid
#####
#S.k#
#.~~|
#xE
end
spot far 1 3
item heart 2 1
monsters 1 15 3
)";

bool parse(const std::string &text, MapSource &m, std::string &error)
{
    return parse_map_text("test.map", text, m, error);
}

std::string error_of(const std::string &text)
{
    MapSource m;
    std::string error;
    EXPECT_FALSE(parse(text, m, error));
    return error;
}

}  // namespace

TEST(MapSource, ReadsEveryPart)
{
    MapSource m;
    std::string error;
    ASSERT_TRUE(parse(small_map, m, error)) << error;
    EXPECT_EQ(m.number, 123);
    EXPECT_EQ(m.title, "Test Field");
    EXPECT_FLOAT_EQ(m.sun[1], 1.0f);  // normalised
    EXPECT_EQ(m.width, 5);
    EXPECT_EQ(m.height, 4);
    EXPECT_EQ(m.grid[3], "#xE  ");  // short rows are padded with void
    EXPECT_TRUE(cell_style(m, 4, 3).is_void);
    EXPECT_TRUE(cell_style(m, -1, 0).is_void);
    EXPECT_TRUE(cell_style(m, 0, 0).blocking);

    const CellStyle &water = cell_style(m, 2, 2);
    EXPECT_EQ(water.kind, 1);
    EXPECT_EQ(water.transparency, 35);
    EXPECT_TRUE(water.has_bed);
    EXPECT_EQ(water.bed_surface, "dirt");
    EXPECT_FLOAT_EQ(water.bed_height, -3.0f);
    EXPECT_FLOAT_EQ(water.height, -2.0f);

    const CellStyle &seal = cell_style(m, 4, 2);
    EXPECT_EQ(seal.curtain_kind, 6);
    EXPECT_EQ(seal.curtain_surface, "seal");
    const CellStyle &exit = cell_style(m, 2, 3);
    EXPECT_EQ(exit.exit_map, "901");
    EXPECT_EQ(exit.exit_spot, "start");

    ASSERT_EQ(m.spots.size(), 2u);
    EXPECT_EQ(m.spots[0].name, "far");
    EXPECT_EQ(m.spots[1].name, "start");
    EXPECT_EQ(m.spots[1].col, 1);
    EXPECT_EQ(m.spots[1].row, 1);
    ASSERT_EQ(m.items.size(), 2u);
    EXPECT_EQ(m.items[0].type, 0);  // the line comes first
    EXPECT_EQ(m.items[1].type, 2);  // key2 from the grid
    EXPECT_EQ(m.items[1].col, 3);
    EXPECT_EQ(m.monsters, (std::vector<int>{1, 15, 3}));
}

TEST(MapSource, MistakesAreNamedWithTheirLine)
{
    std::string base = "map 5\ncell . grass 0\n";
    EXPECT_EQ(error_of(base + "grid\n.q.\nend\n"), "test.map: grid row 0 column 1: no cell is defined for 'q'");
    EXPECT_EQ(error_of(base + "cell x grass 0 kind=9\n"), "test.map:3: kind must be 0 to 8 (triggers are written with exit=)");
    EXPECT_EQ(error_of(base + "monsters 1 16\n"), "test.map:3: monster kinds are 1 to 15, not \"16\"");
    EXPECT_EQ(error_of(base + "monsters 0\n"), "test.map:3: monster kinds are 1 to 15, not \"0\"");
    EXPECT_EQ(error_of(base + "grid\n...\n"), "test.map:4: the grid has no \"end\"");
    EXPECT_EQ(error_of(base + "cell . dirt 0\n"), "test.map:3: cell '.' is defined twice");
    EXPECT_EQ(error_of(base + "cell E trigger 0 exit=901\n"), "test.map:3: exit= is written exit=MAP:SPOT");
    EXPECT_EQ(error_of(base + "cell E trigger 0 exit=1000:a\n"), "test.map:3: exit map must be a map number from 1 to 999");
    EXPECT_EQ(error_of(base + "cell E trigger 0 kind=7 exit=2:a\n"), "test.map:3: a trigger cell cannot have another kind");
    EXPECT_EQ(error_of(base + "cell t grass 0 trans=101\n"), "test.map:3: trans must be 0 to 100 percent");
    EXPECT_EQ(error_of(base + "cell b grass 0 bed=dirt:1\n"), "test.map:3: a bed lies below its cell's top");
    EXPECT_EQ(error_of(base + "cell c seal 0 curtain=seal:5\n"),
              "test.map:3: curtain= is written curtain=SURFACE:4 or curtain=SURFACE:6");
    EXPECT_EQ(error_of(base + "cell s grass 0 spot=a\ngrid\ns.s\nend\n"), "test.map:3: spot \"a\" is placed more than once");
    EXPECT_EQ(error_of(base + "spot a 1 1\nspot a 2 2\n"), "test.map:4: spot \"a\" is defined twice");
    EXPECT_EQ(error_of(base + "item sword 1 1\n"), "test.map:3: unknown item \"sword\" (heart, key1..key5, gem1..gem4)");
    EXPECT_EQ(error_of(base + "sun 0 -1 0\n"), "test.map:3: the sun must stand above the horizon");
    EXPECT_EQ(error_of(base + "cell h grass high\n"), "test.map:3: cell 'h' needs a height in units");
    EXPECT_EQ(error_of("cell . grass 0\ngrid\n.\nend\n"), "test.map:1: the source has no \"map NUMBER\" line");
    EXPECT_EQ(error_of("map 1000\n"), "test.map:1: map needs its number, 1 to 999");
    EXPECT_EQ(error_of(base), "test.map:1: the source has no grid");
    EXPECT_EQ(error_of(base + "teleport 1 2\n"), "test.map:3: unknown line: teleport 1 2");
}

TEST(MapSource, HashIsAWallSymbolOnCellLinesAndACommentElsewhere)
{
    MapSource m;
    std::string error;
    ASSERT_TRUE(parse("map 7 # the seventh\ncell # wall 2 wall # stone\ncell space void\ngrid\n# #\nend\n", m, error))
        << error;
    EXPECT_TRUE(cell_style(m, 0, 0).blocking);
    EXPECT_TRUE(cell_style(m, 1, 0).is_void);
    EXPECT_EQ(m.number, 7);
}

TEST(MapSource, ItemNamesRoundTrip)
{
    for (int t = 0; t < 10; t++)
        EXPECT_EQ(item_type_from_name(item_type_name(t)), t);
    EXPECT_EQ(item_type_from_name("key6"), -1);
    EXPECT_STREQ(item_type_name(10), "?");
}
