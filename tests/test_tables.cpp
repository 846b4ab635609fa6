// The item, monster and trigger tables: reading, partial and refused files, the writers.
#include <cstring>
#include <sstream>
#include <sys/stat.h>

#include "tests/headless.h"
#include "world/tables.h"

namespace {

void reset_tables()
{
    memset(item_placements, 0, sizeof(item_placements));
    item_count = 0;
    memset(monsters, 0, sizeof(monsters));
    memset(monster_counts, 0, sizeof(monster_counts));
    memset(monster_kinds, 0, sizeof(monster_kinds));
    monster_total = 0;
    memset(triggers, 0, sizeof(triggers));
}

class Tables : public ::testing::Test {
protected:
    void SetUp() override
    {
        reset_tables();
        for (int k = 1; k < MONSTER_KINDS; k++)
            monster_kinds[k] = MonsterKind{(s16)(k + 2), (s16)k, 0.5f};
    }
    void TearDown() override { reset_tables(); }
    ScratchDir dir;
};

// Runs `load` with stderr captured; returns what it printed.
std::string quietly(bool (*load)(), bool expected)
{
    testing::internal::CaptureStderr();
    bool result = load();
    std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, expected) << err;
    return err;
}

// A monster file: counts for the first maps as given, 0 for the rest.
std::string monster_file(const std::vector<std::vector<int>> &maps)
{
    std::ostringstream o;
    o << "1\n";
    for (int m = 0; m < MAP_NUMBERS; m++) {
        const std::vector<int> none;
        const std::vector<int> &kinds = m < (int)maps.size() ? maps[m] : none;
        o << kinds.size() << "\n";
        for (int k : kinds)
            o << k << "\n";
    }
    return o.str();
}

}  // namespace

TEST_F(Tables, ItemsAreReadAndMarkedPresent)
{
    dir.write("data/items.dat", "1 3\n901 1.5 -2 3.25 0\n902 0 0 0 9\n0 4 5 6 3\n");
    EXPECT_EQ(quietly(load_items, true), "");
    EXPECT_EQ(item_count, 3);
    EXPECT_EQ(item_placements[0].map, 901);
    EXPECT_EQ(item_placements[0].x, 1.5f);
    EXPECT_EQ(item_placements[0].y, -2.0f);
    EXPECT_EQ(item_placements[0].z, 3.25f);
    EXPECT_EQ(item_placements[1].type, 9);
    EXPECT_EQ(item_placements[2].map, 0);
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        EXPECT_EQ(item_placements[i].present, i < 3) << i;
}

TEST_F(Tables, ShortItemFileStillMarksEveryCountedRecord)
{
    dir.write("data/items.dat", "1 3\n901 1.5 -2 3.25 4\n902 7.5");
    std::string err = quietly(load_items, true);
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("data/items.dat"), std::string::npos) << err;
    EXPECT_NE(err.find("item 1"), std::string::npos) << err;
    EXPECT_EQ(item_count, 3);
    EXPECT_EQ(item_placements[1].map, 902);
    EXPECT_EQ(item_placements[1].x, 7.5f);
    EXPECT_EQ(item_placements[1].y, 0.0f);
    EXPECT_EQ(item_placements[2].present, 1);
    EXPECT_EQ(item_placements[3].present, 0);
}

TEST_F(Tables, RefusedItemFilesChangeNothing)
{
    item_count = 1;
    item_placements[0] = ItemPlacement{1, 1, 1, 1, 2, 5};
    for (const char *text : {"1 101", "1 -1", "1 2 5 0 0 0 1 6 0 0 0 10", "1 1 5 0 0 0 -1", "1 1 5 0 0 0 14"}) {
        SCOPED_TRACE(text);
        dir.write("data/items.dat", text);
        std::string err = quietly(load_items, false);
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find("data/items.dat: refused"), std::string::npos) << err;
        EXPECT_EQ(item_count, 1);
        EXPECT_EQ(item_placements[0].type, 2);
        EXPECT_EQ(item_placements[0].map, 5);
        EXPECT_EQ(item_placements[1].present, 0);
    }
    // The limits themselves are accepted.
    std::ostringstream full;
    full << "1 100";
    for (int i = 0; i < 100; i++)
        full << " 1 0 0 0 " << i % 10;
    dir.write("data/items.dat", full.str());
    quietly(load_items, true);
    EXPECT_EQ(item_count, 100);
}

TEST_F(Tables, MonstersTakeTheirKindsValues)
{
    dir.write("data/monsters.dat", monster_file({{3, 0}, {}, {15}}));
    EXPECT_EQ(quietly(load_monsters, true), "");
    EXPECT_EQ(monster_counts[0], 2);
    EXPECT_EQ(monster_counts[2], 1);
    EXPECT_EQ(monsters[0][0].kind, 3);
    EXPECT_EQ(monsters[0][0].health, 5);
    EXPECT_EQ(monsters[0][0].max_health, 5);
    EXPECT_EQ(monsters[0][0].damage, 3);
    // Kind 0 starts dead but still counts.
    EXPECT_EQ(monsters[0][1].health, 0);
    EXPECT_EQ(monsters[2][0].damage, 15);
    EXPECT_EQ(monster_total, 3);
}

TEST_F(Tables, ShortMonsterFileLeavesLaterMapsEmpty)
{
    dir.write("data/monsters.dat", "1\n2 4 5\n0\n");
    std::string err = quietly(load_monsters, true);
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("map 2"), std::string::npos) << err;
    EXPECT_EQ(monster_counts[0], 2);
    EXPECT_EQ(monsters[0][1].kind, 5);
    for (int m = 1; m < MAP_NUMBERS; m++)
        ASSERT_EQ(monster_counts[m], 0) << m;
    EXPECT_EQ(monster_total, 2);

    // A count read whose kinds are missing still walks its slots.
    reset_tables();
    dir.write("data/monsters.dat", "1\n3 4");
    err = quietly(load_monsters, true);
    EXPECT_NE(err.find("map 0 monster 1"), std::string::npos) << err;
    EXPECT_EQ(monster_counts[0], 3);
    EXPECT_EQ(monster_total, 3);
}

TEST_F(Tables, RefusedMonsterFilesChangeNothing)
{
    monster_counts[5] = 1;
    monsters[5][0].kind = 2;
    monster_total = 1;
    std::vector<std::string> bad = {
        monster_file({{}, {}, {}, {1, 16}}),
        monster_file({{-1}}),
        "1\n0\n21\n",
        "1\n-1\n",
    };
    for (const std::string &text : bad) {
        dir.write("data/monsters.dat", text);
        std::string err = quietly(load_monsters, false);
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find("data/monsters.dat: refused"), std::string::npos) << err;
        EXPECT_EQ(monster_counts[5], 1);
        EXPECT_EQ(monsters[5][0].kind, 2);
        EXPECT_EQ(monsters[3][0].kind, 0);
        EXPECT_EQ(monster_total, 1);
    }
    dir.write("data/monsters.dat", monster_file({std::vector<int>(20, 15)}));
    quietly(load_monsters, true);
    EXPECT_EQ(monster_counts[0], 20);
}

TEST_F(Tables, TriggersAreReadInRecordOrder)
{
    std::ostringstream o;
    for (int i = 0; i <= 1000; i++)
        o << (i == 1000 ? "902.0" : "1") << " " << i << " 2.5 -3 4 5 6 7 8\n";
    dir.write("data/triggers.dat", o.str());
    std::string err = quietly(load_triggers, true);
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find("record 1001"), std::string::npos) << err;
    EXPECT_EQ(triggers[1000].e[0], 902.0f);
    EXPECT_EQ(triggers[1000].e[1], 1000.0f);
    EXPECT_EQ(triggers[1000].e[3], -3.0f);
    EXPECT_EQ(triggers[1000].e[8], 8.0f);
    EXPECT_EQ(triggers[7].e[2], 2.5f);
    for (int j = 0; j < 9; j++)
        EXPECT_EQ(triggers[1000 + 901].e[j], 0.0f) << "never reached: the first map starts at 0, 0, 0";

    dir.write("data/triggers.dat", "5 6 seven");
    err = quietly(load_triggers, true);
    EXPECT_NE(err.find("record 0 (bad token \"seven\")"), std::string::npos) << err;
    EXPECT_EQ(triggers[0].e[1], 6.0f);
    EXPECT_EQ(triggers[0].e[2], 2.5f) << "kept";
}

TEST_F(Tables, WritersRoundTrip)
{
    mkdir("data", 0777);
    item_count = 2;
    item_placements[0] = ItemPlacement{1, 1.2345678f, -2, 3, 7, 901};
    item_placements[1] = ItemPlacement{0, 4, 5, 6, 0, 0};  // collected: written all the same
    monster_counts[0] = 2;
    monsters[0][0].kind = 4;
    monsters[0][1].kind = 0;
    monster_counts[999] = 1;
    monsters[999][0].kind = 15;
    ASSERT_TRUE(save_items());
    ASSERT_TRUE(save_monsters());
    EXPECT_EQ(dir.read("data/items.dat"), "1\n2\n901\n1.234568\n-2.000000\n3.000000\n7\n0\n4.000000\n5.000000\n6.000000\n0\n");
    std::string monsters_text = dir.read("data/monsters.dat");
    EXPECT_EQ(monsters_text.compare(0, 10, "1\n2\n4\n0\n0\n"), 0);
    EXPECT_EQ(monsters_text.substr(monsters_text.size() - 5), "1\n15\n");

    reset_tables();
    for (int k = 1; k < MONSTER_KINDS; k++)
        monster_kinds[k] = MonsterKind{(s16)(k + 2), (s16)k, 0.5f};
    quietly(load_items, true);
    quietly(load_monsters, true);
    EXPECT_EQ(item_placements[0].x, 1.234568f);
    EXPECT_EQ(item_placements[0].type, 7);
    EXPECT_EQ(item_placements[1].present, 1);
    EXPECT_EQ(monsters[999][0].kind, 15);
    EXPECT_EQ(monster_total, 3);
}

// No data folder here: nothing to read, nowhere to write, and each file named on its line.
TEST_F(Tables, MissingFilesAreNamedAndUnwritableOnesReported)
{
    bool (*loaders[])() = {load_items, load_monsters, load_triggers};
    const char *names[] = {"data/items.dat", "data/monsters.dat", "data/triggers.dat"};
    for (int i = 0; i < 3; i++) {
        std::string err = quietly(loaders[i], false);
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find(names[i]), std::string::npos) << err;
    }
    std::string err = stderr_of([] {
        EXPECT_FALSE(save_items());
        EXPECT_FALSE(save_monsters());
    });
    EXPECT_EQ(line_count(err), 2) << err;
    EXPECT_NE(err.find(names[0]), std::string::npos) << err;
    EXPECT_NE(err.find(names[1]), std::string::npos) << err;
}
