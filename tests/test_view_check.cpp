// The view check's judgement on a small forged map: it holds as made, and each fault a map
// maker can make is refused with the place and the rule named. The shipped campaign is
// judged by the tool itself (the ctest view_check_campaign).
#include <gtest/gtest.h>

#include <string>
#include <sys/stat.h>

#include "tests/gameplay_scene.h"
#include "tests/map_fixture.h"
#include "tools/forge/mapbuild.h"
#include "tools/viewcheck/viewcheck.h"

namespace {

// A court ringed with low underbrush wide enough to fill the view from its edges, a dais
// half a unit up (its steps read), and a gem seal; a tree (its crown 2.2 up, or as the woods
// had it, 1.7), a ledge 1.4 up and a thicket as tall as a wall may be put in.
const char *court_legend = R"(map 901
cell ; leaves 0.3 wall side=bark
cell . grass 0
cell = planks 0 kind=5 curtain=seal:6
cell P rock 0 wall post=rock:3:0.9
cell T grass 0 wall post=bark:2.3:0.3 crown=leaves:2.2:3.4
cell t grass 0 wall post=bark:2.3:0.3 crown=leaves:1.7:3.3
cell L rock 1.4
cell @ leaves 1.5 wall side=bark
cell S grass 0 spot=start
cell r grass 0 spot=back
cell x grass 0 kind=7
)";
const char *court_rows[] = {";;;;;;;;;;;;;;;;", ";S...........x.;", ";..............;", ";...ddd........;",
                            ";...ddd........;", ";..............;", ";....=.........;", ";r.............;",
                            ";;;;;;;;;;;;;;;;"};

// The court forged as map 901, with `put` at column `col` row `row` of the grid (none when
// `put` is 0) and the rings named.
std::string court(char put, int col, int row, const char *rings = "west east north south",
                  const char *dais = "sand")
{
    std::string text = court_legend + std::string("cell d ") + dais + " 0.5\ngrid\n";
    for (int r = 0; r < 9; r++) {
        std::string line = court_rows[r];
        if (put && r == row)
            line[col] = put;
        text += line + "\n";
    }
    text += "end\nmonsters 1\n";
    const std::string all = rings;
    for (const char *side : {"west 11", "east 11", "north 8", "south 5"})
        if (all.find(std::string(side, 4)) != std::string::npos)
            text += std::string("ring ") + side + " ;\n";
    return text;
}

class ViewCheck : public ::testing::Test {
protected:
    // The court's view check within a few places a map, the court built into the game's
    // tables as the forge builds it (`alter` then changes the tables) and entered.
    MapView judge(const std::string &map_text, void (*alter)() = nullptr)
    {
        Campaign c;
        MapSource m;
        std::string error;
        EXPECT_TRUE(parse_map_text("court.map", map_text, m, error)) << error;
        c.maps.push_back(m);
        assign_exit_triggers(c);
        BuildStats stats;
        // Baked at the game's depth, not the forge's: the textures' own depth must be read.
        reset_map_tables();
        EXPECT_TRUE(build_map_tables(c.maps[0], c.exit_triggers, stats, error)) << error;
        HeroFrames frames(FORGED_DATA_DIR);
        EXPECT_TRUE(frames.complete);
        MapView v;
        v.number = current_map = 901;
        if (alter)
            alter();
        begin_view_check();
        monster_counts[901] = 0;
        build_scene();
        ground_reached = 1;
        map_cleared[901] = 1;
        judge_views(c, c.maps[0], view_budget(12), "", v);
        judge_seals(c.maps[0], v);
        map_cleared[901] = 0;
        end_view_check();
        reset_map_tables();
        return v;
    }
    static std::string failures_of(const MapView &v)
    {
        std::string all;
        for (const std::string &f : v.failures)
            all += f + "\n";
        return all;
    }
};

TEST_F(ViewCheck, HoldsTheCourtAsMade)
{
    MapView v = judge(court(0, 0, 0));
    EXPECT_EQ(v.failures.size(), 0u) << failures_of(v);
    EXPECT_GT(v.views, 12 * 5);
    EXPECT_LE(v.worst_uncovered, MAX_UNCOVERED);
    EXPECT_GE(v.least_hero_seen, 0.9);
    EXPECT_EQ(v.steps, 10) << "the dais's edges";
    EXPECT_GT(v.steps_read, 0);
    EXPECT_GE(v.weakest_contrast, MIN_STEP_CONTRAST);
    ASSERT_EQ(v.seals.size(), 1u);
    EXPECT_NE(map_view_line(v).find(": holds"), std::string::npos) << map_view_line(v);
    // Beside the dais on all four sides, and along the underbrush, nothing is drawn over him
    // that stands behind him; a demon a step north on the same floor is drawn behind him.
    EXPECT_GT(v.cover_views, v.views / 2);
    EXPECT_LE(v.worst_cover, 0.02) << v.worst_cover_where;
    EXPECT_EQ(v.demon_cover[0] + v.demon_cover[1], 0) << v.demon_where[1];
}

// Pressed against a wall the hero stands a hair from a cell he cannot step into, facing it, and
// against every kind of such cell (here a thicket); walking he is halfway into one he can.
TEST(ViewPlaces, PressTheHeroAgainstWallsAndWalkHimThroughOpenings)
{
    Campaign c;
    MapSource m;
    std::string error;
    ASSERT_TRUE(parse_map_text("court.map", court('@', 8, 5), m, error)) << error;
    c.maps.push_back(m);
    assign_exit_triggers(c);
    const int step[4][2] = {{0, -1}, {0, 1}, {-1, 0}, {1, 0}};
    int pressed[4] = {}, walking[4] = {};
    bool at_thicket = false;
    for (const Pose &p : view_poses(c, m, view_budget(12))) {
        bool press = p.what.find("pressed against the wall to the ") == 0;
        if (!press && p.what.find("walking ") != 0)
            continue;
        float x, y, z;
        cell_center(m, p.place.col, p.place.row, &x, &y, &z);
        int col = p.place.col, row = p.place.row, f = p.facing;
        std::string where = grid_place(m, col, row) + ", " + p.what;
        EXPECT_EQ(hero_can_step(m, col, row, col + step[f][0], row + step[f][1]), !press) << where;
        float along = (p.x - x) * step[f][0] + (p.z - z) * step[f][1];
        EXPECT_NEAR((p.x - x) * step[f][1] + (p.z - z) * step[f][0], 0, 1e-4f) << where;
        if (press)
            EXPECT_TRUE(along > 0.45f && along < 0.5f) << where << ": " << along;
        else
            EXPECT_NEAR(along, 0.5f, 1e-4f) << where;
        (press ? pressed : walking)[f]++;
        at_thicket = at_thicket || (press && f == FACING_DOWN && grid_place(m, col, row) == "column 8 row 4 of the grid");
    }
    for (int f = 0; f < 4; f++)
        EXPECT_TRUE(pressed[f] >= 2 && walking[f] >= 2) << f;
    EXPECT_TRUE(at_thicket);
}

// A thicket as tall as a wall hides the lower half of him pressed against it from the north;
// walking he never stands at its face.
TEST_F(ViewCheck, RefusesAThicketThatHidesTheHeroPressedAgainstIt)
{
    std::string all = failures_of(judge(court('@', 8, 5)));
    EXPECT_NE(all.find("column 8 row 4 of the grid, pressed against the wall to the south, camera on him: "),
              std::string::npos) << all;
    EXPECT_NE(all.find("of the hero seen (at least 60.0 %)"), std::string::npos);
    EXPECT_EQ(all.find("walking"), std::string::npos) << all;
}

// A tree whose crown hangs as low as 1.7 over floor he stands on: just south of it the
// crown behind him is drawn over his head. Hung from 2.2 it passes above him.
TEST_F(ViewCheck, RefusesACrownDrawnOverTheHeroBehindIt)
{
    MapView v = judge(court('t', 8, 4));
    EXPECT_GT(v.worst_cover, MAX_WRONGLY_COVERED);
    EXPECT_NE(v.worst_cover_where.find("column 8 row 5 of the grid, under the crown to the north"), std::string::npos)
        << v.worst_cover_where;
    EXPECT_NE(failures_of(v).find("of the hero wrongly covered (at most 10.0 %)"), std::string::npos)
        << failures_of(v);
    MapView mended = judge(court('T', 8, 4));
    EXPECT_LE(mended.worst_cover, MAX_WRONGLY_COVERED) << mended.worst_cover_where;
    EXPECT_EQ(failures_of(mended), "");
}

// On a ledge 1.4 up a step north of him, a demon of either size is drawn after him, over him,
// though it stands behind him: the painter's order, not a shape.
TEST_F(ViewCheck, MeasuresADemonOnALedgeBehindTheHero)
{
    MapView v = judge(court('L', 10, 2));
    for (int size = 0; size < 2; size++) {
        EXPECT_GT(v.demon_cover[size], 0.05);
        EXPECT_EQ(v.demon_where[size].find(std::string("column 10 row 3 of the grid, ") + (size ? "a large" : "a small") +
                                           " demon a step north of him"),
                  0u)
            << v.demon_where[size];
    }
}

// A pillar three units tall just south of open floor stands between the hero and the camera:
// the cell north of it is always judged, and named.
TEST_F(ViewCheck, RefusesAHeroHiddenBehindATallPost)
{
    MapView v = judge(court('P', 8, 6));
    ASSERT_FALSE(v.failures.empty());
    EXPECT_LT(v.least_hero_seen, MIN_HERO_SEEN);
    EXPECT_EQ(v.least_seen_where.find("column 8 row 5 of the grid"), 0u) << v.least_seen_where;
    EXPECT_NE(failures_of(v).find("column 8 row 5 of the grid, at rest, camera on him: "), std::string::npos)
        << failures_of(v);
    EXPECT_NE(failures_of(v).find("of the hero seen (at least 60.0 %)"), std::string::npos);
    EXPECT_EQ(failures_of(v).find("uncovered"), std::string::npos) << "the band is still full";
}

// Without the ring to the north the world's edge shows beyond the court's north wall.
TEST_F(ViewCheck, RefusesTheClearColourBeyondAMapsEdge)
{
    MapView v = judge(court(0, 0, 0, "west east south"));
    EXPECT_GT(v.worst_uncovered, MAX_UNCOVERED);
    EXPECT_NE(failures_of(v).find("row 1 of the grid, at rest, camera"), std::string::npos) << failures_of(v);
    EXPECT_NE(failures_of(v).find("of the world band uncovered (at most 1.0 %)"), std::string::npos);
    EXPECT_EQ(failures_of(v).find("of the hero seen"), std::string::npos) << "he shows wherever he stands";
}

// Flagstones on grass: the dais's rim shows as grey as the grass beyond its north edge.
TEST_F(ViewCheck, RefusesAStepThatDoesNotStandOut)
{
    MapView v = judge(court(0, 0, 0, "west east north south", "flagstone"));
    EXPECT_LT(v.weakest_contrast, MIN_STEP_CONTRAST);
    ASSERT_EQ(v.failures.size(), 1u) << failures_of(v);
    EXPECT_EQ(v.failures[0].find("the step 0.5 down from column 5 row 3 toward the north reads only "), 0u)
        << v.failures[0];
    EXPECT_NE(v.failures[0].find(" levels of luminance (at least 24)"), std::string::npos);
}

// Every surface one flat grey, as the game would draw a map whose pictures were lost: the
// seal neither wears the gem's colour nor changes once open.
TEST_F(ViewCheck, RefusesASealThatDoesNotShowWhatOpensIt)
{
    MapView v = judge(court(0, 0, 0), [] {
        for (int p = 0; p <= plane_last; p++)
            for (int t = 0; t <= planes[p].last_triangle; t++)
                if (planes[p].triangle_shadow[t])
                    clear_to_color(planes[p].triangle_shadow[t], makecol(128, 128, 128));
    });
    std::string all = failures_of(v);
    EXPECT_NE(all.find("the seal at column 5 row 6 of the grid: opening it changes only 0 pixels (more than 500)"),
              std::string::npos) << all;
    EXPECT_NE(all.find("the seal at column 5 row 6 of the grid: 0 of the 0 pixels that change show the colour"),
              std::string::npos);
    EXPECT_EQ(all.find("of the hero seen"), std::string::npos);
}

// The forged data directory beside the tests: its files together stay within what a
// download and an install should cost.
TEST(ForgedData, StaysUnder250Megabytes)
{
    long long bytes = 0;
    struct stat st;
    for (const std::string &path : files_under("data"))
        bytes += lstat(("data/" + path).c_str(), &st) == 0 ? st.st_size : 0;
    EXPECT_GT(bytes, 1000000) << "the forged data lies beside the tests";
    EXPECT_LT(bytes, 250LL * 1000 * 1000) << bytes << " bytes";
}

}  // namespace
