// Building the scene from the loaded map, and placing its monsters.
#include "game/scene.h"

s16 map_group;
