// Every map a place of its own: its name fit to be shown and written on its ground, and no
// two maps joined by a way between them wearing the same two floors most.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tools/forge/campaignmaps.h"

// The map's floor surfaces (the tops the hero can walk to, the exits', seals' and gem gate's
// looks left out, since every map shares them) with their cell counts, most used first; ties
// go by name.
std::vector<std::pair<std::string, int>> floor_surface_counts(const Campaign &campaign, const MapSource &m);

// The pairs of maps a way leads between (an exit or the gem gate, either direction), lower
// number first, each once.
std::vector<std::pair<int, int>> joined_maps(const Campaign &campaign);

// Appends a problem for every name the game could not show (too long, too many words, a
// character the font cannot draw) and for every two joined maps whose two most-used floor
// surfaces are the same two, naming the maps and the surfaces.
void check_regions(const Campaign &campaign, std::vector<std::string> &problems);
