// The start map's first minute: no spawn point where a demon wakes out of the hero's sight.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "render/camera.h"
#include "tests/headless.h"
#include "tools/forge/firstminute.h"

namespace {

std::vector<std::string> first_minute_of(int number, const std::string &grid)
{
    Campaign c;
    MapSource m;
    std::string error;
    std::string text = "map " + std::to_string(number) + "\n" + small_legend + "grid\n" + grid + "end\nmonsters 1\n";
    EXPECT_TRUE(parse_map_text("m.map", text, m, error)) << error;
    c.maps.push_back(m);
    assign_exit_triggers(c);
    std::vector<std::string> found = first_minute_problems(c, c.maps[0]), all = validate_campaign(c);
    for (const std::string &f : found)
        EXPECT_NE(std::find(all.begin(), all.end(), f), all.end()) << "the validator leaves out: " << f;
    return found;
}

// A field with a spawn cell in row 5; `north` replaces rows 1 to 3.
std::string spawn_field(const std::string &north)
{
    std::string g = "################\n" + north;
    g += "#..............#\n#......x.......#\n";
    for (int i = 0; i < 5; i++)
        g += "#..............#\n";
    return g + "#S.............#\n################\n";
}

}  // namespace

// The check looks through the game's own camera; what a map maker reads in the README:
// some 6 units north, 3 south, 6 east and west.
TEST(FirstMinute, ItsViewIsTheGamesWorldBand)
{
    set_up_game_camera();
    EXPECT_TRUE(in_world_band_at_rest(0, 0, -6.3f));
    EXPECT_FALSE(in_world_band_at_rest(0, 0, -6.7f));
    EXPECT_TRUE(in_world_band_at_rest(0, 0, 3.1f));
    EXPECT_FALSE(in_world_band_at_rest(0, 0, 3.5f));
    EXPECT_TRUE(in_world_band_at_rest(6, 0, 0));
    EXPECT_FALSE(in_world_band_at_rest(6, 0, 2.5f));
}

TEST(FirstMinute, RefusesASpawnCellThatWakesBelowTheScreen)
{
    // Open floor north of the spawn cell: standing there, the hero wakes it from below the
    // screen's world band.
    std::string open = spawn_field("#..............#\n#..............#\n#..............#\n");
    auto p = first_minute_of(START_MAP, open);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NE(p[0].find("map 901 (m.map): the spawn cell at column 7 row 5 wakes out of the hero's sight"),
              std::string::npos) << p[0];
    EXPECT_NE(p[0].find("in his first 20"), std::string::npos) << p[0];

    // With wall up to a unit north of it, every place that wakes it sees it.
    EXPECT_TRUE(first_minute_of(START_MAP, spawn_field("################\n################\n################\n")).empty());
    // Two or three units north and five aside it wakes below the screen's corner.
    std::string aside = spawn_field("################\n################\n#..............#\n");
    p = first_minute_of(START_MAP, aside);
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NE(p[0].find("column 7 row 5"), std::string::npos) << p[0];

    // Only the start map has a first minute.
    EXPECT_TRUE(first_minute_of(101, open).empty());
}

TEST(FirstMinute, LooksOnlyAsFarAsTheHeroWalksInTwentySeconds)
{
    // A corridor: 9.6 units a game second, diagonals as fast, makes 271.5 units of walk.
    auto corridor = [](int start_col) {
        std::string row(290, '.'), g = std::string(292, '#') + "\n";
        for (int r = 1; r <= 5; r++) {
            std::string line = row;
            if (r == 5)
                line[284] = 'x';
            if (r == 5 && start_col >= 0)
                line[start_col] = 'S';
            g += "#" + line + "#\n";
        }
        return g + std::string(292, '#') + "\n";
    };
    EXPECT_TRUE(first_minute_of(START_MAP, corridor(0)).empty());
    auto p = first_minute_of(START_MAP, corridor(20));
    ASSERT_EQ(p.size(), 1u);
    EXPECT_NE(p[0].find("column 285 row 5"), std::string::npos) << p[0];
}
