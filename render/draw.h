// Drawing the ordered scene: textured triangles and scaled sprites, far to near.
#pragma once

#include "world/world.h"

extern float texture_scroll;
extern float texture_scroll_step;
extern int fog_color;

// Off, draw_world only empties the buckets: the automated player's long measuring runs play
// the same game without paying for the pixels nobody looks at.
extern bool draw_world_pixels;

void draw_world();
void draw_sprite_slot(s16 n);
