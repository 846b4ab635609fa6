// The campaign: the validator, which runs every check of the maps, and the writing of the
// world data (maps with their shadow maps, items, monsters and triggers).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/forge/campaignmaps.h"

enum {
    // Below the 32 668 triangles the scene's bucket codes can name, with room to spare.
    MAX_MAP_TRIANGLES = 30000,
};

// Every reason the campaign cannot be written, each naming the map and the place.
std::vector<std::string> validate_campaign(Campaign &campaign);

// The trigger table the campaign needs (records 1000 + m, 2000 + 906 and the exits).
void fill_trigger_table(const Campaign &campaign);

// Validates, then writes data/maps, data/items.dat, data/monsters.dat and data/triggers.dat
// under data_dir's parent, and one overview picture per map into overview_dir (may be empty).
bool forge_world(const std::string &content_dir, const std::string &data_dir, const std::string &overview_dir);
