// What the player must be able to tell at a glance, checked on a map's source before it is
// written: the ways to other maps, the seals and the gem gate look one way on every map and
// nothing else looks like them, and every step of half a unit or more stands out from what
// lies across its edge.
#pragma once

#include <string>
#include <vector>

#include "tools/forge/campaignmaps.h"

// Appends every reason the map does not read, each naming the map and the place.
void check_map_looks(const Campaign &campaign, const MapSource &m, std::vector<std::string> &problems);

// The steps alone, against a floor of luminance: refused below it, the first few named.
void check_steps_read(const Campaign &campaign, const MapSource &m, float floor, std::vector<std::string> &problems);
