// The campaign's facts for the packaging texts (the package description, the manual page,
// the AppStream metadata): counted from the forged data with the game's own readers, so the
// texts say what the game will load.
#pragma once

#include <string>

struct CampaignFacts {
    int maps = 0;     // map files under data/maps
    int demons = 0;   // monsters of every map in the monster table
    int kinds = 0;    // distinct kinds among them
    int keys = 0;     // items of the item table, by type
    int gems = 0;
    int hearts = 0;
};

// Reads data_dir/maps/*.dtl, data_dir/monsters.dat and data_dir/items.dat. Replaces the
// game's monster and item tables. False after one line on stderr when one cannot be read.
bool count_campaign_facts(const std::string &data_dir, CampaignFacts &facts);

// "maps 24", "demons 468" ..., one a line, in the order of CampaignFacts.
std::string campaign_facts_text(const CampaignFacts &facts);
// Written under a temporary name first; false after one line on stderr.
bool write_campaign_facts(const std::string &path, const CampaignFacts &facts);

// Both: the facts of the forged data_dir into path, and a line on stdout.
bool forge_facts(const std::string &data_dir, const std::string &path);
