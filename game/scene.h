// Building the scene arrays from the loaded map, and placing its monsters.
#pragma once

#include "world/world.h"

extern s16 map_group;

void build_scene();
void place_monsters();
