// The map compiler's overview picture, for map makers: drawn from the source's cells beside
// the written map, not from it.
#pragma once

#include <allegro.h>
#include <map>
#include <string>

#include "tools/forge/mapcells.h"

// Draws a top-down picture of the map for map makers: surfaces, heights, kinds and items,
// and the name's plaques by the arrivals (as exit_triggers names them).
BITMAP *draw_map_overview(const MapSource &src, const std::map<std::string, int> &exit_triggers);
