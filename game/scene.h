// Building the scene arrays from the loaded map, and placing its monsters.
#pragma once

#include "world/world.h"

// Bucket codes are 16-bit and triangle t is coded 100 + t, so the scene holds at most this
// many triangles; a map beyond it loses the rest with one warning on stderr.
enum { MAX_SCENE_TRIANGLES = 32767 - 100 + 1 };

// Where monsters of a map without spawn points are kept: far below any floor, where they
// never act, are never drawn and never meet an arrow.
const float MONSTER_EXILE_Y = -100000.0f;


void build_scene();
void place_monsters();
