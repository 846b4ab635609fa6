// Map sources: the text a map maker writes, and the mistakes the reader must catch.
#include <gtest/gtest.h>

#include <vector>

#include "tests/headless.h"
#include "tools/forge/mapsource.h"

namespace {

const char *small_map = R"(# a comment line
map 123 "Test Field"   # trailing comment
sun 0 2 0
cell # wall 2 wall # a wall: on a cell line only " #" starts a comment
cell space void
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
    EXPECT_TRUE(m.width == 5 && m.height == 4);
    EXPECT_EQ(m.grid[3], "#xE  ");  // short rows are padded with void
    EXPECT_TRUE(cell_style(m, 4, 3).is_void);
    EXPECT_TRUE(cell_style(m, -1, 0).is_void);
    EXPECT_TRUE(cell_style(m, 0, 0).blocking);

    const CellStyle &water = cell_style(m, 2, 2);
    EXPECT_TRUE(water.kind == 1 && water.transparency == 35 && water.has_bed);
    EXPECT_EQ(water.bed_surface, "dirt");
    EXPECT_TRUE(water.bed_height == -3 && water.height == -2);

    EXPECT_EQ(cell_style(m, 4, 2).curtain_kind, 6);
    EXPECT_EQ(cell_style(m, 4, 2).curtain_surface, "seal");
    EXPECT_EQ(cell_style(m, 2, 3).exit_map + ":" + cell_style(m, 2, 3).exit_spot, "901:start");

    ASSERT_EQ(m.spots.size(), 2u);
    EXPECT_EQ(m.spots[0].name + " " + m.spots[1].name, "far start");
    EXPECT_TRUE(m.spots[1].col == 1 && m.spots[1].row == 1);
    ASSERT_EQ(m.items.size(), 2u);
    // The line comes first, then key2 from the grid.
    EXPECT_EQ(std::vector<int>({m.items[0].type, m.items[1].type, m.items[1].col}), std::vector<int>({0, 2, 3}));
    EXPECT_EQ(m.monsters, (std::vector<int>{1, 15, 3}));
}

// One of each kind of mistake: a symbol with no cell, a number past the table it indexes
// (both ends where both can be crossed), a value written wrongly, a name given twice, a
// part missing, a shape that cannot be built, an unknown word.
TEST(MapSource, MistakesAreNamedWithTheirLine)
{
    std::string base = "map 5\ncell . grass 0\n";
    const struct { std::string text, error; } cases[] = {
        {base + "grid\n.q.\nend\n", "test.map: grid row 0 column 1: no cell is defined for 'q'"},
        {base + "cell x grass 0 kind=9\n", "test.map:3: kind must be 0 to 8 (triggers are written with exit=)"},
        {base + "monsters 1 16\n", "test.map:3: monster kinds are 1 to 15, not \"16\""},
        {base + "monsters 0\n", "test.map:3: monster kinds are 1 to 15, not \"0\""},
        {base + "cell E trigger 0 exit=1000:a\n", "test.map:3: exit map must be a map number from 1 to 999"},
        {"map 1000\n", "test.map:1: map needs its number, 1 to 999"},
        {base + "cell E trigger 0 exit=901\n", "test.map:3: exit= is written exit=MAP:SPOT"},
        {base + "cell h grass high\n", "test.map:3: cell 'h' needs a height in units"},
        {base + "cell . dirt 0\n", "test.map:3: cell '.' is defined twice"},
        {base + "cell s grass 0 spot=a\ngrid\ns.s\nend\n", "test.map:3: spot \"a\" is placed more than once"},
        {base + "grid\n...\n", "test.map:4: the grid has no \"end\""},
        {"cell . grass 0\ngrid\n.\nend\n", "test.map:1: the source has no \"map NUMBER\" line"},
        {base + "cell E trigger 0 kind=7 exit=2:a\n", "test.map:3: a trigger cell cannot have another kind"},
        {base + "cell b grass 0 bed=dirt:1\n", "test.map:3: a bed lies below its cell's top"},
        {base + "item sword 1 1\n", "test.map:3: unknown item \"sword\" (heart, key1..key5, gem1..gem4)"},
        {base + "teleport 1 2\n", "test.map:3: unknown line: teleport 1 2"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(error_of(c.text), c.error);
}

TEST(MapSource, ReadsScenery)
{
    MapSource src;
    std::string error;
    ASSERT_TRUE(parse_map_text("test.map",
                               "map 5\ncell T roots 0 wall post=bark:2.3:0.45 crown=leaves:1.7:3.3\n"
                               "cell P bone 0 wall post=bone:2.4\ncell _ mud 0.1 wall fence=wood\n"
                               "cell s tiles 0.5 stairs=-0.5\ngrid\nTP_s\nend\n",
                               src, error))
        << error;
    const CellStyle &t = src.legend['T'], &p = src.legend['P'], &f = src.legend['_'], &s = src.legend['s'];
    EXPECT_EQ(t.post_surface + " " + t.crown_surface, "bark leaves");
    expect_floats({t.post_height, t.post_width, t.crown_bottom, t.crown_top}, {2.3f, 0.45f, 1.7f, 3.3f});
    EXPECT_FLOAT_EQ(p.post_width, 0.5f) << "the default width";
    EXPECT_EQ(p.crown_top, 0.0f);
    EXPECT_EQ(f.fence_surface, "wood");
    EXPECT_TRUE(s.has_stairs);
    EXPECT_FLOAT_EQ(s.stairs_low, -0.5f);
    EXPECT_FALSE(src.legend['T'].has_stairs);
}

TEST(MapSource, ItemNamesRoundTrip)
{
    for (int t = 0; t < 10; t++)
        EXPECT_EQ(item_type_from_name(item_type_name(t)), t);
    EXPECT_EQ(item_type_from_name("key6"), -1);
    EXPECT_STREQ(item_type_name(10), "?");
}

TEST(MapSource, RingsGoAroundTheGridInTheOrderWritten)
{
    std::string text = std::string(small_map) +
                       "ring west 2 ##~   # a comment after ' # '\n"
                       "ring north 1 ~\n"
                       "ring south 3 #\n"
                       "ring east 1 x\n";
    MapSource m;
    std::string error;
    ASSERT_TRUE(parse(text, m, error)) << error;
    EXPECT_TRUE(m.width == 5 + 2 + 1 && m.height == 4 + 1 + 3);
    // The north ring spans the west ring's columns; the east ring, laid last, spans all rows.
    EXPECT_EQ(m.grid[0].substr(0, 7), "~~~~~~~");
    EXPECT_EQ(m.grid[0][7], 'x');
    for (int row = 5; row < 8; row++)
        EXPECT_EQ(m.grid[row].substr(0, 7), "#######") << row;
    for (int row = 1; row < 5; row++) {
        EXPECT_EQ(m.grid[row].substr(0, 2).find_first_not_of("#~"), std::string::npos) << row;
    }
    EXPECT_EQ(m.grid[2].substr(2, 5), "#S.k#");
    EXPECT_TRUE(m.ring_west == 2 && m.ring_north == 1);
    // Spots and items keep their cells: by symbol and by line alike.
    auto spot = [&](const std::string &name) {
        for (const SourceSpot &s : m.spots)
            if (s.name == name)
                return std::make_pair(s.col, s.row);
        return std::make_pair(-1, -1);
    };
    EXPECT_EQ(spot("start"), std::make_pair(3, 2));
    EXPECT_EQ(spot("far"), std::make_pair(3, 4));
    for (const SourceItem &it : m.items)
        EXPECT_EQ(m.grid[it.row][it.col], it.type == item_type_from_name("key2") ? 'k' : '.') << it.type;

    // The same source always gets the same scenery, and both symbols of a mixed ring occur.
    MapSource again;
    ASSERT_TRUE(parse(text, again, error));
    EXPECT_EQ(again.grid, m.grid);
    std::string wide = std::string(small_map) + "ring north 6 #~\n";
    ASSERT_TRUE(parse(wide, m, error));
    std::string band;
    for (int row = 0; row < 6; row++)
        band += m.grid[row];
    EXPECT_NE(band.find('#'), std::string::npos);
    EXPECT_NE(band.find('~'), std::string::npos);

    EXPECT_NE(error_of(std::string(small_map) + "ring west 0 #\n").find("ring is written"), std::string::npos);
}
