// Monster behaviour: wandering, turning when blocked, contact damage.
#pragma once

#include "world/world.h"

void update_monsters();
