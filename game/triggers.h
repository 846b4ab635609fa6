// Trigger floors, the gem gate and map changes.
#pragma once

#include "world/world.h"

void check_triggers();

// The one way onto a map, for the start of a game and every map change: load, build, place
// the monsters, and put hero and camera on the arrival point. Returns false (and keeps the
// current map) when the map cannot be loaded.
bool change_map(const char *name, float x, float y, float z);
