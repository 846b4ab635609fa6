// The fixed camera: matrix, view transform and projection shared by the renderer.
#pragma once

#include "world/world.h"

const double DEG_TO_RAD = 3.141592 / 180;

void init_camera();
void rotate_point(float x, float y, float z, float angle_x, float angle_y, float angle_z,
                  float *out_x, float *out_y, float *out_z);

// World point to view space relative to the camera focus.
void view_transform(float x, float y, float z, float *vx, float *vy, float *vz);
// View point to screen position.
void project_point(float vx, float vy, float vz, float *sx, float *sy);
