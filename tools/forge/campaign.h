// The campaign: every map source together, the validator, and the writing of the world data
// (maps with their shadow maps, items, monsters and triggers).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "tools/forge/mapsource.h"
#include "world/world.h"

// The exits' trigger records follow the start and gate records (world.h).
enum {
    START_MAP = FIRST_MAP,
    EXIT_RECORD_BASE = 3000,
    // Below the 32 668 triangles the scene's bucket codes can name, with room to spare.
    MAX_MAP_TRIANGLES = 30000,
};

struct Campaign {
    std::vector<MapSource> maps;               // in map-number order
    std::map<std::string, int> exit_triggers;  // "MAP:SPOT" -> trigger record
};

// Reads every "*.map" file of a folder.
bool load_campaign_sources(const std::string &dir, Campaign &campaign, std::string &error);
// Gives every distinct exit destination its trigger record.
void assign_exit_triggers(Campaign &campaign);
// Every reason the campaign cannot be written, each naming the map and the place.
std::vector<std::string> validate_campaign(Campaign &campaign);

// The cells the hero can walk to from the map's arrivals, with every gate open (1 = yes).
std::vector<char> reachable_floor(const Campaign &campaign, const MapSource &map);
// Walking distance in units from the nearest arrival to every cell (infinite where none leads).
std::vector<float> walking_distances(const Campaign &campaign, const MapSource &map);

const MapSource *find_map(const Campaign &campaign, int number);
const SourceSpot *find_spot(const MapSource &map, const std::string &name);

// The trigger table the campaign needs (records 1000 + m, 2000 + 906 and the exits).
void fill_trigger_table(const Campaign &campaign);

// Validates, then writes data/maps, data/items.dat, data/monsters.dat and data/triggers.dat
// under data_dir's parent, and one overview picture per map into overview_dir (may be empty).
bool forge_world(const std::string &content_dir, const std::string &data_dir, const std::string &overview_dir);
