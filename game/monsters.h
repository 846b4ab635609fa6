// Monster behaviour: wandering, turning when blocked, contact damage.
#pragma once

#include "world/world.h"

enum { HEALTH_CAP = 300 };

void update_monsters();

// Slots in use on the current map, never more than the table holds.
int current_monster_count();

// A new random heading: never standing still, never along the (+1, +1) / (-1, -1) diagonal.
void draw_heading(Monster &m);
