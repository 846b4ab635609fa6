// The heads-up display and the closing screens.
#pragma once

#include "world/world.h"

extern float fade_level, fade_target, fade_step;

void draw_hud();
void show_death_screen();
void show_victory_screen();
void fade_screen();
