// The heads-up display and the closing screens.
#pragma once

#include "world/upcalls.h"
#include "world/world.h"

extern float fade_level, fade_target, fade_step;

// Which closing screen has been shown, for the automated player and the tests.
enum { CLOSING_NONE = 0, CLOSING_DEATH = 1, CLOSING_VICTORY = 2 };
extern int closing_screen_shown;

// When set, the closing screens return without waiting for ESC (headless runs).
extern bool closing_screens_return_at_once;

// The inventory row's slots, one pick-up picture wide each: the forge draws them this size.
enum { INVENTORY_SLOT = 32 };

void draw_hud();
// The hurt flash's hue blender: what set_hue_blender means to do, each pixel's hue turned
// toward the colour's by a / 255 the short way round, never through blue on the way to red.
void set_hurt_tint_blender(int r, int g, int b, int a);
void show_death_screen();
// show_victory_screen is declared in world/upcalls.h: the items call it.
void fade_screen();

// The bevelled text panel in the middle of the screen with lines centred for the 8-pixel
// font, each at its offset below the panel's top.
void draw_text_panel(const char *const *lines, const int *offsets, int count);
