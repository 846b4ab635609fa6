// The start map's first minute: no demon may set out toward the hero unseen while he is
// still finding his feet.
//
// A demon stands still until the floor ahead of it is painted round the hero (triangles
// whose centre lies within 5 units of him on both axes); from then on it may walk at him,
// at any pace, while he stands still. So the danger is a demon that starts to move where he
// cannot see it. The check: from every place the hero can walk to within his first 20 game
// seconds (at his full pace from the start, diagonals as fast, gates open), every spawn
// point within that reach must have its feet in the screen's world band, with the camera at
// rest on him. The feet, not any part of the sprite: a head shows above the HUD's band
// while the feet are far below it, and judging by the feet stands in for the shorter view
// ahead when the camera trails the hero as he walks.
#pragma once

#include <string>
#include <vector>

#include "tools/forge/campaignmaps.h"

// The game seconds from the start in which no demon may wake unseen.
const float FIRST_MINUTE_SECONDS = 20;

// The game's camera on its own frame, as the game sets it up at start.
void set_up_game_camera();
// Whether a point on the ground, this far from the hero's feet (world units, z toward the
// viewer), lies in the world band of the game's frame with the camera at rest on him
// (set_up_game_camera first).
bool in_world_band_at_rest(float dx, float dy, float dz);

// The spawn cells of the start map where a demon can wake unseen within the first
// FIRST_MINUTE_SECONDS, one problem each, naming the cell and a place that wakes it.
std::vector<std::string> first_minute_problems(const Campaign &campaign, const MapSource &map);
