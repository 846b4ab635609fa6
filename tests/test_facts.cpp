// The campaign's facts for the packaging texts: counted from a forged data folder with the
// game's readers, at the key and gem boundary of the item types, and on the shipped campaign
// against a count of the map sources.
#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>
#include <unistd.h>

#include "shell/startup.h"
#include "tests/gameplay_scene.h"
#include "tools/forge/facts.h"

namespace {

// The tables the count fills, emptied as a new game empties them however the test ends.
struct TablesEmptiedAfter {
    ~TablesEmptiedAfter() { clear_world(); }
};

}  // namespace

TEST(CampaignFacts, CountedFromTheTablesAndMapFiles)
{
    TablesEmptiedAfter kept;
    ScratchDir scratch;
    // Maps 5 and 999 (the table's last), with kinds 1, 3 and 15 (the first and last kinds); a map file
    // in the making and the reduced form do not count as maps.
    std::string monsters_text = "1\n";
    for (int m = 0; m < MAP_NUMBERS; m++)
        monsters_text += m == 5 ? "3 3 15 3\n" : m == 999 ? "2 1 15\n" : "0\n";
    scratch.write("data/monsters.dat", monsters_text);
    // Types 0 (heart), 1 and 5 (keys 1 and 5), 6 and 9 (gems 1 and 4).
    scratch.write("data/items.dat", "1\n6\n5 0 0 0 0\n5 1 0 0 0\n5 2 0 0 1\n5 3 0 0 5\n5 4 0 0 6\n5 5 0 0 9\n");
    scratch.write("data/maps/5.dtl", "x");
    scratch.write("data/maps/999.dtl", "x");
    scratch.write("data/maps/999.smp", "x");
    scratch.write("data/maps/6.dtl.tmp", "x");
    CampaignFacts facts;
    ASSERT_TRUE(count_campaign_facts(scratch.path() + "/data", facts));
    ASSERT_TRUE(write_campaign_facts(scratch.path() + "/facts.txt", facts));
    EXPECT_EQ(scratch.read("facts.txt"), "maps 2\ndemons 5\nkinds 3\nkeys 2\ngems 2\nhearts 2\n");

    // A table that cannot be read: one line naming it, and no facts.
    unlink((scratch.path() + "/data/items.dat").c_str());
    std::string said = stderr_of([&] { EXPECT_FALSE(count_campaign_facts(scratch.path() + "/data", facts)); });
    EXPECT_EQ(line_count(said), 1) << said;
    EXPECT_NE(said.find("items.dat"), std::string::npos) << said;
    said = stderr_of([&] { EXPECT_FALSE(count_campaign_facts(scratch.path() + "/nothing", facts)); });
    EXPECT_EQ(line_count(said), 1) << said;
    EXPECT_FALSE(write_campaign_facts(scratch.path() + "/no/such/folder/facts.txt", facts));
}

TEST(CampaignFacts, TheForgedCampaignsAreItsSources)
{
    TablesEmptiedAfter kept;
    char cwd[PATH_MAX];
    ASSERT_TRUE(getcwd(cwd, sizeof(cwd)));
    CampaignFacts facts;
    ASSERT_TRUE(count_campaign_facts(std::string(cwd) + "/data", facts)) << "the forged data lies beside the tests";

    Campaign c = shipped_campaign();
    int demons = 0, hearts = 0, keys = 0, gems = 0;
    std::set<int> kinds;
    for (const MapSource &m : c.maps) {
        demons += (int)m.monsters.size();
        kinds.insert(m.monsters.begin(), m.monsters.end());
        // The item lines and the cells marked with an item, by their names in the sources.
        for (const SourceItem &item : m.items) {
            std::string name = item_type_name(item.type);
            hearts += name == "heart";
            keys += name.compare(0, 3, "key") == 0;
            gems += name.compare(0, 3, "gem") == 0;
        }
    }
    // Maps, demons, kinds, hearts, keys, gems.
    EXPECT_EQ(std::vector<int>({facts.maps, facts.demons, facts.kinds, facts.hearts, facts.keys, facts.gems}),
              std::vector<int>({(int)c.maps.size(), demons, (int)kinds.size(), hearts, keys, gems}));
    EXPECT_GT(facts.demons, 0);
}
