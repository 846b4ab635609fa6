// The name of the map the hero has just arrived on, shown for a few game seconds.
#pragma once

#include "world/world.h"

// The name's last this many game seconds fade to the band's black.
const float ARRIVAL_NAME_FADE_SECONDS = 0.5f;

// Draws the current map's name centred in the bottom band, below the world and clear of the
// HUD's texts, while game/triggers.h's arrival_name_left lasts. A map without a name (or a
// table without it) draws nothing.
void draw_map_name();
// The name's top row on the screen: the middle of the bottom band.
int map_name_top();
