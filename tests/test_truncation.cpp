// Files the forge wrote, cut at every token boundary: a table or a map that does not read
// to its end is refused, naming the file and the record where the reading stopped.
#include <cstring>
#include <string>
#include <vector>

#include "shell/startup.h"
#include "tests/map_fixture.h"
#include "tools/forge/mapbuild.h"
#include "tools/forge/mapsource.h"
#include "world/tables.h"

namespace {

// Where each token but the last ends: a cut there leaves whole tokens and drops the rest.
std::vector<size_t> cuts_between_tokens(const std::string &text)
{
    std::vector<size_t> cuts;
    for (size_t i = 1; i < text.size(); i++)
        if (!isspace((unsigned char)text[i - 1]) && isspace((unsigned char)text[i]))
            cuts.push_back(i);
    while (!cuts.empty() && text.find_first_not_of(" \t\r\n", cuts.back()) == std::string::npos)
        cuts.pop_back();
    return cuts;
}

// The cuts that `load` did not refuse as it must: one line naming `file`, the record where
// the reading stopped and that the file ends. Prints the first few.
int misread_cuts(bool (*load)(const char *, size_t), const char *file, const std::string &text,
                 const std::vector<size_t> &cuts)
{
    std::string start = std::string(file) + ": refused: reading stopped at ";
    int wrong = 0;
    for (size_t cut : cuts) {
        testing::internal::CaptureStderr();
        bool loaded = load(text.data(), cut);
        std::string err = testing::internal::GetCapturedStderr();
        bool named = line_count(err) == 1 && err.compare(0, start.size(), start) == 0 &&
                     err.find(": the file ends\n") != std::string::npos;
        if (loaded || !named) {
            if (++wrong <= 3)
                ADD_FAILURE() << file << " cut at byte " << cut << (loaded ? " was loaded" : "") << ": " << err;
        }
    }
    return wrong;
}

class Truncation : public MapFile {
protected:
    void SetUp() override
    {
        MapFile::SetUp();
        for (int k = 1; k < MONSTER_KINDS; k++)
            monster_kinds[k] = MonsterKind{2, 2, 0.2f};
    }
    void TearDown() override
    {
        MapFile::TearDown();
        clear_world();
    }
};

const std::string forged = FORGED_DATA_DIR;

// Map N's file written with the text given, then loaded.
template <int N> bool load_map_text(const char *text, size_t size)
{
    const std::string path = "data/maps/" + std::to_string(N) + ".dtl";
    FILE *f = fopen(path.c_str(), "wb");
    fwrite(text, 1, size, f);
    fclose(f);
    return load_map(std::to_string(N).c_str());
}

}  // namespace

TEST_F(Truncation, EveryItemAndMonsterTableCutIsRefused)
{
    std::string items = file_text(forged + "/items.dat"), monsters_text = file_text(forged + "/monsters.dat");
    ASSERT_TRUE(load_items_text(items.data(), items.size()));
    ASSERT_TRUE(load_monsters_text(monsters_text.data(), monsters_text.size()));
    std::vector<size_t> item_cuts = cuts_between_tokens(items), monster_cuts = cuts_between_tokens(monsters_text);
    EXPECT_GT(item_cuts.size(), 400u) << "the campaign's hundred items, five numbers each";
    EXPECT_GT(monster_cuts.size(), 1400u) << "a count for each of the 1000 maps and the kinds";
    EXPECT_EQ(misread_cuts(load_items_text, "data/items.dat", items, item_cuts), 0);
    EXPECT_EQ(misread_cuts(load_monsters_text, "data/monsters.dat", monsters_text, monster_cuts), 0);
}

// 90 000 values: a cut at every one of them would read 4 billion values. Every cut within
// the first records, the first map's start record and the last records, and every 101st
// of the others: each value's place in its record is cut many times over.
TEST_F(Truncation, TriggerTableCutsAreRefused)
{
    std::string text = file_text(forged + "/triggers.dat");
    ASSERT_TRUE(load_triggers_text(text.data(), text.size()));
    std::vector<size_t> all = cuts_between_tokens(text), cuts;
    ASSERT_EQ(all.size(), (size_t)TRIGGER_ELEMENTS * MAX_TRIGGERS - 1);
    for (size_t i = 0; i < all.size(); i++) {
        size_t record = i / TRIGGER_ELEMENTS;
        if (record < 3 || (record >= 1900 && record <= 1902) || record >= MAX_TRIGGERS - 3 || i % 101 == 0)
            cuts.push_back(all[i]);
    }
    EXPECT_EQ(misread_cuts(load_triggers_text, "data/triggers.dat", text, cuts), 0);
}

// A small map compiled by the forge and written by the game's own writer, cut at every
// token boundary, and the campaign's first map at a spread of them.
TEST_F(Truncation, MapCutsAreRefused)
{
    MapSource src;
    std::string error;
    ASSERT_TRUE(parse_map_text("cut.map", "map 305\ncell # wall 2 wall\ncell . grass 0\ncell ^ flagstone 1\n"
                                          "grid\n######\n#..^.#\n#.^..#\n######\nend\n",
                               src, error))
        << error;
    BuildStats stats;
    ASSERT_TRUE(build_map_tables(src, {}, stats, error, true)) << error;
    make_map_folders();
    ASSERT_TRUE(save_map("305"));
    ASSERT_TRUE(load_map("305"));
    std::string small = dir.read("data/maps/305.dtl");
    std::vector<size_t> cuts = cuts_between_tokens(small);
    EXPECT_GT(cuts.size(), 1000u);
    EXPECT_EQ(misread_cuts(load_map_text<305>, "data/maps/305.dtl", small, cuts), 0);

    // 901 holds the strips of many planes: its cuts fall in every part of the file.
    std::string first = file_text(forged + "/maps/901.dtl");
    ASSERT_EQ(system(("cp " + forged + "/maps/shadowmap/i901_*.bmp data/maps/shadowmap/").c_str()), 0);
    ASSERT_TRUE(load_map_text<901>(first.data(), first.size()));
    std::vector<size_t> all = cuts_between_tokens(first), spread;
    for (size_t i = 0; i < all.size(); i += all.size() / 60)
        spread.push_back(all[i]);
    spread.push_back(all.back());
    EXPECT_EQ(misread_cuts(load_map_text<901>, "data/maps/901.dtl", first, spread), 0);
}
