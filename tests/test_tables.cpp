// The item, monster and trigger tables: reading, partial and refused files, the writers.
#include <cstring>
#include <sstream>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

#include "shell/startup.h"
#include "tests/headless.h"
#include "world/tables.h"

namespace {

// The game's tables emptied as a new game empties them, and no kind known.
void reset_tables()
{
    clear_world();
    memset(monster_kinds, 0, sizeof(monster_kinds));
}

// Empty tables, and every kind with health k + 2 and damage k.
void reset_tables_and_kinds()
{
    reset_tables();
    for (int k = 1; k < MONSTER_KINDS; k++)
        monster_kinds[k] = MonsterKind{(s16)(k + 2), (s16)k, 0.5f};
}

bool (*const table_loaders[])() = {load_items, load_monsters, load_triggers};
const char *const table_files[] = {"data/items.dat", "data/monsters.dat", "data/triggers.dat"};

class Tables : public ::testing::Test {
protected:
    void SetUp() override { reset_tables_and_kinds(); }
    void TearDown() override { reset_tables(); }
    ScratchDir dir;
};

// Runs `load` with stderr captured; returns what it printed.
std::string quietly(bool (*load)(), bool expected)
{
    bool result = !expected;
    std::string err = stderr_of([&] { result = load(); });
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

// A whole trigger file: every record "map x y z 0 0 0 0 0", with `change` applied to each
// record's nine values first.
std::string trigger_file(void (*change)(int record, std::string *values) = nullptr)
{
    std::ostringstream o;
    for (int i = 0; i < MAX_TRIGGERS; i++) {
        std::string v[TRIGGER_ELEMENTS] = {"0", "0", "0", "0", "0", "0", "0", "0", "0"};
        if (change)
            change(i, v);
        for (const std::string &e : v)
            o << e << "\n";
    }
    return o.str();
}

// Expects the file refused in one line that names it and holds `what`.
void expect_refused(bool (*load)(), const char *file, const std::string &what)
{
    std::string err = quietly(load, false);
    EXPECT_EQ(line_count(err), 1) << err;
    EXPECT_NE(err.find(std::string(file) + ": refused: "), std::string::npos) << err;
    EXPECT_NE(err.find(what), std::string::npos) << "wanted: " << what << "\n" << err;
}

struct Refusal {
    const char *text, *what;
};

// Each item file refused in turn, the one item read before left as it was.
void expect_item_files_refused(const ScratchDir &dir, std::initializer_list<Refusal> cases)
{
    item_count = 1;
    item_placements[0] = ItemPlacement{1, 1, 1, 1, 2, 5};
    for (const Refusal &c : cases) {
        SCOPED_TRACE(c.text);
        dir.write("data/items.dat", c.text);
        expect_refused(load_items, "data/items.dat", c.what);
        EXPECT_EQ(item_count, 1);
        EXPECT_EQ(item_placements[0].type, 2);
        EXPECT_EQ(item_placements[0].map, 5);
        EXPECT_EQ(item_placements[1].present, 0);
    }
}

}  // namespace

TEST_F(Tables, ItemsAreReadAndMarkedPresent)
{
    dir.write("data/items.dat", "1 3\n901 1.5 -2 3.25 0\n902 0 0 0 9\n0 4 5 6 3\n");
    EXPECT_EQ(quietly(load_items, true), "");
    EXPECT_EQ(item_count, 3);
    const ItemPlacement &p = item_placements[0];
    EXPECT_EQ(std::vector<float>({(float)p.map, p.x, p.y, p.z}), std::vector<float>({901, 1.5f, -2, 3.25f}));
    EXPECT_EQ(item_placements[1].type, 9);
    EXPECT_EQ(item_placements[2].map, 0);
    for (int i = 0; i < MAX_ITEM_PLACEMENTS; i++)
        EXPECT_EQ(item_placements[i].present, i < 3) << i;
}

// A file cut short, garbage, a number no float holds, or more than the count says: the
// game would play on with items missing, so the file is refused where the reading stopped.
TEST_F(Tables, ItemFilesThatDoNotReadToTheirEndAreRefused)
{
    expect_item_files_refused(dir, {
        {"1 3\n901 1.5 -2 3.25 4\n902 7.5", "reading stopped at item 1: the file ends"},
        {"1 2\n901 1.5 -2 3.25 4\n902 7.5 1 1 seven", "reading stopped at item 1: \"seven\" is not a whole number"},
        {"1 1\n901 nan 0 0 1", "reading stopped at item 0: \"nan\" is not a number (NaN)"},
        {"1 1\n901 0 inf 0 1", "reading stopped at item 0: \"inf\" is infinite or beyond the range of a float"},
        {"1 1\n901 0 0 1e39 1", "reading stopped at item 0: \"1e39\" is infinite or beyond the range of a float"},
        {"1 1\n901 0 0 0 1\n902 0 0 0 2\n", "text goes on after its last record (item 0): \"902\""},
        {"", "reading stopped at the header: the file ends"},
    });
}

TEST_F(Tables, RefusedItemFilesChangeNothing)
{
    // Counts and types past the tables; a map that is none of the game's, or a place far
    // off every map, where a key would never be seen and its gate never open.
    expect_item_files_refused(dir, {
        {"1 101", "item_count is 101"},
        {"1 -1", "item_count is -1"},
        {"1 2 5 0 0 0 1 6 0 0 0 10", "item 1 type is 10"},
        {"1 1 5 0 0 0 -1", "item 0 type is -1"},
        {"1 1 5 0 0 0 14", "item 0 type is 14"},
        {"1 1 99999 0 0 0 1", "item 0 map is 99999, limit 0..999"},
        {"1 2 5 0 0 0 1 1000 0 0 0 1", "item 1 map is 1000"},
        {"1 1 -1 0 0 0 1", "item 0 map is -1"},
        {"1 1 101 3e38 0 0 1", "item 0 x is 3e+38, limit -10000..10000"},
        {"1 1 101 0 -10000.5 0 1", "item 0 y is -10000.5"},
        {"1 1 101 0 0 20000 1", "item 0 z is 20000"},
        // Another format would read every value in the wrong place.
        {"999 0", "format is 999, this game reads format 1"},
        {"0 0", "format is 0"},
    });
    // The limits themselves are accepted.
    std::ostringstream full;
    full << "1 100";
    for (int i = 0; i < 100; i++)
        full << " " << (i % 2 ? 999 : 0) << " -10000 10000 0 " << i % 10;
    dir.write("data/items.dat", full.str());
    quietly(load_items, true);
    EXPECT_EQ(item_count, 100);
    EXPECT_EQ(item_placements[99].map, 999);
    EXPECT_EQ(item_placements[99].x, -10000.0f);
}

TEST_F(Tables, MonstersTakeTheirKindsValues)
{
    dir.write("data/monsters.dat", monster_file({{3, 1}, {}, {15}}));
    EXPECT_EQ(quietly(load_monsters, true), "");
    const Monster &m = monsters[0][0];
    // Counts, the first demon's kind, health, full health and damage, then the others'.
    EXPECT_EQ(std::vector<int>({monster_counts[0], monster_counts[2], m.kind, m.health, m.max_health, m.damage}),
              std::vector<int>({2, 1, 3, 5, 5, 3}));
    EXPECT_EQ(monsters[0][1].health, 3);
    EXPECT_EQ(monsters[2][0].damage, 15);
    EXPECT_EQ(monster_total, 3);
}

TEST_F(Tables, RefusedMonsterFilesChangeNothing)
{
    monster_counts[5] = 1;
    monsters[5][0].kind = 2;
    monster_total = 1;
    // Kind 0 has no health and cannot be hit, yet would count toward victory: the game
    // could never be won. A file cut short would leave the later maps empty.
    const std::pair<std::string, std::string> bad[] = {
        {monster_file({{}, {}, {}, {1, 16}}), "map 3 monster 1 kind is 16, limit 1..15"},
        {monster_file({{-1}}), "map 0 monster 0 kind is -1"},
        {monster_file({{}, {2, 0}}), "map 1 monster 1 kind is 0, limit 1..15"},
        {"1\n0\n21\n", "map 1 monster count is 21"},
        {"1\n-1\n", "map 0 monster count is -1"},
        {"1\n2 4 5\n0\n", "reading stopped at map 2: the file ends"},
        {"1\n3 4", "reading stopped at map 0 monster 1: the file ends"},
        {"1\n3 4 x", "reading stopped at map 0 monster 1: \"x\" is not a whole number"},
        {"1\n1 2147483648", "\"2147483648\" is beyond a 32-bit integer"},
        {monster_file({}) + "0\n", "text goes on after its last record (map 999): \"0\""},
        {"2" + monster_file({{3}}).substr(1), "format is 2, this game reads format 1"},
    };
    for (const auto &c : bad) {
        SCOPED_TRACE(c.second);
        dir.write("data/monsters.dat", c.first);
        expect_refused(load_monsters, "data/monsters.dat", c.second);
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
    dir.write("data/triggers.dat", trigger_file([](int i, std::string *v) {
        v[0] = i == 1000 ? "902.0" : "1";
        v[1] = std::to_string(i % 1000);
        v[2] = "2.5";
        v[3] = "-3";
        v[8] = "8e3";
    }));
    EXPECT_EQ(quietly(load_triggers, true), "");
    const float *t = triggers[1000].e;
    EXPECT_EQ(std::vector<float>({t[0], t[1], t[3], t[8]}), std::vector<float>({902, 0, -3, 8000}));
    EXPECT_EQ(triggers[1901].e[1], 901.0f);
    EXPECT_EQ(triggers[7].e[2], 2.5f);
    EXPECT_EQ(triggers[MAX_TRIGGERS - 1].e[1], 999.0f);
}

// Every record is read: a file short of one leaves exits that lead nowhere and a first map
// that starts the hero at (0, 0, 0). So is a record that leads off the maps.
TEST_F(Tables, TriggerFilesThatDoNotReadToTheirEndOrLeadNowhereAreRefused)
{
    triggers[5].e[1] = 7;
    std::string whole = trigger_file();
    const std::pair<std::string, std::string> bad[] = {
        {whole.substr(0, whole.size() / 2), "reading stopped at record 5000: the file ends"},
        {whole.substr(0, 18 * 1002), "reading stopped at record 1002: the file ends"},
        {"5 6 seven", "reading stopped at record 0: \"seven\" is not a number"},
        {trigger_file([](int i, std::string *v) { v[2] = i == 1901 ? "nan" : "0"; }),
         "reading stopped at record 1901: \"nan\" is not a number (NaN)"},
        {trigger_file([](int i, std::string *v) { v[3] = i == 3 ? "1e39" : "0"; }),
         "record 3: \"1e39\" is infinite or beyond the range of a float"},
        {whole + "1\n", "text goes on after its last record (record 9999): \"1\""},
        {trigger_file([](int i, std::string *v) { v[0] = i == 1101 ? "99999" : "0"; }),
         "record 1101 map is 99999, limit 0..999"},
        {trigger_file([](int i, std::string *v) { v[0] = i == 4 ? "-1" : "0"; }), "record 4 map is -1"},
        // A map is named by a whole number: these name none.
        {trigger_file([](int i, std::string *v) { v[0] = i == 7 ? "-0.5" : "0"; }), "record 7 map is -0.5"},
        {trigger_file([](int i, std::string *v) { v[0] = i == 9999 ? "999.5" : "0"; }), "record 9999 map is 999.5"},
        {trigger_file([](int i, std::string *v) { v[1] = i == 1901 ? "3e38" : "0"; }),
         "record 1901 x is 3e+38, limit -10000..10000"},
        {trigger_file([](int i, std::string *v) { v[3] = i == 2906 ? "-10001" : "0"; }), "record 2906 z is -10001"},
    };
    for (const auto &c : bad) {
        SCOPED_TRACE(c.second);
        dir.write("data/triggers.dat", c.first);
        expect_refused(load_triggers, "data/triggers.dat", c.second);
        EXPECT_EQ(triggers[5].e[1], 7.0f);
    }
    // The limits themselves are accepted; the elements past the arrival are not places.
    dir.write("data/triggers.dat", trigger_file([](int, std::string *v) {
        v[0] = "999";
        v[1] = "-10000";
        v[3] = "10000";
        v[4] = "3e38";
    }));
    quietly(load_triggers, true);
    EXPECT_EQ(triggers[9999].e[0], 999.0f);
}

TEST_F(Tables, WritersRoundTrip)
{
    mkdir("data", 0777);
    item_count = 2;
    item_placements[0] = ItemPlacement{1, 1.2345678f, -2, 3, 7, 901};
    item_placements[1] = ItemPlacement{0, 4, 5, 6, 0, 0};  // collected: written all the same
    monster_counts[0] = 2, monsters[0][0].kind = 4, monsters[0][1].kind = 1;
    monster_counts[999] = 1, monsters[999][0].kind = 15;
    ASSERT_TRUE(save_items());
    ASSERT_TRUE(save_monsters());
    EXPECT_EQ(dir.read("data/items.dat"), "1\n2\n901\n1.234568\n-2.000000\n3.000000\n7\n0\n4.000000\n5.000000\n6.000000\n0\n");
    std::string monsters_text = dir.read("data/monsters.dat");
    EXPECT_EQ(monsters_text.compare(0, 10, "1\n2\n4\n1\n0\n"), 0);
    EXPECT_EQ(monsters_text.substr(monsters_text.size() - 5), "1\n15\n");

    reset_tables_and_kinds();
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
    for (int i = 0; i < 3; i++) {
        std::string err = quietly(table_loaders[i], false);
        EXPECT_EQ(line_count(err), 1) << err;
        EXPECT_NE(err.find(table_files[i]), std::string::npos) << err;
    }
    std::string err = stderr_of([] {
        EXPECT_FALSE(save_items());
        EXPECT_FALSE(save_monsters());
    });
    EXPECT_EQ(line_count(err), 2) << err;
    EXPECT_NE(err.find(table_files[0]), std::string::npos) << err;
    EXPECT_NE(err.find(table_files[1]), std::string::npos) << err;
}

// A link to a device would be read for ever (and a pipe wait for a writer), with start-up
// never finishing; a file larger than a table can be is not read at all.
TEST_F(Tables, SpecialAndOversizedFilesAreRefusedUnread)
{
    mkdir("data", 0777);
    alarm(60);  // a reader that hangs fails here rather than holding the suite
    for (int i = 0; i < 3; i++) {
        const char *name = table_files[i];
        SCOPED_TRACE(name);
        ASSERT_EQ(symlink("/dev/zero", name), 0);
        expect_refused(table_loaders[i], name, "is not a plain file");
        ASSERT_EQ(unlink(name), 0);
        ASSERT_EQ(mkfifo(name, 0644), 0);
        expect_refused(table_loaders[i], name, "is not a plain file");
        ASSERT_EQ(unlink(name), 0);
        ASSERT_EQ(mkdir(name, 0755), 0);
        expect_refused(table_loaders[i], name, "is a folder, not a file");
        ASSERT_EQ(rmdir(name), 0);
        dir.write(name, "");
        ASSERT_EQ(truncate(name, 1L << 30), 0);  // sparse: nothing is written
        expect_refused(table_loaders[i], name, "is larger than such a file can be (1073741824 bytes, limit ");
        ASSERT_EQ(unlink(name), 0);
    }
    alarm(0);
}
