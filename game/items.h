// Pick-ups and arrows in the map item slots; kills and victory.
#pragma once

#include "world/world.h"

void update_map_items();
