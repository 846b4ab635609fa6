// The campaign validator and the forge's world output read back by the game's loaders.
#include <gtest/gtest.h>

#include <cstring>

#include "shell/startup.h"
#include "tests/headless.h"
#include "tools/forge/campaign.h"
#include "tools/forge/mapbuild.h"
#include "world/mapfile.h"
#include "world/tables.h"

namespace {

// A start map and the map behind the gem gate, joined both ways.
std::string start_source()
{
    return std::string("map 901\n") + small_legend + R"(cell G gemgate 0 kind=8
cell E trigger 0 exit=906:start
cell r grass 0 spot=back
grid
#################
#S..............#
#...............#
#..G.r..........#
#......E......x.#
#################
end
monsters 1 2
)";
}

std::string gate_source()
{
    return std::string("map 906\n") + small_legend + R"(cell a grass 0 spot=gate
cell B trigger 0 exit=901:back
grid
###############
#S..a.........#
#.............#
#B..........x.#
###############
end
monsters 15
)";
}

Campaign campaign_of(const std::vector<std::string> &sources)
{
    Campaign c;
    for (const std::string &text : sources) {
        MapSource m;
        std::string error;
        EXPECT_TRUE(parse_map_text("m" + std::to_string(c.maps.size()) + ".map", text, m, error)) << error;
        c.maps.push_back(m);
    }
    assign_exit_triggers(c);
    return c;
}

std::vector<std::string> problems_of(const std::vector<std::string> &sources)
{
    Campaign c = campaign_of(sources);
    return validate_campaign(c);
}

// True when some problem contains every one of the fragments.
bool reports(const std::vector<std::string> &problems, std::initializer_list<const char *> fragments)
{
    for (const std::string &p : problems) {
        bool all = true;
        for (const char *f : fragments)
            all = all && p.find(f) != std::string::npos;
        if (all)
            return true;
    }
    return false;
}

std::string joined(const std::vector<std::string> &problems)
{
    std::string out;
    for (const std::string &p : problems)
        out += p + "\n";
    return out;
}

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

}  // namespace

TEST(CampaignValidator, AcceptsASoundCampaign)
{
    // Its spawn cell by the north wall: from row 4 the hero would wake its demon from below
    // the screen in his first seconds.
    std::string start = replaced(start_source(), "#......E......x.#", "#......E........#");
    start = replaced(start, "#S..............#", "#S............x.#");
    Campaign c = campaign_of({start, gate_source()});
    std::vector<std::string> problems = validate_campaign(c);
    EXPECT_TRUE(problems.empty()) << joined(problems);
    EXPECT_EQ(c.exit_triggers.size(), 2u);
    EXPECT_EQ(c.exit_triggers["901:back"], EXIT_RECORD_BASE);
    EXPECT_EQ(c.exit_triggers["906:start"], EXIT_RECORD_BASE + 1);
}

TEST(CampaignValidator, RefusesBrokenLinks)
{
    // A trigger to a map that does not exist, and one to a spot that does not exist.
    std::string no_gate = replaced(start_source(), "#..G", "#...");
    auto p = problems_of({replaced(no_gate, "exit=906:start", "exit=902:start"), gate_source()});
    EXPECT_TRUE(reports(p, {"m0.map:", "exit 'E' leads to map 902, which does not exist"})) << joined(p);
    EXPECT_TRUE(reports(p, {"map 906", "cannot be reached from map 901"})) << joined(p);

    p = problems_of({replaced(start_source(), "exit=906:start", "exit=906:nowhere"), gate_source()});
    EXPECT_TRUE(reports(p, {"leads to spot \"nowhere\" of map 906, which has no such spot"})) << joined(p);
}

TEST(CampaignValidator, RefusesMissingStartAndGateRecords)
{
    auto p = problems_of({start_source(), replaced(gate_source(), "spot=gate", "spot=elsewhere")});
    EXPECT_TRUE(reports(p, {"map 906", "no \"spot gate\"", "record 2906"})) << joined(p);

    p = problems_of({replaced(start_source(), "spot=start", "spot=first"), gate_source()});
    EXPECT_TRUE(reports(p, {"map 901", "no \"spot start\"", "record 1901"})) << joined(p);

    p = problems_of({gate_source()});
    EXPECT_TRUE(reports(p, {"no map 901"})) << joined(p);
}

TEST(CampaignValidator, RefusesBadArrivals)
{
    // The arrival "back" moved onto a wall, then right beside the trigger.
    std::string on_wall = replaced(start_source(), "#......E", "#....r.E");
    on_wall = replaced(on_wall, "#..G.r", "#..G..");
    on_wall = replaced(on_wall, "cell r grass 0 spot=back", "cell r grass 0 kind=5 spot=back");
    auto p = problems_of({on_wall, gate_source()});
    EXPECT_TRUE(reports(p, {"arrival \"back\"", "not on plain walkable floor"})) << joined(p);

    std::string beside = replaced(start_source(), "#..G.r", "#..G..");
    beside = replaced(beside, "#......E", "#.....rE");
    p = problems_of({beside, gate_source()});
    EXPECT_TRUE(reports(p, {"arrival \"back\"", "within reach of the trigger at column 7 row 4"})) << joined(p);
}

// An exit behind seals: the trigger's reach crosses a cell's corner, so open floor on the
// exit's diagonal is a way round them; seals there too shut it.
TEST(CampaignValidator, RefusesAnExitShutInOnlyOnItsSides)
{
    std::string sealed = replaced(start_source(), "cell r grass 0 spot=back",
                                  "cell r grass 0 spot=back\ncell k grass 0 kind=5 curtain=seal:6");
    sealed = replaced(sealed, "#..G.r..........#\n#......E......",
                      "#..G.r.k........#\n#.....kEk.....");
    auto p = problems_of({sealed, gate_source()});
    EXPECT_TRUE(reports(p, {"map 901", "the exit at column 7 row 4", "across the corner from column 6 row 3"}))
        << joined(p);
    EXPECT_TRUE(reports(p, {"the exit at column 7 row 4", "across the corner from column 8 row 3"})) << joined(p);

    p = problems_of({replaced(sealed, "#..G.r.k", "#..G.rkk"), gate_source()});
    EXPECT_FALSE(reports(p, {"column 6 row 3"})) << "that corner is sealed now: " << joined(p);
    EXPECT_TRUE(reports(p, {"across the corner from column 8 row 3"})) << joined(p);

    p = problems_of({replaced(sealed, "#..G.r.k.", "#..G.rkkk"), gate_source()});
    EXPECT_FALSE(reports(p, {"across the corner"})) << joined(p);
}

TEST(CampaignValidator, RefusesMonstersWithoutSpawnAndOverCapacity)
{
    auto p = problems_of({start_source(), replaced(gate_source(), "#B..........x.#", "#B............#")});
    EXPECT_TRUE(reports(p, {"monsters but no spawn point"})) << joined(p);

    p = problems_of({replaced(start_source(), "monsters 1 2", "monsters 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1 1"), gate_source()});
    EXPECT_TRUE(reports(p, {"21 monsters, more than the 20 a map holds"})) << joined(p);

    // Eleven spawn cells make 22 spawn points.
    std::string many = replaced(start_source(), "#...............#\n#..G", "#xxxxxxxxxx.....#\n#..G");
    p = problems_of({many, gate_source()});
    EXPECT_TRUE(reports(p, {"11 spawn cells make 22 spawn points, more than the 20"})) << joined(p);
}

TEST(CampaignValidator, RefusesTooManyItemsAndUnreachablePlaces)
{
    std::string items = start_source();
    for (int i = 0; i < 101; i++)
        items += "item heart 1 2\n";
    auto p = problems_of({items, gate_source()});
    EXPECT_TRUE(reports(p, {"101 item placements in all, more than the 100"})) << joined(p);

    // Ten pick-ups on a map are allowed, eleven are refused, naming the map.
    items = start_source() + "item key1 1 2\n";
    for (int i = 0; i < 9; i++)
        items += "item heart 2 2\n";
    p = problems_of({items, gate_source()});
    EXPECT_FALSE(reports(p, {"pick-ups"})) << joined(p);
    p = problems_of({items + "item gem1 3 2\n", gate_source()});
    EXPECT_TRUE(reports(p, {"map 901 (", "11 pick-ups, more than the 10 a map holds"})) << joined(p);

    // A walled-off corner with a key and a spawn cell.
    std::string walled = replaced(start_source(), "#S..............#\n#...............#", "#S...#x.........#\n#....############");
    walled += "item key1 6 1\n";
    p = problems_of({walled, gate_source()});
    EXPECT_TRUE(reports(p, {"key1 cannot be reached"})) << joined(p);
    EXPECT_TRUE(reports(p, {"spawn point at column 6 row 1 cannot be reached"})) << joined(p);

    // A step of 1.5 cannot be climbed; 1.4 can.
    std::string step = replaced(start_source(), "cell S grass 0 spot=start", "cell S grass 0 spot=start\ncell h grass 1.5");
    step = replaced(step, "#S..............#\n#...............#", "#S...hx.........#\n#....hhhhhhhhhhh#");
    p = problems_of({step, gate_source()});
    EXPECT_TRUE(reports(p, {"spawn point at column 6 row 1 cannot be reached"})) << joined(p);
    step = replaced(step, "cell h grass 1.5", "cell h grass 1.4");
    p = problems_of({step, gate_source()});
    EXPECT_FALSE(reports(p, {"cannot be reached"})) << joined(p);
}

TEST(CampaignValidator, RefusesUnknownSurfacesAndPlaneOverflow)
{
    auto p = problems_of({replaced(start_source(), "cell . grass 0", "cell . velvet 0"), gate_source()});
    EXPECT_TRUE(reports(p, {"map 901", "unknown surface \"velvet\""})) << joined(p);

    // 23 x 23 chunks of 8 x 8 cells need 529 planes.
    std::string huge = "map 905\ncell . grass 0\ncell S grass 0 spot=start\ngrid\nS" + std::string(183, '.') + "\n";
    for (int row = 1; row < 184; row++)
        huge += std::string(184, '.') + "\n";
    huge += "end\ncell E trigger 0 exit=905:start\n";
    p = problems_of({replaced(start_source(), "exit=906:start", "exit=905:start"), gate_source(), huge});
    EXPECT_TRUE(reports(p, {"map 905", "needs more than 500 planes"})) << joined(p);
}

TEST(CampaignValidator, KeepsSpawnPointsAwayFromArrivals)
{
    // The spawn point 9.4 units' walk from the arrival "back" is far enough; one step nearer
    // (8.4 units) is too, and 8 units is refused.
    auto p = problems_of({start_source(), gate_source()});
    EXPECT_FALSE(reports(p, {"spawn point"})) << joined(p);
    std::string near = replaced(start_source(), "#......E......x.#", "#......E.....x..#");
    p = problems_of({near, gate_source()});
    EXPECT_FALSE(reports(p, {"spawn point"})) << joined(p);
    near = replaced(start_source(), "#......E......x.#", "#......E....x...#");
    near = replaced(near, "#..G.r..........#", "#..G..........r.#");
    p = problems_of({near, gate_source()});
    EXPECT_TRUE(reports(p, {"map 901 (", "spawn point at column 12 row 4 lies 2.4 units' walk from an arrival"}))
        << joined(p);
    p = problems_of({start_source(), replaced(gate_source(), "#S..a.........#", "#S..a.......x.#")});
    EXPECT_TRUE(reports(p, {"map 906 (", "spawn point at column 12 row 1 lies 8.0 units' walk"})) << joined(p);

    // The distance is walked: a wall between makes a near spawn point far, and the hero does
    // not cut a wall's corner.
    std::string walled = replaced(gate_source(), "#.............#\n#B..........x.#", "#.....####....#\n#B....#.x.....#");
    p = problems_of({start_source(), walled});
    EXPECT_FALSE(reports(p, {"spawn point"})) << joined(p);
    walled = replaced(walled, "#.....####....#", "#.....#.##....#");
    p = problems_of({start_source(), walled});
    EXPECT_TRUE(reports(p, {"map 906 (", "spawn point at column 8 row 3"})) << joined(p);
}

TEST(CampaignValidator, RefusesSpawnPointsOffTheFloorsLevelUnlessARefuge)
{
    std::string raised = replaced(gate_source(), "cell a grass 0 spot=gate", "cell a grass 0 spot=gate\ncell y grass 0.5 kind=7");
    raised = replaced(raised, "#B..........x.#", "#B..........y.#");
    auto p = problems_of({start_source(), raised});
    EXPECT_TRUE(reports(p, {"map 906 (", "spawn point at column 12 row 3 lies 0.5 or more above or below"})) << joined(p);
    p = problems_of({start_source(), replaced(raised, "grass 0.5 kind=7", "grass -1 kind=7")});
    EXPECT_TRUE(reports(p, {"spawn point at column 12 row 3 lies 0.5 or more"})) << joined(p);
    // A little lower or higher is the floor's own level; a refuge is a choice.
    p = problems_of({start_source(), replaced(raised, "grass 0.5 kind=7", "grass 0.4 kind=7")});
    EXPECT_FALSE(reports(p, {"spawn point"})) << joined(p);
    p = problems_of({start_source(), replaced(raised, "grass 0.5 kind=7", "grass 0.5 kind=7 refuge")});
    EXPECT_FALSE(reports(p, {"spawn point"})) << joined(p);
    // One neighbour at its level is enough.
    std::string ledge = replaced(raised, "cell y grass 0.5 kind=7", "cell y grass 0.5 kind=7\ncell l grass 0.5");
    p = problems_of({start_source(), replaced(ledge, "#B..........y.#", "#B..........yl#")});
    EXPECT_FALSE(reports(p, {"spawn point"})) << joined(p);

    MapSource m;
    std::string error;
    EXPECT_FALSE(parse_map_text("r.map", "map 1\ncell y grass 1 refuge\n", m, error));
    EXPECT_NE(error.find("refuge marks a spawn point"), std::string::npos) << error;
}

TEST(CampaignValidator, RefusesAMapOverItsTriangleBudget)
{
    // 123 cells across and 121 rows make 30 496 triangles (two a cell and the edges' faces
    // down to the void); 115 rows about 29 000.
    auto field = [](int rows) {
        std::string text = "map 905\ncell . grass 0\ncell S grass 0 spot=start\ngrid\nS" + std::string(122, '.') + "\n";
        for (int row = 1; row < rows; row++)
            text += std::string(123, '.') + "\n";
        return text + "end\n";
    };
    std::string to905 = replaced(start_source(), "exit=906:start", "exit=905:start");
    auto p = problems_of({to905, gate_source(), field(121)});
    EXPECT_TRUE(reports(p, {"map 905 (", "30496 triangles, more than the 30000 a map may have"})) << joined(p);
    p = problems_of({to905, gate_source(), field(115)});
    EXPECT_FALSE(reports(p, {"triangles"})) << joined(p);
}

// The shipped campaign, forged into a scratch data folder and read back by the game.
TEST(ForgedWorld, LoadsBackThroughTheGamesLoaders)
{
    std::string maps = std::string(SOURCE_DIR) + "/content/maps";
    ScratchDir scratch;
    Campaign c;
    std::string error;
    ASSERT_TRUE(load_campaign_sources(maps, c, error)) << error;
    ASSERT_TRUE(validate_campaign(c).empty()) << joined(validate_campaign(c));
    ASSERT_TRUE(forge_world(maps, scratch.path() + "/data", ""));

    clear_world();
    MonsterKind kinds_before[MONSTER_KINDS];
    memcpy(kinds_before, monster_kinds, sizeof(monster_kinds));
    for (int k = 1; k < MONSTER_KINDS; k++)
        monster_kinds[k] = MonsterKind{2, 2, 0.2f};
    ASSERT_TRUE(load_triggers());
    ASSERT_TRUE(load_monsters());
    ASSERT_TRUE(load_items());

    int expected_monsters = 0, expected_items = 0;
    for (const MapSource &m : c.maps) {
        expected_monsters += (int)m.monsters.size();
        expected_items += (int)m.items.size();
        EXPECT_EQ(monster_counts[m.number], (int)m.monsters.size()) << m.number;
        const SourceSpot *start = find_spot(m, "start");
        ASSERT_NE(start, nullptr);
        float x, y, z;
        cell_center(m, start->col, start->row, &x, &y, &z);
        EXPECT_FLOAT_EQ(triggers[START_RECORD + m.number].e[1], x);
        EXPECT_FLOAT_EQ(triggers[START_RECORD + m.number].e[3], z);

        ASSERT_TRUE(load_map(std::to_string(m.number).c_str())) << m.number;
        EXPECT_EQ(current_map, m.number);
        int triangles = 0;
        for (int p = 0; p <= plane_last; p++) {
            ASSERT_TRUE(planes[p].active);
            EXPECT_LT(planes[p].last_vertex, MAX_PLANE_VERTICES);
            triangles += planes[p].last_triangle + 1;
        }
        EXPECT_GT(triangles, m.width * m.height) << "every cell has a top of two triangles";
    }
    EXPECT_EQ(monster_total, expected_monsters);
    EXPECT_EQ(item_count, expected_items);
    // The campaign is long: well over two hundred demons, within what its maps can hold.
    EXPECT_GE(monster_total, 200);
    EXPECT_LE(monster_total, MONSTERS_PER_MAP * (int)c.maps.size());
    EXPECT_EQ((int)triggers[GATE_RECORD + GATE_MAP].e[0], GATE_MAP);
    for (const auto &t : c.exit_triggers)
        EXPECT_NE(find_map(c, (int)triggers[t.second].e[0]), nullptr) << t.first;
    memcpy(monster_kinds, kinds_before, sizeof(monster_kinds));
}
