// Per-frame animation, transform and projection of the scene vertices.
#pragma once

#include "world/world.h"

enum { MOTION_NONE = 0, MOTION_RIPPLE = 1, MOTION_SWAY = 2 };

extern float wave_center_x, wave_center_z, wave_amplitude, wave_radius;

void transform_scene();
