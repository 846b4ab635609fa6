// The campaign's maps: every map source together, with the trigger records of their exits,
// and the questions the checks ask of them (where the hero arrives, where he can walk and
// how far). Below the checks and the writing, which all read it; it calls none of them.
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
};

struct Campaign {
    std::vector<MapSource> maps;               // in map-number order
    std::map<std::string, int> exit_triggers;  // "MAP:SPOT" -> trigger record
};

// Reads every "*.map" file of a folder.
bool load_campaign_sources(const std::string &dir, Campaign &campaign, std::string &error);
// Gives every distinct exit destination its trigger record.
void assign_exit_triggers(Campaign &campaign);

const MapSource *find_map(const Campaign &campaign, int number);
const SourceSpot *find_spot(const MapSource &map, const std::string &name);

// The arrival spots of a map: its start, its gem-gate arrival and every spot an exit leads to.
std::vector<const SourceSpot *> arrival_spots(const Campaign &campaign, const MapSource &map);
// The cells the hero can walk to from the map's arrivals, with every gate open (1 = yes).
std::vector<char> reachable_floor(const Campaign &campaign, const MapSource &map);
// Walking distance in units from the nearest arrival to every cell (infinite where none leads).
std::vector<float> walking_distances(const Campaign &campaign, const MapSource &map);
