// Per-frame animation, transform and projection of the scene vertices.
#pragma once

#include "world/world.h"

extern float wave_center_x, wave_center_z, wave_amplitude, wave_radius;

void transform_scene();
