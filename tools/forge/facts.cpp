// The campaign's facts, counted from what the forge wrote rather than from the map sources:
// a map the writers skipped or a table cut short would show in the texts.
#include "tools/forge/facts.h"

#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <vector>

#include "world/datafile.h"
#include "world/tables.h"
#include "world/world.h"

// The tables the forge itself just wrote; the game's readers judge their size again.
static bool read_file(const std::string &path, std::vector<char> &text)
{
    std::string why;
    if (read_plain_file(path.c_str(), 64u << 20, text, why) == PLAIN_READ)
        return true;
    fprintf(stderr, "%s: cannot be read: %s\n", path.c_str(), why.c_str());
    return false;
}

static int count_map_files(const std::string &maps_dir)
{
    DIR *d = opendir(maps_dir.c_str());
    if (!d)
        return -1;
    int n = 0;
    while (dirent *e = readdir(d)) {
        size_t len = strlen(e->d_name);
        n += len > 4 && strcmp(e->d_name + len - 4, ".dtl") == 0;
    }
    closedir(d);
    return n;
}

bool count_campaign_facts(const std::string &data_dir, CampaignFacts &facts)
{
    facts = CampaignFacts();
    facts.maps = count_map_files(data_dir + "/maps");
    if (facts.maps < 0) {
        fprintf(stderr, "%s/maps: cannot be read\n", data_dir.c_str());
        return false;
    }
    // The readers keep what a short file does not reach: start from empty tables.
    memset(monster_counts, 0, sizeof(monster_counts));
    memset(monsters, 0, sizeof(monsters));
    monster_total = 0;
    item_count = 0;
    std::vector<char> text;
    if (!read_file(data_dir + "/monsters.dat", text) || !load_monsters_text(text.data(), text.size()))
        return false;
    if (!read_file(data_dir + "/items.dat", text) || !load_items_text(text.data(), text.size()))
        return false;

    bool kind_seen[MONSTER_KINDS] = {};
    for (int m = 0; m < MAP_NUMBERS; m++) {
        for (int j = 0; j < monster_counts[m]; j++) {
            facts.demons++;
            kind_seen[monsters[m][j].kind] = true;
        }
    }
    for (bool seen : kind_seen)
        facts.kinds += seen;
    for (int i = 0; i < item_count; i++) {
        int type = item_placements[i].type;
        facts.hearts += type == ITEM_HEART;
        facts.keys += type >= ITEM_KEY_FIRST && type < ITEM_GEM_FIRST;
        facts.gems += type >= ITEM_GEM_FIRST && type <= ITEM_GEM_LAST;
    }
    return true;
}

std::string campaign_facts_text(const CampaignFacts &facts)
{
    char text[200];
    snprintf(text, sizeof(text), "maps %d\ndemons %d\nkinds %d\nkeys %d\ngems %d\nhearts %d\n", facts.maps,
             facts.demons, facts.kinds, facts.keys, facts.gems, facts.hearts);
    return text;
}

bool write_campaign_facts(const std::string &path, const CampaignFacts &facts)
{
    SafeFile out;
    if (!begin_write(out, path))
        return false;
    fputs(campaign_facts_text(facts).c_str(), out.file);
    return end_write(out) && commit_write(out);
}

bool forge_facts(const std::string &data_dir, const std::string &path)
{
    CampaignFacts facts;
    if (!count_campaign_facts(data_dir, facts) || !write_campaign_facts(path, facts))
        return false;
    printf("grimhold-forge: %d maps, %d demons of %d kinds, %d keys, %d gems, %d hearts: %s\n", facts.maps,
           facts.demons, facts.kinds, facts.keys, facts.gems, facts.hearts, path.c_str());
    return true;
}
