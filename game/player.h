// The hero: movement, climbing and shooting.
#pragma once

#include "game/floormap.h"
#include "shell/video.h"
#include "world/world.h"

extern double next_shot_time;
extern s32 hurt_flash;
extern float hurt_flash_level;  // hurt_flash with its fraction: it fades per game second
// 0 from the start of the main loop until SPACE has been up once: the SPACE that left the
// story does not shoot.
extern uint8_t bow_ready;

// How far the hero walks in a frame at time_scale 1, in world units; a demon walks this
// times its kind's speed.
const float STEP_PER_FRAME = 0.16f;

// How far an arrow flies before it spends itself, in world units.
const float ARROW_RANGE = 10;

// Game time between arrows: 0.05 game seconds (three frames at 60 a second), in game_clock
// units.
const double SHOT_INTERVAL = 0.05 * GAME_CLOCK_PER_SECOND;

// A flash of this strength after one frame at the given time scale: halved per sixtieth of
// a game second. `level` keeps the fraction that the whole-number flash drops.
s32 fade_flash(s32 flash, float *level, float scale);

void update_player();
void prune_map();
