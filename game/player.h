// The hero: floor maps, movement, climbing, shooting and the camera follow.
#pragma once

#include "world/world.h"

extern BITMAP *height_map;
extern BITMAP *kind_map;
extern BITMAP *paint_scratch;

extern s16 player_facing;
extern s16 player_anim_state;   // 0 standing, 1 walking, 2 shooting
extern float player_anim_frame;
extern double next_shot_time;
extern s32 hurt_flash;
extern float hurt_flash_level;  // hurt_flash with its fraction: it fades per game second
extern uint8_t ground_reached;
// 0 from the start of the main loop until SPACE has been up once: the SPACE that left the
// story does not shoot.
extern uint8_t bow_ready;

// Game time between arrows: 0.05 game seconds (three frames at 60 a second), in game_clock
// units (0.06 a game second).
const double SHOT_INTERVAL = 0.003;

// A flash of this strength after one frame at the given time scale: halved per sixtieth of
// a game second. `level` keeps the fraction that the whole-number flash drops.
s32 fade_flash(s32 flash, float *level, float scale);

// Floor map geometry: 8 pixels per world unit, the hero at the middle pixel.
enum { FLOOR_MAP_SIZE = 128, FLOOR_MAP_CENTER = 64, FLOOR_MAP_SCALE = 8 };

void paint_floor_maps(float px, float py, float pz);
void update_player();
void follow_camera();
void prune_map();

// A floor map pixel at a fractional position, truncated toward zero; -1 outside the map
// (also for positions too far away to convert).
int floor_map_pixel(BITMAP *map, float column, float row);

// Decodes a height_map value into a floor height relative to the hero's feet.
inline float floor_height(int v)
{
    return v / 256.0f - 2;
}
