// Per-frame animation, transform and projection of the scene vertices.
#include "render/transform.h"

float wave_center_x, wave_center_z, wave_amplitude, wave_radius;
