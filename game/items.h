// Pick-ups and arrows in the map item slots; kills and victory.
#pragma once

#include "world/world.h"

// A heart multiplies the hero's health by this; a kill heals him the demon's full health
// divided by this.
const double HEART_HEALTH_FACTOR = 1.5;
enum { KILL_HEAL_DIVISOR = 2 };
// An arrow wounds a demon whose position lies within this of its own on every axis (its
// height taken less ITEM_RISE).
const float ARROW_HIT_BOX = 1.2f;

void update_map_items();
