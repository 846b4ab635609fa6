// What stops the hero rises where the player can see it: the forge's rule, and the hedges,
// fences, railings and shore ledges that show it.
#include <gtest/gtest.h>

#include "tools/forge/barriercheck.h"
#include "tools/forge/barrierfaces.h"
#include "tools/forge/mapbuild.h"
#include "tools/forge/mapfaces.h"

// The edges of a one-map campaign that break the rule, and all the forge says of them.
static size_t barrier_breaks_in(const std::string &text, std::string *said)
{
    Campaign c;
    c.maps.resize(1);
    std::string error;
    EXPECT_TRUE(parse_map_text("court.map", text, c.maps[0], error)) << error;
    std::vector<std::string> problems;
    check_barriers(c, c.maps[0], problems);
    for (const std::string &p : problems)
        *said += p + "\n";
    return barrier_breaks(c, c.maps[0]).size();
}

// A cell that stops the hero rises 0.8 above the floor beside it, by its top or by what
// stands on it: a post, a fence, a hedge, a crown that comes down to the ground.
TEST(Barriers, WhatStopsTheHeroRisesOrIsRefusedByName)
{
    const struct { const char *x; bool low; } cases[] = {
        {"wall 0.8 wall", false}, {"leaves 0.3 wall hedge=leaves:0.5", false}, {"mud 0 wall fence=wood", false},
        {"roots 0 wall post=bark:0.8:0.3", false}, {"leaves 0 wall crown=leaves:0:0.9", false}, {"grass 0.7", false},
        {"roots 0 wall post=bark:2.3:0.3 crown=leaves:1.7:3.3", false}, {"wall 0.75 wall", true},
        {"leaves 0.3 wall hedge=leaves:0.4", true}, {"roots 0 wall post=bark:0.7", true},
        {"roots 0 wall crown=leaves:1.7:3.3", true}, {"grass -0.5 wall", true}};
    for (const auto &c : cases) {
        std::string said, court = std::string("map 5\ncell # wall 1.5 wall\ncell . grass 0\ncell S grass 0 spot=start\n"
                                              "cell X ") + c.x + "\ngrid\n#######\n#S....#\n#..X..#\n#.....#\n#######\nend\n";
        EXPECT_EQ(barrier_breaks_in(court, &said), c.low ? 4u : 0u) << c.x << ": the four edges round it, or none";
        EXPECT_EQ(said.find("map 5 (court.map): cell 'X' at column 3 row 2 stops the hero but rises only") == 0 &&
                      said.find("of it, less than the 0.8 that reads as a barrier") != std::string::npos, c.low) << said;
        EXPECT_EQ(said.find("north of it") < said.find("\nmap 5 (court.map): and 3 more edges\n"), c.low) << said;
    }
}

// A drop of 1.5 or more whose face the camera cannot see (the lower floor north, east or
// west) is marked; toward the camera it shows its face, and water and lava show themselves.
TEST(Barriers, DropsAwayFromTheCameraAreMarked)
{
    const struct { const char *sides, *low, *rail; size_t breaks; const char *named; } cases[] = {
        {"n", "grass 0", "", 3, "the floor '+' at column 1 row 1 drops 2.0 to the floor north of it"},
        {"e", "grass 0", "", 3, "the floor '+' at column 3 row 1 drops 2.0 to the floor east of it"},
        {"w", "grass 0", "", 3, "the floor '+' at column 1 row 1 drops 2.0 to the floor west of it"},
        {"w", "grass 0.6", "", 0, ""}, {"s", "grass 0", "", 0, ""}, {"new", "water -2 kind=1", "", 0, ""},
        {"new", "lava -1.6 kind=2", "", 0, ""}, {"new", "grass 0", " rail=wood", 0, ""}};
    for (const auto &c : cases) {
        // A terrace two units up, where the hero arrives, with lower ground on the sides given.
        std::string grid = "#####\n#+++#\n#+S+#\n#+++#\n#####\n", said;
        for (const char *side = c.sides; *side; side++)
            for (int i = 1; i < 4; i++)
                grid[6 * (*side == 's' ? 4 : *side == 'n' ? 0 : i) + (*side == 'e' ? 4 : *side == 'w' ? 0 : i)] = ',';
        std::string text = std::string("map 5\ncell # wall 4 wall\ncell S flagstone 2 spot=start\ncell + flagstone 2") +
                           c.rail + "\ncell , " + c.low + "\ngrid\n" + grid + "end\n";
        EXPECT_EQ(barrier_breaks_in(text, &said), c.breaks) << c.sides << " " << c.low << c.rail;
        EXPECT_TRUE(*c.named ? said.find(c.named) != std::string::npos : said.empty()) << said;
    }
}

// The scenery stands where the rule counts it: a railing along the drops alone, and a hedge
// see-through only where the hero can stand just north of it.
TEST(Barriers, SceneryStandsWhereTheCellsSay)
{
    MapSource m;
    std::string error;
    ASSERT_TRUE(parse_map_text("s.map", "map 5\ncell # wall 4 wall\ncell . grass 0\ncell r flagstone 2 rail=wood\ncell h leaves "
                               "0.3 wall hedge=leaves:0.6\ngrid\n#####\n#.rr#\n#.rr#\n#hhh.\n#.h..\nend\n", m, error)) << error;
    int railing = 0, see_through = 0, opaque = 0;
    for (const Face &f : collect_faces(m)) {
        float west = 1, south = 0;  // how far in from its cell's west edge, and south to
        for (int k = 0; k < 4; k++)
            west = std::min(west, f.p[k][0] - map_origin_x(m) - f.col), south = std::max(south, f.p[k][2] - map_origin_z(m) - f.row);
        if (f.surface == "wood")  // along the west edge of column 2 or the south edge of row 2
            railing += (f.col == 2 && west < 0.15f) || (f.row == 2 && south > 0.85f) ? 1 : 1000;
        if (cell_style(m, f.col, f.row).symbol == 'h' && f.p[0][1] > 0.3f + 1e-4f) {  // above the hedge's cell
            (f.transparency ? see_through : opaque)++;
            EXPECT_EQ(f.transparency > 0, f.row == 3) << "floor lies north of row 3 only";
        }
    }
    EXPECT_TRUE(railing > 0 && railing < 1000 && see_through && opaque) << railing;
}
