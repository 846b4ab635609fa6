// The fixed camera: matrix, view transform and projection shared by the renderer, and the
// follow that eases its focus toward the target the hero sets.
#pragma once

#include "world/world.h"

const double DEG_TO_RAD = 3.141592 / 180;

// The camera's focus moves this share of the way to its target a frame at time_scale 1.
const float CAMERA_EASE = 0.09f;

void init_camera();
// Moves the camera focus a step toward the camera target; once a pass, after the drawing.
void follow_camera();
void rotate_point(float x, float y, float z, float angle_x, float angle_y, float angle_z,
                  float *out_x, float *out_y, float *out_z);

// World point times the camera matrix (no translation): the camera-space rest position.
void apply_camera_matrix(float x, float y, float z, float *cx, float *cy, float *cz);
// World point to view space relative to the camera focus.
void view_transform(float x, float y, float z, float *vx, float *vy, float *vz);
// View point to screen position. vz must be non-zero; callers decide what a point on
// or behind the eye plane means.
void project_point(float vx, float vy, float vz, float *sx, float *sy);

// Truncates toward zero like a cast, but holds values beyond [lo, hi], and NaN, at the
// ends: converting an infinite or out-of-range float to an integer is undefined, and on
// x86 it wraps a far-off sprite back onto the screen.
inline int trunc_to_range(double v, int lo, int hi)
{
    if (!(v > lo))
        return lo;
    if (!(v < hi))
        return hi;
    return (int)v;
}
