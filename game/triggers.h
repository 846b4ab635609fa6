// Trigger floors, the gem gate and map changes.
#pragma once

#include "shell/video.h"
#include "world/world.h"

// The name of the map the hero arrives on shows for this many game seconds;
// arrival_name_left is what remains of it, set anew by every map change and counted down
// by check_triggers.
const float ARRIVAL_NAME_SECONDS = 4.0f;
extern float arrival_name_left;

void check_triggers();

// The one way onto a map, for the start of a game and every map change: load, build, place
// the monsters, and put hero and camera on the arrival point. Returns false (and keeps the
// current map) when the map cannot be loaded.
bool change_map(const char *name, float x, float y, float z);
