// Drawing the ordered scene: textured triangles and scaled sprites, far to near.
#pragma once

#include "world/world.h"

extern float texture_scroll;
extern float texture_scroll_step;
extern int fog_color;

void draw_world();
void draw_sprite_slot(s16 n);
