// Drawing the ordered scene: textured triangles and scaled sprites, far to near.
#pragma once

#include "world/world.h"

extern float texture_scroll;
extern float texture_scroll_step;
extern int fog_color;

// Off, draw_world only empties the buckets: the automated player's long measuring runs play
// the same game without paying for the pixels nobody looks at.
extern bool draw_world_pixels;

// The hero's frame and a pick-up's picture are drawn this many pixels square at scale 1; a
// demon's size is its kind's (world/kinds.h).
enum { HERO_DRAWN_SIZE = 48, ITEM_DRAWN_SIZE = 16 };

// A sprite's side on screen: its size at scale 1 times the projection's scale, held within
// range (a sprite at the eye would otherwise overflow).
int sprite_size(int base, float scale);
// A character's frame at an animation clock running 0..6; null for a slot out of range.
BITMAP *character_frame(int character, int action, int facing, float clock);
// How a scene triangle is blended: 255 opaque, less for see-through (its transparency, or
// a seal while it shows open).
int triangle_opacity(const ViewTriangle &tri);

void draw_world();
void draw_sprite_slot(s16 n);
