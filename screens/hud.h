// The heads-up display and the closing screens.
#pragma once

#include "world/world.h"

extern float fade_level, fade_target, fade_step;

void draw_hud();
void show_death_screen();
void show_victory_screen();
void fade_screen();

// The bevelled text panel in the middle of the screen with lines centred for the 8-pixel
// font, each at its offset below the panel's top.
void draw_text_panel(const char *const *lines, const int *offsets, int count);
