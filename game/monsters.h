// Monster behaviour: wandering, turning when blocked, contact damage.
#pragma once

#include "world/world.h"

enum { HEALTH_CAP = 300 };

// A demon farther above or below the hero than this stands on another level: it neither
// walks nor bites.
const float LEVEL_REACH = 0.5f;

// A demon bites while its feet lie nearer the hero's than this.
const float CONTACT_REACH = 1;

// Contact damage is taken per game second; this is the fraction owed and not yet taken
// (kind 1's 2 x 0.1 a frame at 600 frames a second would otherwise come to nothing).
extern double contact_damage_carry;

void update_monsters();

// How many hero steps a demon of this kind walks a frame; 0 for a kind the table lacks.
float monster_kind_speed(int kind);

// A new random heading: never standing still, never along the (+1, +1) / (-1, -1) diagonal.
void draw_heading(Monster &m);
